// The program folder P, its parent Q, and the folders searched for the
// configuration file and the PE package: P\PE, P, Q\PE, Q.
//
// Public functions: ProgramFolder(), ParentFolder(), SearchFolders().
#pragma once

#include <string>
#include <vector>

namespace app {

// The folder of the running program, without a trailing separator.
std::string ProgramFolder();
// The text of a folder before its last '\'; empty when it has none.
std::string ParentFolder(const std::string& folder);
// P\PE, P, Q\PE, Q. When P is a drive's root it has no parent, and only
// P\PE and P are searched.
std::vector<std::string> SearchFolders();

}  // namespace app
