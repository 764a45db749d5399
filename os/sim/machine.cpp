// The text form of a simulated machine: one statement per line, words
// separated by blanks, options written name=value, values with blanks in
// double quotes ("" stands for a quote inside). docs/simulated-machine.md
// describes every statement.
#include "os/sim/machine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "os/sim/bus_names.h"

namespace os::sim {

Disk* Machine::FindDisk(int number) {
  for (auto& d : disks)
    if (d.number == number) return &d;
  return nullptr;
}
const Disk* Machine::FindDisk(int number) const {
  return const_cast<Machine*>(this)->FindDisk(number);
}

std::optional<uint64_t> ParseSize(std::string_view text, uint64_t unit) {
  if (text.empty()) return std::nullopt;
  size_t i = 0;
  uint64_t whole = 0;
  while (i < text.size() && isdigit(static_cast<unsigned char>(text[i]))) {
    uint64_t digit = static_cast<uint64_t>(text[i] - '0');
    if (whole > (UINT64_MAX - digit) / 10) return std::nullopt;  // past 64 bits
    whole = whole * 10 + digit;
    ++i;
  }
  if (i == 0) return std::nullopt;
  // An optional fraction, for sizes such as 28.65G.
  double fraction = 0;
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    ++i;
    while (i < text.size() && isdigit(static_cast<unsigned char>(text[i]))) {
      fraction += scale * (text[i] - '0');
      scale /= 10;
      ++i;
    }
  }
  std::string_view suffix = text.substr(i);
  uint64_t mult = unit;
  if (suffix.empty()) mult = unit;
  else if (suffix == "K" || suffix == "KB") mult = 1ull << 10;
  else if (suffix == "M" || suffix == "MB") mult = 1ull << 20;
  else if (suffix == "G" || suffix == "GB") mult = 1ull << 30;
  else if (suffix == "T" || suffix == "TB") mult = 1ull << 40;
  else return std::nullopt;
  uint64_t part = static_cast<uint64_t>(fraction * static_cast<double>(mult));
  if (mult && whole > (UINT64_MAX - part) / mult) return std::nullopt;
  return whole * mult + part;
}

namespace {

struct Line {
  int number = 0;
  std::vector<std::string> words;               // positional words
  std::map<std::string, std::string> options;   // name=value words
};

// Splits one line into words; a quoted value keeps its blanks.
bool SplitWords(std::string_view text, std::vector<std::string>& words, std::string* why) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size() || text[i] == '#') break;
    std::string word;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
      if (text[i] == '"') {
        ++i;
        bool closed = false;
        while (i < text.size()) {
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              word += '"';
              i += 2;
              continue;
            }
            ++i;
            closed = true;
            break;
          }
          word += text[i++];
        }
        if (!closed) {
          *why = "a quote is not closed";
          return false;
        }
      } else {
        word += text[i++];
      }
    }
    words.push_back(std::move(word));
  }
  return true;
}

// Group sizes of the digit grouping: single digits separated by ';'.
constexpr double kMinTimeScale = 0.001, kMaxTimeScale = 1e6;

bool IsGrouping(const std::string& text) {
  if (text.empty() || text.size() > 19) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    bool digit = text[i] >= '0' && text[i] <= '9';
    if (i % 2 == 0 ? !digit : text[i] != ';') return false;
  }
  return true;
}

std::string Quote(const std::string& value) {
  bool plain = !value.empty();
  // Blanks, quotes, '=' and '#' would split or end the word; a CR at the end
  // of a line would be taken for its line end.
  for (char c : value)
    if (c == ' ' || c == '\t' || c == '"' || c == '=' || c == '#' || c == '\r') plain = false;
  if (plain) return value;
  std::string out = "\"";
  for (char c : value) {
    if (c == '"') out += "\"\"";
    else out += c;
  }
  return out + "\"";
}

