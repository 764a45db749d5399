// The first sectors of the simulated disks read through the seam, and the
// boot code check of a disk on a simulated machine: the sectors carry what
// the machine description says, a hidden partition is read through its
// disk, and reads the system would refuse fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disk/drive_layout.h"
#include "make/boot_code.h"
#include "os/device.h"
#include "tests/support/sim_machine.h"
#include "tests/support/tool_machines.h"

namespace {

using make::BootCodeNeed;
using Sector = std::vector<uint8_t>;

constexpr uint32_t kRead = os::kGenericRead, kShare = os::kShareRead | os::kShareWrite;

// A made DATA+UEFI stick: data E:, the EFI partition hidden and active at the end.
void MadeStick(os::sim::Machine& m, const std::string& mbrCode, const std::string& efiCode) {
  os::sim::Disk& d = test::AddStick(m, 1, 'E');
  d.mbrCode = mbrCode;
  os::sim::Partition& data = d.partitions[0];
  data.sectors -= 1032 * 2048ull;
  os::sim::Partition efi;
  efi.start = data.start + data.sectors;
  efi.sectors = 1032 * 2048ull;
  efi.type = 0x1C;
  efi.hidden = true;
  efi.active = true;
  efi.fileSystem = "FAT32";
  efi.label = "EFI";
  efi.bootCode = efiCode;
  efi.folder = "disks/1/part2";
  d.partitions.push_back(efi);
}

Sector Read(const std::string& path, uint64_t offset, size_t size = 512) {
  os::Device device = os::OpenDevice(path, kRead, kShare);
  Sector s(size, 0xEE);
  if (!os::ReadDevice(device, offset, s)) return {};
  return s;
}

std::string Text(const Sector& s, size_t at, size_t n) { return std::string(s.begin() + at, s.begin() + at + n); }

TEST(SimSectors, TheMasterBootRecordAndBootSectorsCarryTheMachinesBootCode) {
  test::SimMachine m([](os::sim::Machine& mm) { MadeStick(mm, "nt60", "nt60"); });
  auto table = disk::ReadDriveLayout(1);
  ASSERT_TRUE(table);

  Sector mbr = Read("\\\\.\\PhysicalDrive1", 0);
  ASSERT_EQ(512u, mbr.size());
  EXPECT_EQ("boot code: nt60", Text(mbr, 0, 15));
  EXPECT_EQ("", make::JudgeMasterBootRecord(mbr, *table, true)) << "the table is built from the partitions";
  EXPECT_EQ(0x80, mbr[446 + 16]);
  EXPECT_EQ(0x1C, mbr[446 + 16 + 4]);

  // The hidden EFI partition's boot sector, at its place on the disk.
  Sector efi = Read("\\\\.\\PhysicalDrive1", (*table).partitions[1].startBytes);
  ASSERT_EQ(512u, efi.size());
  EXPECT_EQ("MSDOS5.0", Text(efi, 3, 8));
  EXPECT_EQ("boot code: nt60", Text(efi, 90, 15));
  EXPECT_EQ("", make::JudgeBootSector(efi));

  // The data volume's own device, and a sector that is no boot sector.
  Sector data = Read("\\\\.\\E:", 0);
  ASSERT_EQ(512u, data.size());
  EXPECT_EQ(0x55, data[510]);
  EXPECT_EQ("the active partition's boot sector holds no boot code", make::JudgeBootSector(data));
  Sector two = Read("\\\\.\\PhysicalDrive1", 512, 1024);
  ASSERT_EQ(1024u, two.size());
  EXPECT_EQ(Sector(1024, 0), two);

  EXPECT_TRUE(make::CheckBootCode(1, *table, BootCodeNeed::kActiveBootSector).empty());
}

TEST(SimSectors, MissingBootCodeIsFoundByTheCheck) {
  test::SimMachine m([](os::sim::Machine& mm) { MadeStick(mm, "", ""); });
  auto table = disk::ReadDriveLayout(1);
  ASSERT_TRUE(table);
  EXPECT_EQ((std::vector<std::string>{"the master boot record holds no boot code",
                                      "the active partition's boot sector holds no boot code"}),
            make::CheckBootCode(1, *table, BootCodeNeed::kActiveBootSector));
  EXPECT_EQ((std::vector<std::string>{"the master boot record holds no boot code"}),
            make::CheckBootCode(1, *table, BootCodeNeed::kMasterBootRecord));
  EXPECT_TRUE(make::CheckBootCode(1, *table, BootCodeNeed::kNone).empty());

  // An unformatted active partition has no boot sector at all; a table
  // that is not the disk's is found in the sector.
  m.Update([](os::sim::Machine& mm) { mm.disks[0].partitions[1].fileSystem.clear(); mm.disks[0].mbrCode = "nt60"; });
  EXPECT_EQ((std::vector<std::string>{"the active partition's boot sector has no boot signature"}),
            make::CheckBootCode(1, *table, BootCodeNeed::kActiveBootSector));
  disk::DriveLayout other = *table;
  other.partitions[1].active = false;
  other.partitions[0].active = true;
  std::vector<std::string> found = make::CheckBootCode(1, other, BootCodeNeed::kMasterBootRecord);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ("entry 1 of the master boot record's partition table disagrees with partition 1 of the disk", found[0]);
}

TEST(SimSectors, ReadsTheSystemRefusesFail) {
  test::SimMachine m([](os::sim::Machine& mm) {
    MadeStick(mm, "nt60", "nt60");
    os::sim::Disk reader = mm.disks[0];
    reader.number = 2;
    reader.media = false;
    reader.partitions.clear();
    mm.disks.push_back(reader);
  });
  EXPECT_TRUE(Read("\\\\.\\PhysicalDrive1", 100).empty()) << "not on a sector boundary";
  EXPECT_TRUE(Read("\\\\.\\PhysicalDrive1", 0, 500).empty()) << "not whole sectors";
  EXPECT_TRUE(Read("\\\\.\\PhysicalDrive1", 0, 0).empty());
  EXPECT_TRUE(Read("\\\\.\\PhysicalDrive1", (16ull << 30)).empty()) << "past the disk's end";
  EXPECT_FALSE(Read("\\\\.\\PhysicalDrive1", (16ull << 30) - 512).empty()) << "its last sector";
  EXPECT_TRUE(Read("\\\\.\\PhysicalDrive2", 0).empty()) << "a reader without a card";
  EXPECT_TRUE(Read("\\\\.\\PhysicalDrive9", 0).empty()) << "no such disk";
  EXPECT_TRUE(Read("\\\\.\\Q:", 0).empty()) << "no such volume";
  Sector s(512, 0xEE);
  EXPECT_FALSE(os::ReadDevice(os::Device(), 0, s));
  EXPECT_EQ(Sector(512, 0xEE), s) << "a failed read leaves the buffer alone";
  EXPECT_EQ((std::vector<std::string>{"the master boot record could not be read"}),
            make::CheckBootCode(2, disk::DriveLayout{}, BootCodeNeed::kNone));
}

}  // namespace
