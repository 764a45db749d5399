// Command-line splitting by the rules of CommandLineToArgvW.
#include "os/sim/command_line.h"

namespace os::sim {

std::vector<std::string> SplitLikeWindows(std::string_view line, const std::string& programPath) {
  std::vector<std::string> args;
  if (line.empty()) {
    args.push_back(programPath);
    return args;
  }
  size_t i = 0;
  // The program name runs to the next quote when it starts with one, with no
  // backslash rules; otherwise to the first blank. A leading blank gives an
  // empty program name.
  std::string first;
  if (line[0] == '"') {
    ++i;
    while (i < line.size() && line[i] != '"') first += line[i++];
    if (i < line.size()) ++i;
  } else {
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') first += line[i++];
  }
  args.push_back(first);
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i >= line.size()) return args;

  // The other arguments. `quotes` counts the quotes seen in the current run:
  // odd while inside quotes. `slashes` counts the backslashes just before.
  std::string arg;
  int quotes = 0;
  size_t slashes = 0;
  while (i < line.size()) {
    char c = line[i];
    if ((c == ' ' || c == '\t') && quotes == 0) {
      args.push_back(arg);
      arg.clear();
      slashes = 0;
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
      if (i >= line.size()) return args;
      continue;
    }
    if (c == '\\') {
      arg += c;
      ++slashes;
      ++i;
      continue;
    }
    if (c == '"') {
      if (slashes % 2 == 0) {
        // 2n backslashes and a quote: n backslashes, and the quote counts.
        arg.resize(arg.size() - slashes / 2);
        ++quotes;
      } else {
        // 2n+1 backslashes and a quote: n backslashes and a literal quote.
        arg.resize(arg.size() - slashes / 2 - 1);
        arg += '"';
      }
      ++i;
      slashes = 0;
      // A run of further quotes: every third one is a literal quote.
      while (i < line.size() && line[i] == '"') {
        if (++quotes == 3) {
          arg += '"';
          quotes = 0;
        }
        ++i;
      }
      if (quotes == 2) quotes = 0;
      continue;
    }
    arg += c;
    slashes = 0;
    ++i;
  }
  args.push_back(arg);
  return args;
}

}  // namespace os::sim