class Parser {
 public:
  std::optional<Machine> Run(std::string_view text, std::string* error) {
    std::istringstream in{std::string(text)};
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
      ++number;
      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      Line line;
      line.number = number;
      std::vector<std::string> words;
      std::string why;
      if (!SplitWords(raw, words, &why)) return Fail(number, why, error);
      if (words.empty()) continue;
      // Statements whose values are free text take no name=value options.
      static const std::set<std::string> kFreeText = {"env", "windir", "program", "caption-font", "font", "writing"};
      bool freeText = kFreeText.count(words[0]) > 0;
      for (auto& w : words) {
        size_t eq = w.find('=');
        if (!freeText && eq != std::string::npos && eq > 0 && line.words.size() >= 1)
          line.options[w.substr(0, eq)] = w.substr(eq + 1);
        else
          line.words.push_back(w);
      }
      if (!Statement(line, &why)) return Fail(number, why, error);
    }
    std::string why;
    if (!Check(&why)) return Fail(0, why, error);
    return m_;
  }

 private:
  Machine m_;
  std::set<char> letters_;

  static std::optional<Machine> Fail(int line, const std::string& why, std::string* error) {
    if (error) *error = line > 0 ? "machine.txt line " + std::to_string(line) + ": " + why
                                 : "machine.txt: " + why;
    return std::nullopt;
  }

  bool Statement(Line& l, std::string* why) {
    const std::string& kind = l.words[0];
    auto arg = [&](size_t i) -> std::string { return i < l.words.size() ? l.words[i] : ""; };
    if (kind == "windows") {
      unsigned major = 0, minor = 0;
      if (sscanf(arg(1).c_str(), "%u.%u", &major, &minor) < 1) return Bad(why, "windows needs a version such as 10.0");
      m_.windowsMajor = major;
      m_.windowsMinor = minor;
      if (!Num(l, "build", m_.windowsBuild, why)) return false;
      if (!Flag(l, "wow64", m_.wow64, why)) return false;
      if (!Flag(l, "elevated", m_.elevated, why)) return false;
      return NoOtherOptions(l, {"build", "wow64", "elevated"}, why);
    }
    if (kind == "locale") return UInt(arg(1), m_.locale, "locale needs a number", why);
    if (kind == "codepage") return UInt(arg(1), m_.codePage, "codepage needs a number", why);
    if (kind == "windir") return Text(arg(1), m_.windir, why);
    if (kind == "program") return Text(arg(1), m_.program, why);
    if (kind == "timescale") {
      // A finite scale in a range the clock can count in: not inf, nan or 1e999.
      const std::string text = arg(1);
      char* end = nullptr;
      double v = strtod(text.c_str(), &end);
      if (text.empty() || *end || !std::isfinite(v) || v < kMinTimeScale || v > kMaxTimeScale)
        return Bad(why, "timescale needs a number from 0.001 to 1000000");
      m_.timeScale = v;
      return true;
    }
    if (kind == "caption-font") {
      m_.captionFont = arg(1);
      return true;
    }
    if (kind == "font") return Text(arg(1), m_.fonts.emplace_back(), why);
    if (kind == "number-format") {
      if (l.options.count("decimal")) m_.decimalSep = l.options["decimal"];
      if (l.options.count("group")) m_.groupSep = l.options["group"];
      if (l.options.count("grouping")) {
        m_.grouping = l.options["grouping"];
        if (!IsGrouping(m_.grouping)) return Bad(why, "grouping is group sizes such as 3;0 or 3;2;0");
      }
      return NoOtherOptions(l, {"decimal", "group", "grouping"}, why);
    }
    if (kind == "screen") {
      if (!Num(l, "dpi", m_.dpi, why) || !Num(l, "char-width", m_.charWidth, why) ||
          !Num(l, "scroll-bar", m_.scrollBarWidth, why))
        return false;
      if (m_.dpi == 0 || m_.dpi > 1440) return Bad(why, "dpi is 1 to 1440");
      return NoOtherOptions(l, {"dpi", "char-width", "scroll-bar"}, why);
    }
    if (kind == "env") {
      if (arg(1).empty()) return Bad(why, "env needs a name");
      m_.env[arg(1)] = arg(2);
      return true;
    }
    if (kind == "drive") return DriveLine(l, why);
    if (kind == "disk") return DiskLine(l, why);
    if (kind == "ud") return UdLine(l, why);
    if (kind == "partition") return PartitionLine(l, why);
    if (kind == "process") {
      SimProcess p;
      if (!UInt(arg(1), p.id, "process needs an id", why)) return false;
      p.name = arg(2);
      if (p.name.empty()) return Bad(why, "process needs a name");
      std::string access = l.options.count("access") ? l.options["access"] : "full";
      if (access != "full" && access != "limited") return Bad(why, "access is full or limited");
      p.fullAccess = access == "full";
      m_.processes.push_back(p);
      return NoOtherOptions(l, {"access"}, why);
    }
    if (kind == "swap") {
      DiskSwap swap;
      if (!IntWord(l, 1, swap.disk, "swap needs a disk number and a spare disk's", why) ||
          !IntWord(l, 2, swap.spare, "swap needs a disk number and a spare disk's", why))
        return false;
      if (swap.disk == swap.spare) return Bad(why, "swap needs two different disks");
      if (!l.options.count("after") || l.options["after"].empty())
        return Bad(why, "swap needs after=<program>[@<command>]");
      swap.after = l.options["after"];
      m_.swaps.push_back(swap);
      return NoOtherOptions(l, {"after"}, why);
    }
    if (kind == "writing") {
      if (arg(1).empty()) return Bad(why, "writing needs a file");
      m_.filesBeingWritten.push_back(arg(1));
      return true;
    }
    if (kind == "fault") {
      if (arg(1).empty() || arg(2).empty()) return Bad(why, "fault needs a program and a kind");
      m_.faults[Lower(arg(1))] = arg(2);
      return true;
    }
    return Bad(why, "unknown statement '" + kind + "'");
  }

  bool DriveLine(Line& l, std::string* why) {
    Drive d;
    if (!Letter(l.words.size() > 1 ? l.words[1] : "", d.letter, why)) return false;
    std::string kind = l.words.size() > 2 ? l.words[2] : "";
    if (kind == "fixed") d.kind = Drive::Kind::kFixed;
    else if (kind == "cdrom") d.kind = Drive::Kind::kCdrom;
    else if (kind == "network") d.kind = Drive::Kind::kNetwork;
    else return Bad(why, "a drive is fixed, cdrom or network");
    auto& o = l.options;
    if (o.count("folder")) d.folder = o["folder"];
    if (o.count("fs")) d.fileSystem = o["fs"];
    if (d.kind == Drive::Kind::kCdrom && !o.count("fs")) d.fileSystem = "CDFS";
    if (o.count("label")) d.label = o["label"];
    if (o.count("size") && !Size(o["size"], 1, d.sizeBytes, why)) return false;
    if (o.count("device")) {
      if (o["device"] != "cdrom" && o["device"] != "dvd") return Bad(why, "device is cdrom or dvd");
      d.dvd = o["device"] == "dvd";
    }
    if (!Int(l, "number", d.deviceNumber, why)) return false;
    if (o.count("bus") && !BusOption(o["bus"], d.bus, why)) return false;
    if (o.count("vendor")) d.vendor = o["vendor"];
    if (o.count("product")) d.product = o["product"];
    m_.drives.push_back(d);
    return NoOtherOptions(l, {"folder", "fs", "label", "size", "device", "number", "bus", "vendor", "product"}, why);
  }

  bool DiskLine(Line& l, std::string* why) {
    Disk d;
    if (!IntWord(l, 1, d.number, "disk needs a number", why)) return false;
    if (m_.FindDisk(d.number)) return Bad(why, "disk " + std::to_string(d.number) + " is described twice");
    auto& o = l.options;
    if (o.count("bus") && !BusOption(o["bus"], d.bus, why)) return false;
    if (!Flag(l, "removable", d.removable, why)) return false;
    if (o.count("vendor")) d.vendor = o["vendor"];
    if (o.count("product")) d.product = o["product"];
    if (o.count("revision")) d.revision = o["revision"];
    if (o.count("serial")) d.serial = o["serial"];
    if (o.count("size") && !Size(o["size"], 1, d.sizeBytes, why)) return false;
    if (o.count("geometry")) {
      long long c = 0;
      unsigned h = 0, s = 0, b = 0;
      if (sscanf(o["geometry"].c_str(), "%lld/%u/%u/%u", &c, &h, &s, &b) != 4)
        return Bad(why, "geometry is cylinders/heads/sectors/bytes");
      d.cylinders = c;
      d.heads = h;
      d.sectorsPerTrack = s;
      d.bytesPerSector = b;
      if (!o.count("size")) d.sizeBytes = static_cast<uint64_t>(c) * h * s * b;
    } else {
      d.cylinders = static_cast<int64_t>(d.sizeBytes / (255ull * 63 * 512));
    }
    if (!Flag(l, "media", d.media, why)) return false;
    if (o.count("geometry-fault")) {
      d.geometryFault = o["geometry-fault"];
      if (d.geometryFault != "zero" && d.geometryFault != "fail")
        return Bad(why, "geometry-fault is zero or fail");
    }
    if (o.count("number-fault")) {
      d.numberFault = o["number-fault"];
      if (d.numberFault != "fail") return Bad(why, "number-fault is fail");
    }
    if (o.count("letter")) {
      if (!Letter(o["letter"], d.emptyLetter, why)) return false;
    }
    if (o.count("descriptor")) {
      d.descriptorHex = o["descriptor"];
      bool hex = d.descriptorHex.size() % 2 == 0 &&
                 d.descriptorHex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
      if (!hex) return Bad(why, "descriptor is an even number of hex digits");
    }
    if (o.count("mbr")) d.mbrCode = o["mbr"];
    if (o.count("short-answer")) {
      if (o["short-answer"] != "fail") return Bad(why, "short-answer is fail");
      d.shortAnswerFails = true;
    }
    if (d.sizeBytes == 0 && d.media) return Bad(why, "a disk with a medium needs size= or geometry=");
    m_.disks.push_back(d);
    return NoOtherOptions(l, {"bus", "removable", "vendor", "product", "revision", "serial", "size", "geometry",
                              "media", "geometry-fault", "number-fault", "letter", "descriptor", "mbr", "short-answer"},
                          why);
  }

  bool UdLine(Line& l, std::string* why) {
    int number = 0;
    if (!IntWord(l, 1, number, "ud needs a disk number", why)) return false;
    Disk* d = m_.FindDisk(number);
    if (!d) return Bad(why, "ud names disk " + std::to_string(number) + ", which is not described above");
    if (!Num(l, "size", d->ud.sizeMB, why)) return false;
    if (l.options.count("folder")) d->ud.folder = l.options["folder"];
    return NoOtherOptions(l, {"size", "folder"}, why);
  }

  bool PartitionLine(Line& l, std::string* why) {
    int number = 0;
    if (!IntWord(l, 1, number, "partition needs a disk number", why)) return false;
    Disk* d = m_.FindDisk(number);
    if (!d) return Bad(why, "partition names disk " + std::to_string(number) + ", which is not described above");
    Partition p;
    auto& o = l.options;
    uint64_t bytes = 0;
    if (o.count("start")) {
      if (!Size(o["start"], kSectorBytes, bytes, why)) return false;
      p.start = bytes / kSectorBytes;
    } else if (!d->partitions.empty()) {
      const Partition& last = d->partitions.back();
      p.start = last.start + last.sectors;
    }
    if (!o.count("size")) return Bad(why, "partition needs size=");
    if (!Size(o["size"], kSectorBytes, bytes, why)) return false;
    p.sectors = bytes / kSectorBytes;
    if (o.count("type")) {
      char* end = nullptr;
      unsigned long t = strtoul(o["type"].c_str(), &end, 16);
      if (*end || t > 0xFF) return Bad(why, "type is a hex byte such as 0c");
      p.type = static_cast<uint8_t>(t);
    }
    if (!Flag(l, "active", p.active, why) || !Flag(l, "hidden", p.hidden, why)) return false;
    if (o.count("fs")) p.fileSystem = o["fs"];
    if (o.count("label")) p.label = o["label"];
    if (o.count("letter") && !Letter(o["letter"], p.letter, why)) return false;
    if (o.count("folder")) p.folder = o["folder"];
    if (o.count("boot")) p.bootCode = o["boot"];
    if (p.start > d->Sectors() || p.sectors > d->Sectors() - p.start)
      return Bad(why, "the partition ends past the end of disk " + std::to_string(number));
    d->partitions.push_back(p);
    return NoOtherOptions(l, {"start", "size", "type", "active", "hidden", "fs", "label", "letter", "folder", "boot"},
                          why);
  }

  bool Check(std::string* why) {
    for (const Disk& d : m_.disks) {
      if (d.partitions.size() > 4) return Bad(why, "disk " + std::to_string(d.number) + " has more than 4 partitions");
    }
    return true;
  }

  // --- helpers ---
  static bool Bad(std::string* why, const std::string& text) {
    *why = text;
    return false;
  }
  static std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
  }
  bool Letter(const std::string& text, char& letter, std::string* why) {
    std::string t = text;
    if (t.size() == 2 && t[1] == ':') t.pop_back();
    if (t.size() != 1 || !isalpha(static_cast<unsigned char>(t[0]))) return Bad(why, "'" + text + "' is not a drive letter");
    letter = static_cast<char>(toupper(static_cast<unsigned char>(t[0])));
    if (!letters_.insert(letter).second) return Bad(why, std::string("drive letter ") + letter + ": is used twice");
    return true;
  }
  static bool UInt(const std::string& text, uint32_t& out, const char* message, std::string* why) {
    char* end = nullptr;
    errno = 0;
    unsigned long long v = strtoull(text.c_str(), &end, 0);
    // No sign, nothing past the 32-bit range: such a number would come back as another one.
    if (text.empty() || *end || errno == ERANGE || text.find('-') != std::string::npos || v > UINT32_MAX)
      return Bad(why, message);
    out = static_cast<uint32_t>(v);
    return true;
  }
  static bool IntWord(Line& l, size_t i, int& out, const char* message, std::string* why) {
    if (i >= l.words.size()) return Bad(why, message);
    char* end = nullptr;
    errno = 0;
    long long v = strtoll(l.words[i].c_str(), &end, 10);
    if (l.words[i].empty() || *end || v < 0 || errno == ERANGE || v > INT_MAX) return Bad(why, message);
    out = static_cast<int>(v);
    return true;
  }
  static bool Text(const std::string& text, std::string& out, std::string* why) {
    if (text.empty()) return Bad(why, "a value is missing");
    out = text;
    return true;
  }
  static bool Num(Line& l, const char* name, uint32_t& out, std::string* why) {
    if (!l.options.count(name)) return true;
    return UInt(l.options[name], out, (std::string(name) + " needs a number").c_str(), why);
  }
  static bool Int(Line& l, const char* name, int& out, std::string* why) {
    if (!l.options.count(name)) return true;
    uint32_t v = 0;
    if (!UInt(l.options[name], v, (std::string(name) + " needs a number").c_str(), why)) return false;
    if (v > INT_MAX) return Bad(why, std::string(name) + " is too large");
    out = static_cast<int>(v);
    return true;
  }
  static bool Flag(Line& l, const char* name, bool& out, std::string* why) {
    if (!l.options.count(name)) return true;
    const std::string& v = l.options[name];
    if (v == "yes" || v == "1") out = true;
    else if (v == "no" || v == "0") out = false;
    else return Bad(why, std::string(name) + " is yes or no");
    return true;
  }
  static bool Size(const std::string& text, uint64_t unit, uint64_t& out, std::string* why) {
    auto v = ParseSize(text, unit);
    if (!v) return Bad(why, "'" + text + "' is not a size (a number, or one ending in K, M, G or T)");
    out = *v;
    return true;
  }
  static bool BusOption(const std::string& text, int& bus, std::string* why) {
    auto v = BusFromName(text);
    if (!v) return Bad(why, "'" + text + "' is not a bus type");
    bus = *v;
    return true;
  }
  static bool NoOtherOptions(const Line& l, std::initializer_list<const char*> known, std::string* why) {
    for (const auto& [name, value] : l.options) {
      bool ok = false;
      for (const char* k : known) ok = ok || name == k;
      if (!ok) return Bad(why, "unknown option '" + name + "'");
    }
    return true;
  }
};

