// Running a diskpart script.
//
// Public function: RunDiskPart().
#pragma once

#include <cstdint>
#include <string_view>

namespace sys {

// Writes the script to <sTmpPath>\<name>.txt (replacing what was there), in
// the ANSI code page with one CRLF after the text, and runs
// `diskpart.exe /S "<file>"` hidden, waiting for its end. The file stays
// until the temporary folder goes.
//
// False when the script file cannot be written (nothing is started then) or
// diskpart cannot be started; *error (when given) holds the Windows error.
bool RunDiskPart(std::string_view script, std::string_view name, uint32_t* error = nullptr);

}  // namespace sys
