#include "tests/support/disk_machines.h"

namespace test {

os::sim::Disk& AddDisk(os::sim::Machine& m, int number, int bus, bool removable, uint64_t sizeBytes,
                       const std::string& letters, const std::string& vendor, const std::string& product) {
  os::sim::Disk d;
  d.number = number;
  d.bus = bus;
  d.removable = removable;
  d.vendor = vendor;
  d.product = product;
  d.revision = "1.00";
  d.sizeBytes = sizeBytes;
  d.cylinders = static_cast<int64_t>(sizeBytes / (255ull * 63 * 512));
  uint64_t first = 2048;
  uint64_t each = letters.empty() ? 0 : (d.Sectors() - first) / letters.size();
  for (size_t i = 0; i < letters.size(); ++i) {
    os::sim::Partition p;
    p.start = first + i * each;
    p.sectors = each;
    p.fileSystem = "FAT32";
    p.label = "DISK" + std::to_string(number);
    if (letters[i] != '-') {
      p.letter = letters[i];
      p.folder = std::string("volumes/") + letters[i];
    } else {
      p.folder = "volumes/disk" + std::to_string(number) + "-" + std::to_string(i + 1);
    }
    d.partitions.push_back(p);
  }
  m.disks.push_back(d);
  return m.disks.back();
}

os::sim::Disk& AddUsbStick(os::sim::Machine& m, int number, const std::string& letters, uint64_t sizeBytes) {
  return AddDisk(m, number, kBusUsb, true, sizeBytes, letters, "Generic", "Flash Disk");
}

os::sim::Disk& AddUsbHardDisk(os::sim::Machine& m, int number, const std::string& letters, uint64_t sizeBytes) {
  return AddDisk(m, number, kBusUsb, false, sizeBytes, letters, "WD", "Elements 25A2");
}

os::sim::Disk& AddSdCard(os::sim::Machine& m, int number, const std::string& letters, uint64_t sizeBytes) {
  return AddDisk(m, number, kBusSd, true, sizeBytes, letters, "", "SD Card");
}

os::sim::Disk& AddInternalDisk(os::sim::Machine& m, int number, const std::string& letters, uint64_t sizeBytes) {
  return AddDisk(m, number, kBusSata, false, sizeBytes, letters, "", "Samsung SSD 860");
}

os::sim::Disk& AddEmptyCardReader(os::sim::Machine& m, int number, char letter, int bus, const std::string& fault) {
  os::sim::Disk d;
  d.number = number;
  d.bus = bus;
  d.removable = true;
  d.vendor = "Generic-";
  d.product = "SD/MMC";
  d.media = false;
  d.emptyLetter = letter;
  d.geometryFault = fault;
  m.disks.push_back(d);
  return m.disks.back();
}

void AddCdDrive(os::sim::Machine& m, char letter, bool dvd, int deviceNumber, bool withDisc) {
  os::sim::Drive d;
  d.letter = letter;
  d.kind = os::sim::Drive::Kind::kCdrom;
  d.dvd = dvd;
  d.deviceNumber = deviceNumber;
  d.fileSystem = "CDFS";
  d.sizeBytes = 700ull << 20;
  d.vendor = "HL-DT-ST";
  d.product = dvd ? "DVDRAM GH24NSD1" : "CD-ROM GCR-8523B";
  if (withDisc) d.folder = std::string("volumes/") + letter;
  m.drives.push_back(d);
}

void AddNetworkDrive(os::sim::Machine& m, char letter) {
  os::sim::Drive d;
  d.letter = letter;
  d.kind = os::sim::Drive::Kind::kNetwork;
  d.folder = std::string("volumes/") + letter;
  d.label = "share";
  m.drives.push_back(d);
}

}  // namespace test
