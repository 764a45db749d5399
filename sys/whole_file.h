// A whole file at once, through the system's own file calls: the scripts,
// batch files and lists that the program writes and reads.
//
// Public functions: ReadWholeFile(), WriteWholeFile().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sys {

// The file's bytes; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(std::string_view path);

// Creates the file, or empties it, and writes the bytes. On failure *error
// holds the Windows error number.
bool WriteWholeFile(std::string_view path, std::string_view bytes, uint32_t* error = nullptr);

}  // namespace sys
