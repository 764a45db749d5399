// Splitting a Windows command line as CommandLineToArgvW does; the simulated
// machine uses it for GetCommandLine's split and to start programs.
//
// Public function: SplitLikeWindows().
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace os::sim {

// An empty line gives the program's path alone.
std::vector<std::string> SplitLikeWindows(std::string_view line, const std::string& programPath);

}  // namespace os::sim
