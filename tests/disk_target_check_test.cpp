// The target check: its three refusals, the values it hands on, a list
// that has gone out of date, and the safety sweep over every kind of
// machine: only disks on the USB bus pass, with the disk number and data
// letter of the chosen entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "app/globals.h"
#include "app/language.h"
#include "disk/target_check.h"
#include "disk/target_entry.h"
#include "disk/target_list.h"
#include "os/main_window.h"
#include "os/sim/sim.h"
#include "os/sim/volumes.h"
#include "tests/support/disk_machines.h"
#include "tests/support/sim_machine.h"
#include "ui/window_model.h"

namespace {

constexpr os::Control kList = os::Control::kRDriver;
const char kTmp[] = "C:\\Windows\\Temp\\QWERTYUI";

class TargetCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = app::LangStrings;
    for (int i = 0; i < app::kLangStringCount; ++i) app::LangStrings[i] = "[" + std::to_string(i) + "]";
    app::sTmpPath = kTmp;
    app::iDiskNum = 99;
    app::sDataLetter = "old";
    app::sEfiLetter = "old";
  }
  void TearDown() override { app::LangStrings = saved_; }

  // Refreshes the list, selects entry `index` and runs the check.
  bool Check(ui::WindowModel& w, bool includeUsbHdd, int index = 0) {
    disk::RefreshTargetList(w, includeUsbHdd);
    if (index < w.ListCount(kList)) w.SetListIndex(kList, index);
    return disk::GetDiskInfoTest(w);
  }

  std::array<std::string, app::kLangStringCount> saved_;
};

TEST_F(TargetCheck, AcceptsAUsbStickAndHandsOnItsNumberAndLetter) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddUsbStick(mm, 11, "E", 4ull << 30); });
  ui::WindowModel w;
  EXPECT_TRUE(Check(w, false));
  EXPECT_TRUE(w.Messages().empty());
  EXPECT_EQ(11, app::iDiskNum);
  EXPECT_EQ("E:", app::sDataLetter);
  EXPECT_EQ("", app::sEfiLetter);
  EXPECT_TRUE(m.Exists(kTmp));
}

TEST_F(TargetCheck, SingleDiskLimitRefusesWhileTwoDisksAreListed) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E", 4ull << 30);
    test::AddUsbStick(mm, 2, "F", 4ull << 30);
  });
  ui::WindowModel w;
  w.SetMenuChecked(disk::kLimitUsbDiskMenuId, true);
  EXPECT_FALSE(Check(w, false));
  ASSERT_EQ(1u, w.Messages().size());
  EXPECT_EQ("[32]\n\n[33]\n[34]", w.Messages()[0].text);
  EXPECT_EQ("[35]", w.Messages()[0].title);
  EXPECT_EQ(os::kMbIconExclamation, w.Messages()[0].style);
  EXPECT_EQ(99, app::iDiskNum);  // nothing was taken from the choice

  // With one disk listed the check goes on; without the limit two are fine.
  m.Update([](os::sim::Machine& mm) { mm.disks.pop_back(); });
  EXPECT_TRUE(Check(w, false));
  w.SetMenuChecked(disk::kLimitUsbDiskMenuId, false);
  m.Update([](os::sim::Machine& mm) { test::AddUsbStick(mm, 2, "F", 4ull << 30); });
  EXPECT_TRUE(Check(w, false, 1));
  EXPECT_EQ(2, app::iDiskNum);
  EXPECT_EQ(1u, w.Messages().size());
}

TEST_F(TargetCheck, NoChoiceIsReported) {
  test::SimMachine m;
  ui::WindowModel w;
  EXPECT_FALSE(Check(w, false));
  ASSERT_EQ(1u, w.Messages().size());
  EXPECT_EQ("[36]", w.Messages()[0].text);
  EXPECT_EQ("[8]", w.Messages()[0].title);
  EXPECT_EQ(os::kMbIconInformation, w.Messages()[0].style);
  EXPECT_TRUE(m.Exists(kTmp));  // made before the choice is looked at

  // An entry that the list could never have made is no choice either.
  w.ListAdd(kList, "garbage");
  w.SetListIndex(kList, 0);
  EXPECT_FALSE(disk::GetDiskInfoTest(w));
  EXPECT_EQ("[36]", w.Messages().back().text);
}

TEST_F(TargetCheck, AnSdCardInABuiltInReaderIsRefused) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddSdCard(mm, 2, "E", 8ull << 30); });
  ui::WindowModel w;
  EXPECT_FALSE(Check(w, false));
  ASSERT_EQ(1u, w.Messages().size());
  EXPECT_EQ("E:[37]", w.Messages()[0].text);
  EXPECT_EQ("[39]", w.Messages()[0].title);
  EXPECT_EQ(os::kMbIconStop, w.Messages()[0].style);
}

