// The size of a file in whole MB, for files of any size.
//
// Public functions: GetBigFileSizeMB(), BytesToNearestMB().
#pragma once

#include <cstdint>
#include <string_view>

namespace disk {

// Bytes / 2^20 to the nearest whole number, halves to the even neighbour;
// sizes beyond 32 bits read as the largest one.
int32_t BytesToNearestMB(uint64_t bytes);

// 0 when the file does not exist or cannot be opened.
int32_t GetBigFileSizeMB(std::string_view path);

}  // namespace disk
