// The words of a command as the simulated machine's MCI and the host
// console read them: separated by blanks or tabs, with double quotes
// keeping blanks inside a word ("a b" is one word; "" is an empty word).
//
// Public: SplitWords().
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace os::sim {

// Appends the words of `text` to `words`; false when a quote is left open
// (the words up to the end are appended all the same).
bool SplitWords(std::string_view text, std::vector<std::string>& words);

}  // namespace os::sim
