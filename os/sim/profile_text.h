// The private-profile format as Windows reads and edits it, on the raw bytes
// of a file. Names are compared after decoding them from the file's code
// page, without regard to case; the bytes of lines that a write does not
// touch stay exactly as they were.
//
// Public functions: ProfileLookup(), ProfileEdit(), ProfileTrim().
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace os::sim {

using Decoder = std::function<std::string(std::string_view)>;

// Windows' blanks: bytes 0x09 to 0x0D, the space and ^Z.
std::string_view ProfileTrim(std::string_view text);

// The value of key in section: trimmed, one pair of surrounding quotes
// removed. Nothing when the section or key is missing. The first section of
// that name and its first key of that name count.
std::optional<std::string> ProfileLookup(std::string_view content, std::string_view section,
                                         std::string_view key, const Decoder& decode);

// The file's new bytes after setting a value (key and value given), deleting
// a key (no value) or deleting a section (no key).
std::string ProfileEdit(std::string_view content, std::string_view section,
                        const std::optional<std::string>& key, const std::optional<std::string>& value,
                        const Decoder& decode);

}  // namespace os::sim
