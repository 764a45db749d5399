// SplitCmd(): the program's own command line, split into its arguments by
// the platform's standard rules (CommandLineToArgvW).
//
// Public function: SplitCmd().
#pragma once

#include <string>
#include <vector>

namespace app {

// The arguments, index 0 being the program path; none when the split fails.
std::vector<std::string> SplitCmd();

}  // namespace app
