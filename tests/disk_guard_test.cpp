// The chosen disk's identity and its guard: what makes two disks the same,
// the identity query by disk number, the check that stays failed once the
// disk has changed, and the disks that are never offered or accepted as a
// target (the running Windows, the program and its files).
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "disk/disk_identity.h"
#include "disk/target_check.h"
#include "disk/target_guard.h"
#include "disk/target_list.h"
#include "os/sim/device_answers.h"
#include "os/sim/disk_swap.h"
#include "tests/support/disk_machines.h"
#include "tests/support/sim_machine.h"
#include "ui/window_model.h"

namespace {

constexpr os::Control kList = os::Control::kRDriver;

disk::DiskIdentity Stick(const std::string& serial, uint64_t size = 16ull << 30) {
  disk::DiskIdentity id;
  id.present = true;
  id.number = 1;
  id.busType = 7;
  id.vendor = "Generic";
  id.product = "Flash Disk";
  id.revision = "8.07";
  id.serial = serial;
  id.sizeBytes = size;
  return id;
}

TEST(DiskIdentity, TheSerialDecidesWhenBothDisksHaveOne) {
  EXPECT_TRUE(disk::SameDisk(Stick("AA01"), Stick("AA01")));
  EXPECT_FALSE(disk::SameDisk(Stick("AA01"), Stick("AA02"))) << "same model, same size, another serial";
  disk::DiskIdentity resized = Stick("AA01", 32ull << 30);
  EXPECT_FALSE(disk::SameDisk(Stick("AA01"), resized)) << "the serial alone does not make it the same";
}

TEST(DiskIdentity, WithoutASerialTheRestIsCompared) {
  EXPECT_TRUE(disk::SameDisk(Stick(""), Stick("")));
  EXPECT_TRUE(disk::SameDisk(Stick("AA01"), Stick(""))) << "one side without a serial: the rest decides";
  auto differs = [](auto change) {
    disk::DiskIdentity other = Stick("");
    change(other);
    return !disk::SameDisk(Stick(""), other);
  };
  EXPECT_TRUE(differs([](disk::DiskIdentity& d) { d.sizeBytes += 512; }));
  EXPECT_TRUE(differs([](disk::DiskIdentity& d) { d.vendor = "Backup"; }));
  EXPECT_TRUE(differs([](disk::DiskIdentity& d) { d.product = "Portable SSD"; }));
  EXPECT_TRUE(differs([](disk::DiskIdentity& d) { d.revision = "1.00"; }));
  EXPECT_TRUE(differs([](disk::DiskIdentity& d) { d.busType = 11; }));
  EXPECT_TRUE(differs([](disk::DiskIdentity& d) { d.number = 2; }));
  EXPECT_TRUE(differs([](disk::DiskIdentity& d) { d.present = false; })) << "a disk that is gone";
}

TEST(DiskIdentity, IsDescribedInPlainWords) {
  EXPECT_EQ("disk 1 (USB, Generic Flash Disk 8.07, serial AA01, 16.00 GB)", disk::DescribeDiskIdentity(Stick("AA01")));
  disk::DiskIdentity gone;
  gone.number = 3;
  EXPECT_EQ("disk 3 (not there)", disk::DescribeDiskIdentity(gone));
}

TEST(DiskIdentity, DecodingNeverReadsPastTheAnswer) {
  std::vector<uint8_t> answer = os::sim::StorageDescriptor(0, true, 7, "Generic", "Flash Disk", "8.07", "AA01");
  disk::DiskIdentity id = disk::DecodeDiskIdentity(4, answer, 100);
  EXPECT_EQ("AA01", id.serial);
  EXPECT_EQ("Flash Disk", id.product);
  // A serial offset past the end of a short answer gives no serial.
  answer.resize(40);
  answer[24] = 0xF0;
  answer[25] = 0x7F;
  EXPECT_EQ("", disk::DecodeDiskIdentity(4, answer, 100).serial);
}

TEST(DiskIdentityQuery, AnswersByDiskNumberFromTheMachine) {
  test::SimMachine m([](os::sim::Machine& mm) {
    os::sim::Disk& d = test::AddUsbStick(mm, 3, "E", 8ull << 30);
    d.revision = "1.00";
    d.serial = "0123ABC";
    test::AddInternalDisk(mm, 0, "-");
  });
  disk::DiskIdentity id = disk::ReadDiskIdentity(3);
  ASSERT_TRUE(id.present);
  EXPECT_EQ(3, id.number);
  EXPECT_EQ(7, id.busType);
  EXPECT_EQ("Generic", id.vendor);
  EXPECT_EQ("Flash Disk", id.product);
  EXPECT_EQ("1.00", id.revision);
  EXPECT_EQ("0123ABC", id.serial);
  EXPECT_EQ(8ull << 30, id.sizeBytes) << "the true length, not whole cylinders";
  EXPECT_EQ(11, disk::ReadDiskIdentity(0).busType);
  EXPECT_FALSE(disk::ReadDiskIdentity(5).present);
  EXPECT_FALSE(disk::ReadDiskIdentity(-1).present);
}

class Guard : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = app::LangStrings;
    for (int i = 0; i < app::kLangStringCount; ++i) app::LangStrings[i] = "[" + std::to_string(i) + "]";
    app::sTmpPath = "C:\\Windows\\Temp\\QWERTYUI";
    app::sCfgPath.clear();
    app::sIsoFile.clear();
    app::sFbaFile.clear();
    app::s7zFile.clear();
  }
  void TearDown() override {
    app::LangStrings = saved_;
    app::sCfgPath.clear();
    app::sIsoFile.clear();
    disk::ForgetTarget();
  }
  std::array<std::string, app::kLangStringCount> saved_;
};

