#include "tests/support/real_boot.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/tvtool/fs_writers.h"
#include "tools/tvtool/qemu_runner.h"

namespace fs = std::filesystem;

namespace test {

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = getenv(name)) old_ = old;
  setenv(name, value, 1);
}

ScopedEnv::~ScopedEnv() {
  if (old_) setenv(name_.c_str(), old_->c_str(), 1);
  else unsetenv(name_.c_str());
}

std::string ReadHostText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string RealBootMissing(std::initializer_list<const char*> fileSystems) {
  tvtool::Emulator e = tvtool::FindEmulator();
  if (e.off) return "TARNVALE_QEMU=none: the emulator only records";
  if (!e.missing.empty()) return e.missing + " is not installed (scripts/setup.sh installs it)";
  std::string missing;
  for (const char* fileSystem : fileSystems) {
    std::string tools = tvtool::MissingVolumeTools(fileSystem);
    if (!tools.empty()) missing += (missing.empty() ? "" : ", ") + tools;
  }
  if (!missing.empty()) return "not installed: " + missing + " (scripts/setup.sh installs them)";
  if (ReadHostText(TV_EFI_PROGRAM).rfind("MZ", 0) != 0)
    return "the sample PE's UEFI program was not built (x86_64-w64-mingw32-gcc is missing)";
  return "";
}

std::map<std::string, std::string> DiskDigest(const std::string& machineFolder) {
  auto digest = [](const std::string& bytes) {
    uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (char c : bytes) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211ull;
    return std::to_string(bytes.size()) + " bytes, " + std::to_string(h);
  };
  std::map<std::string, std::string> out;
  out["machine.txt"] = digest(ReadHostText(machineFolder + "/machine.txt"));
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(machineFolder + "/disks", ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::string relative = fs::relative(it->path(), machineFolder, ec).generic_string();
    out[relative] = it->is_directory(ec) ? "<folder>" : digest(ReadHostText(it->path().string()));
  }
  return out;
}

}  // namespace test
