#include "os/sim/profile_text.h"

#include <vector>

#include "os/sim/paths.h"

namespace os::sim {
namespace {

bool IsBlank(unsigned char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A; }

struct Line {
  std::string_view text;    // without its line end
  std::string_view ending;  // "\r\n", "\r", "\n" or "" for a last line without one
};

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  size_t i = 0;
  while (i < content.size()) {
    size_t j = i;
    while (j < content.size() && content[j] != '\r' && content[j] != '\n') ++j;
    size_t end = j;
    if (j < content.size()) {
      end = (content[j] == '\r' && j + 1 < content.size() && content[j + 1] == '\n') ? j + 2 : j + 1;
    }
    lines.push_back({content.substr(i, j - i), content.substr(j, end - j)});
    i = end;
  }
  return lines;
}

// A section header's name, when the line is one.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view t = ProfileTrim(line);
  if (t.empty() || t[0] != '[') return std::nullopt;
  t.remove_prefix(1);
  size_t close = t.find(']');
  if (close != std::string_view::npos) t = t.substr(0, close);
  return ProfileTrim(t);
}

struct KeyLine {
  std::string_view name;
  std::string_view value;
};

std::optional<KeyLine> KeyOf(std::string_view line) {
  std::string_view t = ProfileTrim(line);
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{ProfileTrim(t.substr(0, eq)), ProfileTrim(t.substr(eq + 1))};
}

bool SameName(std::string_view fileName, std::string_view wanted, const Decoder& decode) {
  return EqualNoCase(decode(fileName), decode(ProfileTrim(wanted)));
}

// Index range [first, last) of the lines of the first section called `name`;
// first is the header line. Nothing when absent.
std::optional<std::pair<size_t, size_t>> FindSection(const std::vector<Line>& lines, std::string_view name,
                                                     const Decoder& decode) {
  for (size_t i = 0; i < lines.size(); ++i) {
    auto n = SectionName(lines[i].text);
    if (!n || !SameName(*n, name, decode)) continue;
    size_t j = i + 1;
    while (j < lines.size() && !SectionName(lines[j].text)) ++j;
    return std::make_pair(i, j);
  }
  return std::nullopt;
}

std::string Join(const std::vector<Line>& lines, size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < to; ++i) {
    out.append(lines[i].text);
    out.append(lines[i].ending);
  }
  return out;
}

}  // namespace

std::string_view ProfileTrim(std::string_view text) {
  while (!text.empty() && IsBlank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::optional<std::string> ProfileLookup(std::string_view content, std::string_view section, std::string_view key,
                                         const Decoder& decode) {
  std::vector<Line> lines = SplitLines(content);
  auto range = FindSection(lines, section, decode);
  if (!range) return std::nullopt;
  for (size_t i = range->first + 1; i < range->second; ++i) {
    auto k = KeyOf(lines[i].text);
    if (!k || !SameName(k->name, key, decode)) continue;
    std::string_view v = k->value;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
      v = v.substr(1, v.size() - 2);
    return std::string(v);
  }
  return std::nullopt;
}

std::string ProfileEdit(std::string_view content, std::string_view section, const std::optional<std::string>& key,
                        const std::optional<std::string>& value, const Decoder& decode) {
  std::vector<Line> lines = SplitLines(content);
  auto range = FindSection(lines, section, decode);
  const std::string crlf = "\r\n";

  if (!key) {  // delete the section with all its lines
    if (!range) return std::string(content);
    return Join(lines, 0, range->first) + Join(lines, range->second, lines.size());
  }

  std::string keyName(ProfileTrim(*key));
  if (!range) {
    if (!value) return std::string(content);
    std::string out(content);
    if (!lines.empty() && lines.back().ending.empty()) out += crlf;
    out += "[" + std::string(ProfileTrim(section)) + "]" + crlf + keyName + "=" + *value + crlf;
    return out;
  }

  size_t lastKey = range->first;  // the header when the section has no keys yet
  for (size_t i = range->first + 1; i < range->second; ++i) {
    auto k = KeyOf(lines[i].text);
    if (!k) continue;
    lastKey = i;
    if (!SameName(k->name, keyName, decode)) continue;
    // The first key of that name is replaced in place, or deleted.
    std::string out = Join(lines, 0, i);
    if (value) {
      out += std::string(k->name) + "=" + *value;
      out += lines[i].ending.empty() ? std::string_view() : lines[i].ending;
    }
    return out + Join(lines, i + 1, lines.size());
  }
  if (!value) return std::string(content);
  // A new key goes after the last key of its section.
  std::string out = Join(lines, 0, lastKey + 1);
  if (lines[lastKey].ending.empty()) out += crlf;
  out += keyName + "=" + *value + crlf;
  return out + Join(lines, lastKey + 1, lines.size());
}

}  // namespace os::sim