// A stick and, not yet plugged in, a spare of the same model and size with
// another serial.
void StickAndSpare(os::sim::Machine& m) {
  test::AddUsbStick(m, 1, "E", 16ull << 30).serial = "STICK";
  os::sim::Disk& spare = test::AddUsbStick(m, 9, "-", 16ull << 30);
  spare.serial = "SPARE";
}

TEST_F(Guard, ADiskSwappedForItsTwinStaysRefusedEvenWhenTheFirstComesBack) {
  test::SimMachine m(StickAndSpare);
  ui::WindowModel w;
  disk::RefreshTargetList(w, false);
  ASSERT_TRUE(disk::GetDiskInfoTest(w));
  EXPECT_TRUE(disk::TargetStillChosen("after the confirmation"));
  EXPECT_FALSE(disk::TargetLost());

  os::sim::Machine before = m.Get();
  std::string why;
  ASSERT_TRUE(os::sim::SwapDisksNow(1, 9, &why)) << why;
  EXPECT_EQ('E', m.Get().FindDisk(1)->partitions[0].letter) << "the spare took the number and the letter";
  EXPECT_FALSE(disk::TargetStillChosen("before the partition pass"));
  EXPECT_TRUE(disk::TargetLost());
  EXPECT_NE(std::string::npos, disk::DescribeLastCheck().find("serial SPARE")) << disk::DescribeLastCheck();
  EXPECT_FALSE(disk::LetterOnTarget("E:", "before writing through E:"));

  m.Update([&](os::sim::Machine& mm) { mm.disks = before.disks; });  // the stick is back
  EXPECT_FALSE(disk::TargetStillChosen("before the next step")) << "nothing more is written once it changed";

  disk::RefreshTargetList(w, false);
  ASSERT_TRUE(disk::GetDiskInfoTest(w)) << "a new choice is checked afresh";
  EXPECT_TRUE(disk::TargetStillChosen("after the confirmation"));
}

