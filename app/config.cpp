#include "app/config.h"

#include "app/search_folders.h"
#include "os/files.h"
#include "os/profile.h"
#include "sys/folder_listing.h"
#include "sys/log_records.h"
#include "sys/text.h"

namespace app {

std::string sCfgPath;

void FindConfigFile() {
  for (const std::string& folder : SearchFolders()) {
    if (!os::PathExists(folder)) continue;
    std::vector<std::string> files = sys::ListFiles(folder, "*.cfg");
    if (!files.empty()) {
      sCfgPath = folder + "\\" + files.front();
      return;
    }
  }
}

std::string ReadCfg(std::string_view key, std::string_view section) {
  std::string value;
  os::ProfileRead(section, key, "", 255, sCfgPath, value);
  value = value.substr(0, value.find('\0'));
  value = sys::TrimSpaces(value);
  if (value.empty()) return "";
  // A value may be followed by tabs and a "//" comment; only the value counts.
  value = value.substr(0, value.find("//"));
  value = sys::ReplaceAll(value, "\t", "");
  return sys::TrimSpaces(value);
}

bool WriteCfg(std::string_view key, std::string_view value, std::string_view section) {
  // Every value of the step marker is logged, also one that finds no file.
  if (key == "BreakPoint") sys::LogStep(value);
  // Without a configuration file there is nothing to write to: the platform
  // would put a file with an empty name, or a bare one, in the Windows folder.
  if (sCfgPath.empty() || sCfgPath.find('\\') == std::string::npos) return false;
  return os::ProfileWrite(section, std::string(key), sys::LeftChars(value, 128), sCfgPath);
}

}  // namespace app
