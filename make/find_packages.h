// Finding the PE package beside the program: the UD package (*.fba), the PE
// image (*.iso) and the data package (*.7z), in the folders P\PE, P, Q\PE, Q.
//
// Public: FindFbaIso7z() and its result codes.
#pragma once

#include <cstdint>

namespace make {

enum : int16_t {
  kNoIsoPackage = 0,   // no search folder holds a PE image
  kIsoWithFba = 1,     // a PE image, and a UD package in its folder or an earlier one
  kIsoWithoutFba = 2,  // a PE image, and no UD package up to its folder
};

// Sets app::sFbaFile, app::sIsoFile and app::s7zFile (empty when absent).
// The search stops at the first folder with a PE image; a package found in
// an earlier folder is kept, a later folder's package of the same kind
// replaces it.
int16_t FindFbaIso7z();

}  // namespace make
