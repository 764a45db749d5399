#include "os/sim/words.h"

namespace os::sim {

bool SplitWords(std::string_view text, std::vector<std::string>& words) {
  std::string word;
  bool quoted = false, any = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return !quoted;
}

}  // namespace os::sim
