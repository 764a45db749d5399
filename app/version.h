// The program's name and version, as its version resource states them.
#pragma once

namespace app {

inline constexpr const char* kProductName = "Tarnvale";
inline constexpr int kVersionMajor = 12;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

}  // namespace app
