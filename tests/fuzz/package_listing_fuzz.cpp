// The archiver's technical listing of a package (7z l -slt): any text parses
// without a crash, and every file it gives has a path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "make/package_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto files = make::ParsePackageListing(text);
  if (files)
    for (const make::PackageFile& f : *files)
      if (f.path.empty()) abort();
  return 0;
}
