// The judgement of a made disk's boot code on crafted sectors: the master
// boot record's signature, boot code and partition table against the
// disk's layout, a partition's boot sector, and what each layout and PE
// image needs.
#include <gtest/gtest.h>

#include <vector>

#include "make/boot_code.h"

namespace {

using make::BootCodeNeed;
using make::Layout;
constexpr uint64_t kMB = disk::kMiB;

void Put32(std::vector<uint8_t>& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// DATA+UEFI on a 16 GB stick: data from 1 MB, the active EFI partition at the end.
disk::DriveLayout Table() {
  disk::DriveLayout t;
  t.diskBytes = 16384 * kMB;
  t.partitions.push_back({1 * kMB, 15351 * kMB, 0x07, false});
  t.partitions.push_back({15352 * kMB, 1032 * kMB, 0x1C, true});
  return t;
}

// The master boot record a sound make leaves for the table.
std::vector<uint8_t> Mbr(const disk::DriveLayout& t) {
  std::vector<uint8_t> s(512, 0);
  s[0] = 0x33;  // xor ax, ax: boot code
  s[1] = 0xC0;
  for (size_t i = 0; i < t.partitions.size(); ++i) {
    size_t at = 446 + 16 * i;
    s[at] = t.partitions[i].active ? 0x80 : 0;
    s[at + 4] = t.partitions[i].type;
    Put32(s, at + 8, static_cast<uint32_t>(t.partitions[i].startBytes / 512));
    Put32(s, at + 12, static_cast<uint32_t>(t.partitions[i].lengthBytes / 512));
  }
  s[510] = 0x55;
  s[511] = 0xAA;
  return s;
}

std::vector<uint8_t> BootSector() {
  std::vector<uint8_t> s(512, 0);
  s[0] = 0xEB, s[1] = 0x58, s[2] = 0x90;
  s[200] = 0xCD;  // int 13h somewhere in the code area
  s[201] = 0x13;
  s[510] = 0x55;
  s[511] = 0xAA;
  return s;
}

TEST(MasterBootRecordJudge, PassesTheSoundSectorAndNamesEachFault) {
  const disk::DriveLayout t = Table();
  EXPECT_EQ("", make::JudgeMasterBootRecord(Mbr(t), t, true));

  std::vector<uint8_t> s = Mbr(t);
  s[511] = 0x00;
  EXPECT_EQ("the master boot record has no boot signature", make::JudgeMasterBootRecord(s, t, false));

  s = Mbr(t);
  s[0] = s[1] = 0;
  EXPECT_EQ("the master boot record holds no boot code", make::JudgeMasterBootRecord(s, t, true));
  EXPECT_EQ("", make::JudgeMasterBootRecord(s, t, false)) << "no code is needed where the make writes none";
  s[439] = 0x01;  // the last byte of the code area still counts
  EXPECT_EQ("", make::JudgeMasterBootRecord(s, t, true));
  s[439] = 0;
  s[440] = 0x12;  // the disk signature is no boot code
  EXPECT_EQ("the master boot record holds no boot code", make::JudgeMasterBootRecord(s, t, true));

  EXPECT_EQ("the master boot record could not be read",
            make::JudgeMasterBootRecord(std::vector<uint8_t>(511, 0x55), t, false));
}

TEST(MasterBootRecordJudge, ThePartitionTableMustAgreeWithTheLayoutEntryByEntry) {
  const disk::DriveLayout t = Table();
  struct Case {
    size_t at;
    uint8_t value;
    const char* finding;
  } cases[] = {
      {446 + 16 + 4, 0x0C, "entry 2 of the master boot record's partition table disagrees with partition 2 of the disk"},
      {446 + 16, 0x00, "entry 2 of the master boot record's partition table disagrees with partition 2 of the disk"},
      {446, 0x80, "entry 1 of the master boot record's partition table disagrees with partition 1 of the disk"},
      {446 + 8, 0x01, "entry 1 of the master boot record's partition table disagrees with partition 1 of the disk"},
      {446 + 16 + 12, 0x01, "entry 2 of the master boot record's partition table disagrees with partition 2 of the disk"},
      {446 + 32, 0x7F, "entry 3 of the master boot record's partition table has an invalid active flag"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> s = Mbr(t);
    s[c.at] = c.value;
    EXPECT_EQ(c.finding, make::JudgeMasterBootRecord(s, t, true)) << "byte " << c.at;
  }
  // A third entry, and a missing second one.
  std::vector<uint8_t> s = Mbr(t);
  s[446 + 32 + 4] = 0x07;
  Put32(s, 446 + 32 + 12, 2048);
  EXPECT_EQ("entry 3 of the master boot record's partition table names a partition the disk does not have",
            make::JudgeMasterBootRecord(s, t, true));
  s = Mbr(t);
  s[446 + 16 + 4] = 0;
  EXPECT_EQ("the master boot record's partition table holds 1 of the disk's 2 partitions",
            make::JudgeMasterBootRecord(s, t, true));
}

TEST(BootSectorJudge, NeedsTheSignatureAndCodeInTheCodeArea) {
  EXPECT_EQ("", make::JudgeBootSector(BootSector()));
  std::vector<uint8_t> s = BootSector();
  s[510] = 0;
  EXPECT_EQ("the active partition's boot sector has no boot signature", make::JudgeBootSector(s));
  s = BootSector();
  s[200] = s[201] = 0;
  EXPECT_EQ("the active partition's boot sector holds no boot code", make::JudgeBootSector(s))
      << "a jump and a parameter block alone start nothing";
  s[509] = 0xF4;  // the code area's last byte
  EXPECT_EQ("", make::JudgeBootSector(s));
  EXPECT_EQ("the active partition's boot sector could not be read", make::JudgeBootSector({}));
}

TEST(BootCodeNeeds, FollowTheLayoutAndTheImagesLoader) {
  using Files = std::vector<make::PackageFile>;
  const Files bootmgr = {{"EFI\\BOOT\\BOOTX64.EFI", 1}, {"BOOTMGR", 2}};
  const Files grldr = {{"bootmgr", 2}, {"grldr", 3}};
  const Files neither = {{"EFI\\BOOT\\BOOTX64.EFI", 1}, {"boot\\bootmgr", 2}};
  for (Layout l : {Layout::kDataUefi, Layout::kUefiData}) {
    EXPECT_EQ(BootCodeNeed::kActiveBootSector, make::BootCodeFor(l, bootmgr));
    EXPECT_EQ(BootCodeNeed::kMasterBootRecord, make::BootCodeFor(l, grldr)) << "grldr is looked for first";
    EXPECT_EQ(BootCodeNeed::kNone, make::BootCodeFor(l, neither)) << "only the image's top level counts";
    EXPECT_EQ(BootCodeNeed::kNone, make::BootCodeFor(l, std::nullopt));
  }
  EXPECT_EQ(BootCodeNeed::kMasterBootRecord, make::BootCodeFor(Layout::kUdDataUefi, bootmgr))
      << "the UD format writes the UD boot code, and no partition is active";
  EXPECT_EQ(BootCodeNeed::kMasterBootRecord, make::BootCodeFor(Layout::kUdDataUefi, std::nullopt));
}

}  // namespace