std::string YesNo(bool b) { return b ? "yes" : "no"; }

std::string Hex2(uint8_t v) {
  char buf[3];
  snprintf(buf, sizeof buf, "%02x", v);
  return buf;
}

}  // namespace

std::optional<Machine> ParseMachine(std::string_view text, std::string* error) {
  return Parser().Run(text, error);
}

std::string FormatMachine(const Machine& m) {
  std::ostringstream out;
  out << "# Simulated Windows machine (docs/simulated-machine.md)\n";
  out << "windows " << m.windowsMajor << "." << m.windowsMinor << " build=" << m.windowsBuild
      << " wow64=" << YesNo(m.wow64) << (m.elevated ? "" : " elevated=no") << "\n";
  out << "locale " << m.locale << "\n";
  out << "codepage " << m.codePage << "\n";
  out << "windir " << Quote(m.windir) << "\n";
  out << "program " << Quote(m.program) << "\n";
  char scale[32];
  snprintf(scale, sizeof scale, "%.17g", m.timeScale);
  out << "timescale " << scale << "\n";
  out << "caption-font " << Quote(m.captionFont) << "\n";
  for (const auto& f : m.fonts) out << "font " << Quote(f) << "\n";
  out << "number-format decimal=" << Quote(m.decimalSep) << " group=" << Quote(m.groupSep);
  if (m.grouping != "3;0") out << " grouping=" << m.grouping;
  out << "\n";
  out << "screen dpi=" << m.dpi << " char-width=" << m.charWidth << " scroll-bar=" << m.scrollBarWidth << "\n";
  for (const auto& [k, v] : m.env) out << "env " << Quote(k) << " " << Quote(v) << "\n";
  for (const Drive& d : m.drives) {
    out << "drive " << d.letter << " ";
    switch (d.kind) {
      case Drive::Kind::kFixed: out << "fixed"; break;
      case Drive::Kind::kCdrom: out << "cdrom"; break;
      case Drive::Kind::kNetwork: out << "network"; break;
    }
    if (!d.folder.empty()) out << " folder=" << Quote(d.folder);
    out << " fs=" << Quote(d.fileSystem) << " label=" << Quote(d.label) << " size=" << d.sizeBytes;
    if (d.kind == Drive::Kind::kCdrom) {
      out << " device=" << (d.dvd ? "dvd" : "cdrom") << " number=" << d.deviceNumber << " bus=" << BusName(d.bus);
      if (!d.vendor.empty()) out << " vendor=" << Quote(d.vendor);
      if (!d.product.empty()) out << " product=" << Quote(d.product);
    }
    out << "\n";
  }
  for (const Disk& d : m.disks) {
    out << "disk " << d.number << " bus=" << BusName(d.bus) << " removable=" << YesNo(d.removable)
        << " vendor=" << Quote(d.vendor) << " product=" << Quote(d.product) << " revision=" << Quote(d.revision);
    if (!d.serial.empty()) out << " serial=" << Quote(d.serial);
    out << " size=" << d.sizeBytes << " geometry=" << d.cylinders << "/" << d.heads << "/" << d.sectorsPerTrack << "/"
        << d.bytesPerSector;
    if (!d.media) out << " media=no";
    if (!d.geometryFault.empty()) out << " geometry-fault=" << d.geometryFault;
    if (d.shortAnswerFails) out << " short-answer=fail";
    if (!d.numberFault.empty()) out << " number-fault=" << d.numberFault;
    if (d.emptyLetter) out << " letter=" << d.emptyLetter;
    if (!d.descriptorHex.empty()) out << " descriptor=" << d.descriptorHex;
    if (!d.mbrCode.empty()) out << " mbr=" << Quote(d.mbrCode);
    out << "\n";
    if (d.ud.sizeMB) {
      out << "ud " << d.number << " size=" << d.ud.sizeMB;
      if (!d.ud.folder.empty()) out << " folder=" << Quote(d.ud.folder);
      out << "\n";
    }
    for (const Partition& p : d.partitions) {
      out << "partition " << d.number << " start=" << p.start << " size=" << p.sectors << " type=" << Hex2(p.type)
          << " active=" << YesNo(p.active) << " hidden=" << YesNo(p.hidden) << " fs=" << Quote(p.fileSystem)
          << " label=" << Quote(p.label);
      if (p.letter) out << " letter=" << p.letter;
      if (!p.folder.empty()) out << " folder=" << Quote(p.folder);
      if (!p.bootCode.empty()) out << " boot=" << Quote(p.bootCode);
      out << "\n";
    }
  }
  for (const std::string& f : m.filesBeingWritten) out << "writing " << Quote(f) << "\n";
  for (const SimProcess& p : m.processes)
    out << "process " << p.id << " " << Quote(p.name) << " access=" << (p.fullAccess ? "full" : "limited") << "\n";
  for (const auto& [tool, kind] : m.faults) out << "fault " << Quote(tool) << " " << Quote(kind) << "\n";
  for (const DiskSwap& s : m.swaps) out << "swap " << s.disk << " " << s.spare << " after=" << Quote(s.after) << "\n";
  return out.str();
}

}  // namespace os::sim
