// What the tests of the real UEFI boot share (host build only): an
// environment variable set for one test, why this host cannot boot a made
// disk for real (the emulator, its firmware, a file system's tools, our
// UEFI program), and a fingerprint of a simulated machine's disks.
//
// Public: class ScopedEnv, RealBootMissing(), kSamplePeMarker, DiskDigest(),
//         ReadHostText().
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>

namespace test {

// What the sample PE's UEFI program prints on the console.
constexpr const char* kSamplePeMarker = "Tarnvale sample PE started";

// Sets an environment variable (seen by the programs the test starts too)
// and puts back its earlier value at the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Why a disk whose partitions have these file systems cannot be booted for
// real on this host ("" when it can): the emulator is switched off or not
// installed, the firmware is missing, a file system's tools are missing, or
// the UEFI program was not built.
std::string RealBootMissing(std::initializer_list<const char*> fileSystems);

// A fingerprint of every byte the machine holds of its disks: the machine
// description, and each file and folder under disks/ (path -> size and a
// 64-bit checksum of the content, or "<folder>").
std::map<std::string, std::string> DiskDigest(const std::string& machineFolder);

// A host file's bytes; "" when it cannot be read.
std::string ReadHostText(const std::string& path);

}  // namespace test
