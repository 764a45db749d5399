// Disks and drives for simulated machines (host build only): USB sticks,
// USB hard disks, SD cards in built-in readers, internal disks, card readers
// without a card, CD and DVD drives and network drives. Each volume gets a
// folder of its own, so its letter exists as a path.
//
// Public functions: AddDisk(), AddUsbStick(), AddUsbHardDisk(), AddSdCard(),
//                   AddInternalDisk(), AddEmptyCardReader(), AddCdDrive(),
//                   AddNetworkDrive(), kBusUsb, kBusSata, kBusSd.
#pragma once

#include <cstdint>
#include <string>

#include "os/sim/machine.h"

namespace test {

constexpr int kBusUsb = 7;
constexpr int kBusSata = 11;
constexpr int kBusSd = 12;

// A disk whose partitions carry the given letters in partition order ("EF":
// partition 1 is E:, partition 2 is F:; '-' makes a partition without a
// letter). The disk is divided evenly among them; each is FAT32.
os::sim::Disk& AddDisk(os::sim::Machine& m, int number, int bus, bool removable, uint64_t sizeBytes,
                       const std::string& letters, const std::string& vendor = "Generic",
                       const std::string& product = "Flash Disk");

os::sim::Disk& AddUsbStick(os::sim::Machine& m, int number, const std::string& letters,
                           uint64_t sizeBytes = 32ull << 30);
// Fixed media on the USB bus.
os::sim::Disk& AddUsbHardDisk(os::sim::Machine& m, int number, const std::string& letters,
                              uint64_t sizeBytes = 500ull << 30);
// Removable media in a built-in reader on the SD bus.
os::sim::Disk& AddSdCard(os::sim::Machine& m, int number, const std::string& letters,
                         uint64_t sizeBytes = 16ull << 30);
// Fixed media on the SATA bus.
os::sim::Disk& AddInternalDisk(os::sim::Machine& m, int number, const std::string& letters,
                               uint64_t sizeBytes = 256ull << 30);
// A removable slot with a letter but no medium. fault: "" (the geometry
// request fails as "not ready"), "zero" (it answers zeros) or "fail".
os::sim::Disk& AddEmptyCardReader(os::sim::Machine& m, int number, char letter, int bus = kBusUsb,
                                  const std::string& fault = "");
void AddCdDrive(os::sim::Machine& m, char letter, bool dvd, int deviceNumber, bool withDisc);
void AddNetworkDrive(os::sim::Machine& m, char letter);

}  // namespace test