TEST_F(TargetCheck, LowestLetterOnALaterPartitionHandsOnTheNextLetter) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddUsbStick(mm, 2, "GF", 8ull << 30); });
  ui::WindowModel w;
  disk::RefreshTargetList(w, false);
  EXPECT_EQ((std::vector<std::string>{"F:", "G:"}), disk::EntryLetters(w.ListText(kList)));
  EXPECT_TRUE(disk::GetDiskInfoTest(w));
  EXPECT_EQ("G:", app::sDataLetter);
  EXPECT_EQ(2, app::iDiskNum);
}

TEST_F(TargetCheck, LowestLetterOnTheFirstPartitionIsTheDataLetter) {
  // E: is partition 1, F: partition 2: the work goes to E:, never to the
  // second partition.
  test::SimMachine m([](os::sim::Machine& mm) { test::AddUsbStick(mm, 3, "EF", 8ull << 30); });
  ui::WindowModel w;
  EXPECT_TRUE(Check(w, false));
  EXPECT_EQ("E:", app::sDataLetter);
  EXPECT_EQ(3, app::iDiskNum);
}

TEST_F(TargetCheck, AnOutOfDateListCannotSendTheWorkToAnotherDisk) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddInternalDisk(mm, 0, "D");
    test::AddUsbStick(mm, 1, "E", 4ull << 30);
  });
  ui::WindowModel w;
  disk::RefreshTargetList(w, false);
  ASSERT_EQ("HD1: Generic Flash Disk (4.00 GB, E:)", w.ListText(kList));

  // The stick is gone: its letter no longer exists.
  m.Update([](os::sim::Machine& mm) { mm.disks.pop_back(); });
  EXPECT_FALSE(disk::GetDiskInfoTest(w));
  EXPECT_EQ("E:[38]", w.Messages().back().text);

  // Another stick took the letter: USB, but not the disk of the entry.
  m.Update([](os::sim::Machine& mm) { test::AddUsbStick(mm, 3, "E", 4ull << 30); });
  EXPECT_FALSE(disk::GetDiskInfoTest(w));
  EXPECT_EQ("E:[38]", w.Messages().back().text);
  EXPECT_EQ(os::kMbIconStop, w.Messages().back().style);

  // A different USB disk with the entry's number and letter: the user
  // confirmed the work on the entry's model and size, not on this disk.
  m.Update([](os::sim::Machine& mm) {
    mm.disks.pop_back();
    test::AddUsbHardDisk(mm, 1, "E");
  });
  EXPECT_FALSE(disk::GetDiskInfoTest(w));
  EXPECT_EQ("E:[38]", w.Messages().back().text);
  m.Update([](os::sim::Machine& mm) {
    mm.disks.pop_back();
    test::AddUsbStick(mm, 1, "E", 4ull << 30);
  });
  EXPECT_TRUE(disk::GetDiskInfoTest(w));  // the same disk again

  // The internal disk now carries the letter and the entry's number.
  m.Update([](os::sim::Machine& mm) {
    mm.disks.pop_back();
    mm.disks[0].number = 1;
    mm.disks[0].partitions[0].letter = 'E';
  });
  EXPECT_FALSE(disk::GetDiskInfoTest(w));
  EXPECT_EQ("E:[37]", w.Messages().back().text);
  EXPECT_EQ(4u, w.Messages().size());
}

TEST_F(TargetCheck, TheSecondLetterMustStillBeOnTheDiskToo) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddInternalDisk(mm, 0, "D");
    test::AddUsbStick(mm, 1, "FE", 4ull << 30);  // E: is partition 2
  });
  ui::WindowModel w;
  disk::RefreshTargetList(w, false);
  // F: moves to the internal disk after the list was made.
  m.Update([](os::sim::Machine& mm) {
    mm.disks[1].partitions[0].letter = 0;
    mm.disks[0].partitions[0].letter = 'F';
  });
  EXPECT_FALSE(disk::GetDiskInfoTest(w));
  EXPECT_EQ("F:[38]", w.Messages().back().text);
}

// --- The safety sweep ----------------------------------------------------------

std::vector<uint8_t> Descriptor(uint32_t bus) {
  std::vector<uint8_t> d(40, 0);
  d[10] = 1;
  for (int i = 0; i < 4; ++i) d[28 + i] = static_cast<uint8_t>(bus >> (8 * i));
  return d;
}
std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) out += {kDigits[b >> 4], kDigits[b & 15]};
  return out;
}

using MachineMaker = std::function<void(os::sim::Machine&)>;