TEST_F(Guard, AGoneDiskAndNoChoiceAtAllFailTheCheck) {
  test::SimMachine m(StickAndSpare);
  ui::WindowModel w;
  EXPECT_FALSE(disk::TargetStillChosen("before the layout check")) << "nothing was chosen";
  disk::RefreshTargetList(w, false);
  ASSERT_TRUE(disk::GetDiskInfoTest(w));
  m.Update([](os::sim::Machine& mm) { std::erase_if(mm.disks, [](const os::sim::Disk& d) { return d.number == 1; }); });
  EXPECT_FALSE(disk::TargetStillChosen("before the layout check"));
  EXPECT_NE(std::string::npos, disk::DescribeLastCheck().find("disk 1 (not there)")) << disk::DescribeLastCheck();
  EXPECT_EQ("HD1: Generic Flash Disk (15.99 GB, E:)\r\r[72]", disk::TargetLostMessage());
}

TEST_F(Guard, ALetterOfAnotherDiskIsNotWrittenThrough) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E");
    test::AddUsbStick(mm, 2, "F");
  });
  ui::WindowModel w;
  disk::RefreshTargetList(w, false);
  ASSERT_TRUE(disk::GetDiskInfoTest(w));
  EXPECT_TRUE(disk::LetterOnTarget("E:", "here"));
  EXPECT_FALSE(disk::LetterOnTarget("F:", "here"));
  EXPECT_FALSE(disk::LetterOnTarget("E", "here"));
  EXPECT_FALSE(disk::TargetLost()) << "a wrong letter is no changed disk";
}

// Windows itself on a USB SSD: C: is a volume of a fixed disk on the USB bus.
void WindowsOnUsb(os::sim::Machine& m) {
  std::erase_if(m.drives, [](const os::sim::Drive& d) { return d.letter == 'C'; });
  test::AddUsbHardDisk(m, 2, "C", 500ull << 30);
  test::AddUsbStick(m, 1, "E");
}

TEST_F(Guard, TheWindowsDiskOnUsbIsNeitherListedNorAccepted) {
  test::SimMachine m(WindowsOnUsb);
  ui::WindowModel w;
  disk::RefreshTargetList(w, true);
  ASSERT_EQ(1, w.ListCount(kList));
  EXPECT_EQ(0, w.ListItem(kList, 0).rfind("HD1:", 0)) << w.ListItem(kList, 0);

  // A list built before: the system disk's entry is still there.
  std::optional<std::string> old = disk::TargetEntryOf("C:");
  ASSERT_TRUE(old);
  w.ListAdd(kList, *old);
  w.SetListIndex(kList, 1);
  EXPECT_FALSE(disk::GetDiskInfoTest(w));
  ASSERT_EQ(1u, w.Messages().size());
  EXPECT_EQ("C:[73]\rC:\\Windows", w.Messages()[0].text);
  EXPECT_FALSE(disk::TargetStillChosen("after the confirmation")) << "nothing was recorded";
}

TEST_F(Guard, TheDisksOfTheProgramItsConfigurationAndItsPackageAreRefused) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E");
    test::AddUsbStick(mm, 2, "F");
    test::AddUsbStick(mm, 3, "G");
    mm.program = "E:\\Tarnvale\\Tarnvale.exe";
  });
  m.MakeFolder("E:\\Tarnvale");
  app::sCfgPath = "F:\\PE\\Tarnvale.cfg";
  app::sIsoFile = "g:\\PE\\TarnvalePE.iso";
  ui::WindowModel w;
  disk::RefreshTargetList(w, false);
  EXPECT_EQ(0, w.ListCount(kList)) << w.ListText(kList);

  for (const char* letter : {"E:", "F:", "G:"}) {
    ui::WindowModel old;
    old.ListAdd(kList, *disk::TargetEntryOf(letter));
    old.SetListIndex(kList, 0);
    EXPECT_FALSE(disk::GetDiskInfoTest(old)) << letter;
    ASSERT_EQ(1u, old.Messages().size());
    EXPECT_EQ(0u, old.Messages()[0].text.find(std::string(letter) + "[73]\r")) << old.Messages()[0].text;
  }
  EXPECT_EQ(std::set<int>({1, 2, 3}), disk::NeverTargetDisks());
  EXPECT_TRUE(m.Started().empty()) << "nothing was run";
}

}  // namespace
