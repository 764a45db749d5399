#include "os/sim/bus_names.h"

#include <cstdlib>

namespace os::sim {
namespace {
const char* const kNames[] = {"unknown", "scsi", "atapi", "ata",  "1394",  "ssa",    "fibre",
                              "usb",     "raid", "iscsi", "sas",  "sata",  "sd",     "mmc",
                              "virtual", "filebackedvirtual", "spaces", "nvme", "scm", "ufs"};
constexpr int kCount = sizeof kNames / sizeof kNames[0];
}  // namespace

std::string BusName(int bus) {
  if (bus >= 0 && bus < kCount) return kNames[bus];
  return std::to_string(bus);
}

std::optional<int> BusFromName(const std::string& name) {
  for (int i = 0; i < kCount; ++i)
    if (name == kNames[i]) return i;
  char* end = nullptr;
  long v = strtol(name.c_str(), &end, 10);
  if (!name.empty() && !*end && v >= -32768 && v <= 0xFFFF) return static_cast<int>(v);
  return std::nullopt;
}

}  // namespace os::sim