std::vector<std::pair<std::string, MachineMaker>> SweepMachines() {
  using os::sim::Machine;
  return {
      {"stick, one volume", [](Machine& m) { test::AddUsbStick(m, 1, "E"); }},
      {"stick, two volumes", [](Machine& m) { test::AddUsbStick(m, 1, "EF"); }},
      {"usb hard disk", [](Machine& m) {
         test::AddInternalDisk(m, 0, "D");
         test::AddUsbHardDisk(m, 1, "EF");
       }},
      {"sd card beside a stick", [](Machine& m) {
         test::AddSdCard(m, 1, "E");
         test::AddUsbStick(m, 2, "F");
       }},
      {"cd, dvd, network", [](Machine& m) {
         test::AddCdDrive(m, 'D', false, 0, true);
         test::AddCdDrive(m, 'E', true, 1, false);
         test::AddNetworkDrive(m, 'Z');
         test::AddUsbStick(m, 1, "F");
       }},
      {"readers without a card", [](Machine& m) {
         test::AddEmptyCardReader(m, 1, 'E');
         test::AddEmptyCardReader(m, 2, 'F', test::kBusUsb, "zero");
         test::AddEmptyCardReader(m, 3, 'G', test::kBusSd, "fail");
         test::AddUsbStick(m, 4, "H");
       }},
      {"disks 1, 2, 10, 11, 12", [](Machine& m) {
         test::AddUsbStick(m, 1, "EK");
         test::AddUsbStick(m, 10, "FL");
         test::AddUsbStick(m, 11, "G");
         test::AddUsbHardDisk(m, 12, "HM");
         test::AddSdCard(m, 2, "I");
       }},
      {"everything at once", [](Machine& m) {
         test::AddInternalDisk(m, 0, "D");
         test::AddUsbStick(m, 1, "E");
         test::AddUsbStick(m, 2, "GF");  // lowest letter on partition 2
         test::AddUsbHardDisk(m, 3, "HI");
         test::AddSdCard(m, 4, "J");
         test::AddEmptyCardReader(m, 5, 'K');
         test::AddCdDrive(m, 'L', false, 0, true);
         test::AddCdDrive(m, 'M', true, 1, true);
         test::AddNetworkDrive(m, 'N');
         test::AddUsbStick(m, 10, "O");
         test::AddSdCard(m, 11, "PQ");
         test::AddUsbStick(m, 12, "R").numberFault = "fail";
         test::AddDisk(m, 13, test::kBusSata, true, 8ull << 30, "S").descriptorHex = Hex(Descriptor(0x00010007));
         test::AddDisk(m, 14, test::kBusSata, true, 8ull << 30, "T").descriptorHex = Hex(Descriptor(0xFFFF));
         test::AddInternalDisk(m, 15, "-U");
       }},
  };
}

// Ground truth from the machine's description, not from the queries.
bool OnUsb(const os::sim::Disk& d) { return d.descriptorHex.empty() && d.bus == test::kBusUsb; }

std::vector<std::string> QualifyingLetters(const os::sim::Disk& d, bool includeUsbHdd) {
  std::vector<std::string> letters;
  bool qualifies = includeUsbHdd ? OnUsb(d) : d.removable;
  if (!qualifies || !d.media) return letters;
  for (const auto& p : d.partitions)
    if (p.letter && !p.hidden) letters.push_back(std::string{p.letter, ':'});
  std::sort(letters.begin(), letters.end());
  return letters;
}

TEST_F(TargetCheck, SafetySweepOnlyUsbDisksPassWithTheirOwnNumberAndLetter) {
  for (const auto& [name, make] : SweepMachines()) {
    test::SimMachine m(make);
    os::sim::Machine truth = m.Get();
    for (bool includeUsbHdd : {false, true}) {
      SCOPED_TRACE(name + (includeUsbHdd ? ", USB hard disk mode" : ", removable mode"));
      app::bMobileHardDisk = includeUsbHdd;
      ui::WindowModel w;
      disk::RefreshTargetList(w, app::bMobileHardDisk);

      // Every disk that should be offered is offered exactly once.
      int expectedEntries = 0;
      for (const auto& d : truth.disks) {
        bool offered = !QualifyingLetters(d, includeUsbHdd).empty() && d.numberFault.empty();
        expectedEntries += offered;
      }
      EXPECT_EQ(expectedEntries, w.ListCount(kList));

      for (int i = 0; i < w.ListCount(kList); ++i) {
        std::string entry = w.ListItem(kList, i);
        SCOPED_TRACE(entry);
        std::optional<int> number = disk::EntryDiskNumber(entry);
        ASSERT_TRUE(number.has_value());
        const os::sim::Disk* d = truth.FindDisk(*number);
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(QualifyingLetters(*d, includeUsbHdd), disk::EntryLetters(entry));

        w.SetListIndex(kList, i);
        size_t before = w.Messages().size();
        app::iDiskNum = -7;
        app::sDataLetter = "Z:";
        bool accepted = disk::GetDiskInfoTest(w);
        EXPECT_EQ(OnUsb(*d), accepted);
        if (accepted) {
          EXPECT_EQ(before, w.Messages().size());
          EXPECT_EQ(*number, app::iDiskNum);
          os::sim::Volume v = os::sim::FindVolume(truth, app::sDataLetter[0]);
          ASSERT_NE(nullptr, v.disk);
          EXPECT_EQ(*number, v.disk->number);
          EXPECT_TRUE(OnUsb(*v.disk));
          auto letters = disk::EntryLetters(entry);
          EXPECT_NE(letters.end(), std::find(letters.begin(), letters.end(), app::sDataLetter));
          EXPECT_EQ("", app::sEfiLetter);
        } else {
          EXPECT_EQ(before + 1, w.Messages().size());
        }
      }
    }
  }
  app::bMobileHardDisk = false;
}

}  // namespace
