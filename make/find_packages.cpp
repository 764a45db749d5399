#include "make/find_packages.h"

#include "app/globals.h"
#include "app/search_folders.h"
#include "os/files.h"
#include "sys/folder_listing.h"

namespace make {

int16_t FindFbaIso7z() {
  app::sFbaFile.clear();
  app::sIsoFile.clear();
  app::s7zFile.clear();
  for (const std::string& folder : app::SearchFolders()) {
    if (!os::PathExists(folder)) continue;
    auto first = [&](const char* pattern, std::string& field) {
      auto files = sys::ListFiles(folder, pattern);
      if (!files.empty()) field = folder + "\\" + files.front();
    };
    first("*.fba", app::sFbaFile);
    first("*.iso", app::sIsoFile);
    first("*.7z", app::s7zFile);
    if (!app::sFbaFile.empty() && !app::sIsoFile.empty()) return kIsoWithFba;
    if (!app::sIsoFile.empty()) return kIsoWithoutFba;
  }
  return kNoIsoPackage;
}

}  // namespace make
