#include "app/split_cmd.h"

#include "os/system.h"

namespace app {

std::vector<std::string> SplitCmd() { return os::SplitCommandLine(os::CommandLine()).value_or(std::vector<std::string>{}); }

}  // namespace app
