#include "app/search_folders.h"

#include "os/system.h"

namespace app {

std::string ProgramFolder() {
  std::string path = os::ModulePath();
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(0, slash);
}

std::string ParentFolder(const std::string& folder) {
  size_t slash = folder.rfind('\\');
  return slash == std::string::npos ? "" : folder.substr(0, slash);
}

std::vector<std::string> SearchFolders() {
  std::string p = ProgramFolder();
  std::string q = ParentFolder(p);
  std::vector<std::string> folders = {p + "\\PE", p};
  if (!q.empty()) {
    folders.push_back(q + "\\PE");
    folders.push_back(q);
  }
  return folders;
}

}  // namespace app
