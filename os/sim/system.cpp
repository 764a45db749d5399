// The running system of the simulated machine: version, environment, locale
// ids, command line, program path, number format and the shell's "open".
#include "os/system.h"

#include <cctype>
#include <chrono>
#include <ctime>
#include <fstream>
#include <vector>

#include "os/sim/command_line.h"
#include "os/sim/event_loop.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/state.h"

namespace os {
namespace {

// Locale ids that Windows knows: a primary language and a sub-language, with
// the default sort order.
bool IsKnownLocale(uint32_t lcid) {
  uint32_t primary = lcid & 0x3FF;
  uint32_t sub = (lcid >> 10) & 0x3F;
  return lcid <= 0xFFFF && primary >= 0x01 && primary <= 0x92 && sub >= 1 && sub <= 0x14;
}

// Rounds a plain decimal text to `decimals` places, halves away from zero.
std::pair<std::string, std::string> RoundDecimal(std::string_view number, int decimals) {
  std::string digits(number);
  std::string whole = digits.substr(0, digits.find('.'));
  std::string frac = digits.find('.') == std::string::npos ? "" : digits.substr(digits.find('.') + 1);
  if (whole.empty()) whole.push_back('0');
  frac.resize(static_cast<size_t>(decimals) + 1, '0');
  bool up = frac.back() >= '5';
  frac.pop_back();
  std::string all = whole + frac;
  if (up) {
    int k = static_cast<int>(all.size()) - 1;
    while (k >= 0 && all[k] == '9') all[k--] = '0';
    if (k < 0) all.insert(all.begin(), '1');
    else ++all[k];
  }
  return {all.substr(0, all.size() - frac.size()), all.substr(all.size() - frac.size())};
}

// Groups the digits of a whole number from the right, as the user's grouping
// says: "3;0" groups of three; "3;2;0" three, then twos; "3" three, then the
// rest in one group; "0" no groups.
std::string GroupDigits(const std::string& digits, const std::string& grouping, const std::string& separator) {
  std::vector<size_t> sizes;
  for (char c : grouping)
    if (c >= '0' && c <= '9') sizes.push_back(static_cast<size_t>(c - '0'));
  bool repeat = !sizes.empty() && sizes.back() == 0;
  if (repeat) sizes.pop_back();
  // Cut points, counted from the right.
  std::vector<size_t> cuts;
  size_t at = 0, k = 0;
  while (!sizes.empty()) {
    size_t size = k < sizes.size() ? sizes[k] : (repeat ? sizes.back() : 0);
    if (size == 0) break;
    at += size;
    if (at >= digits.size()) break;
    cuts.push_back(at);
    ++k;
  }
  std::string out = digits;
  for (size_t cut : cuts) out.insert(digits.size() - cut, separator);
  return out;
}

}  // namespace

std::optional<VersionInfo> QueryVersion() {
  auto m = sim::Current();
  return VersionInfo{m->windowsMajor, m->windowsMinor, m->windowsBuild};
}

std::optional<std::string> EnvVar(std::string_view name) {
  auto m = sim::Current();
  for (const auto& [k, v] : m->env)
    if (sim::EqualNoCase(k, name)) return v;
  std::string drive = m->windir.substr(0, 2);
  if (sim::EqualNoCase(name, "windir") || sim::EqualNoCase(name, "SystemRoot")) return m->windir;
  if (sim::EqualNoCase(name, "SYSTEMDRIVE")) return drive;
  if (sim::EqualNoCase(name, "TEMP") || sim::EqualNoCase(name, "TMP")) return m->windir + "\\Temp";
  if (sim::EqualNoCase(name, "ComSpec")) return m->windir + "\\System32\\cmd.exe";
  if (sim::EqualNoCase(name, "PATH")) return m->windir + "\\System32;" + m->windir;
  return std::nullopt;
}

// The machine's own Windows folder: an environment variable of the session
// (machine line "env windir ...") does not change it.
std::string WindowsFolder() { return sim::Current()->windir; }
std::string SystemFolder() { return sim::Current()->windir + "\\System32"; }

bool IsElevated() { return sim::Current()->elevated; }

uint32_t SystemDefaultLocale() { return sim::Current()->locale; }

uint32_t ThreadLocale() {
  uint32_t set = sim::State().threadLocale;
  return set ? set : SystemDefaultLocale();
}

bool SetThreadLocaleId(uint32_t lcid) {
  if (!IsKnownLocale(lcid)) return false;
  sim::State().threadLocale = lcid;
  return true;
}

std::string CommandLine() { return sim::CommandLineText(); }

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line) {
  return sim::SplitLikeWindows(line, ModulePath());
}

std::string ModulePath() { return sim::Current()->program; }

std::string FormatNumber(std::string_view number, int decimals) {
  auto m = sim::Current();
  bool negative = !number.empty() && number[0] == '-';
  if (negative) number.remove_prefix(1);
  auto [whole, frac] = RoundDecimal(number, decimals);
  std::string grouped = GroupDigits(whole, m->grouping, m->groupSep);
  std::string out;
  if (negative) out += '-';
  out += grouped;
  if (decimals > 0) {
    out += m->decimalSep;
    out += frac;
  }
  return out;
}

void SuppressErrorBoxes() { sim::State().errorMode |= kSemFailCriticalErrors | kSemNoOpenFileErrorBox; }

intptr_t ShellOpen(std::string_view file, std::string_view parameters, std::string_view folder, int show) {
  auto m = sim::Current();
  if (m->faults.count("shell-open")) return 2;  // SE_ERR_FNF
  std::ofstream log(sim::MachineFolder() + "/shell-open.log", std::ios::app);
  log << file << "\t" << parameters << "\t" << folder << "\t" << show << "\n";
  return 42;
}

// The machine's clock: the host's local time when the program first asks,
// running on from there with the simulated clock, so that times and the
// durations between them agree with TickCount().
LocalTimeValue LocalTime() {
  using namespace std::chrono;
  static const int64_t baseMs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  static const uint64_t baseTick = sim::EventLoop::Get().Now();
  int64_t ms = baseMs + static_cast<int64_t>(sim::EventLoop::Get().Now() - baseTick);
  time_t seconds = static_cast<time_t>(ms / 1000);
  tm local{};
  localtime_r(&seconds, &local);
  return LocalTimeValue{static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
                        static_cast<uint16_t>(local.tm_mday),        static_cast<uint16_t>(local.tm_hour),
                        static_cast<uint16_t>(local.tm_min),         static_cast<uint16_t>(local.tm_sec),
                        static_cast<uint16_t>(ms % 1000)};
}

std::string TempFolder() {
  std::string folder = EnvVar("TEMP").value_or(EnvVar("TMP").value_or(""));
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}


bool Is64BitSystem() { return sim::Current()->wow64; }

}  // namespace os
