// The description file of a simulated machine: what a test writes is what
// the system reads, and writers never lose a field.
#include <gtest/gtest.h>

#include "os/sim/machine.h"

namespace {

using os::sim::Machine;

const char* kStick = R"(# a machine with one USB stick
windows 6.1 build=7601 wow64=no
locale 2052
codepage 936
windir "C:\Windows"
program "C:\Program Files\Tarnvale\Tarnvale.exe"
timescale 50
caption-font "Microsoft YaHei UI"
font SimSun
number-format decimal=, group=.
env PATH "C:\Tools;C:\Bin"
drive C fixed folder=drives/C fs=NTFS label="Local Disk"
drive D cdrom device=dvd number=0
drive Z network
disk 1 bus=usb removable=yes vendor=Generic product="Flash Disk" revision=8.07 size=16G
ud 1 size=300 folder=disks/1/ud
partition 1 start=2048 size=8G type=0c active=yes fs=FAT32 label=DATA letter=E folder=disks/1/p1
partition 1 size=1032M type=1c hidden=yes fs=FAT32 label=EFI folder=disks/1/p2
disk 2 bus=sd removable=yes product="SD Card" media=no letter=G geometry-fault=zero
process 4242 kugou.exe access=limited
fault partassist no-output
)";

TEST(MachineDescription, ReadsEveryStatement) {
  std::string error;
  auto m = os::sim::ParseMachine(kStick, &error);
  ASSERT_TRUE(m) << error;
  EXPECT_EQ(6u, m->windowsMajor);
  EXPECT_EQ(1u, m->windowsMinor);
  EXPECT_FALSE(m->wow64);
  EXPECT_EQ(2052u, m->locale);
  EXPECT_EQ(936u, m->codePage);
  EXPECT_EQ("C:\\Program Files\\Tarnvale\\Tarnvale.exe", m->program);
  EXPECT_EQ(50, m->timeScale);
  EXPECT_EQ(",", m->decimalSep);
  EXPECT_EQ("C:\\Tools;C:\\Bin", m->env.at("PATH"));
  ASSERT_EQ(3u, m->drives.size());
  EXPECT_EQ("Local Disk", m->drives[0].label);
  EXPECT_TRUE(m->drives[1].dvd);
  const os::sim::Disk* stick = m->FindDisk(1);
  ASSERT_NE(nullptr, stick);
  EXPECT_EQ(7, stick->bus);
  EXPECT_EQ("Flash Disk", stick->product);
  EXPECT_EQ(16ull << 30, stick->sizeBytes);
  EXPECT_EQ(2088, stick->cylinders);  // 16 GiB in whole cylinders of 255 x 63 x 512
  EXPECT_EQ(300u, stick->ud.sizeMB);
  ASSERT_EQ(2u, stick->partitions.size());
  EXPECT_EQ('E', stick->partitions[0].letter);
  EXPECT_EQ(2048u + (8ull << 30) / 512, stick->partitions[1].start);  // follows the first
  EXPECT_EQ(0x1C, stick->partitions[1].type);
  EXPECT_TRUE(stick->partitions[1].hidden);
  const os::sim::Disk* reader = m->FindDisk(2);
  EXPECT_FALSE(reader->media);
  EXPECT_EQ('G', reader->emptyLetter);
  EXPECT_EQ(12, reader->bus);
  EXPECT_FALSE(m->processes[0].fullAccess);
  EXPECT_EQ("no-output", m->faults.at("partassist"));
}

TEST(MachineDescription, WritingAndReadingBackKeepsEverything) {
  std::string error;
  auto m = os::sim::ParseMachine(kStick, &error);
  ASSERT_TRUE(m) << error;
  std::string text = os::sim::FormatMachine(*m);
  auto again = os::sim::ParseMachine(text, &error);
  ASSERT_TRUE(again) << error << "\n" << text;
  EXPECT_EQ(text, os::sim::FormatMachine(*again));
}

TEST(MachineDescription, EveryValueSurvivesTheRoundTrip) {
  // A fault program with a blank, values holding a CR (at the end of a
  // value and alone), quotes, '#' and '=', and numbers at the ends of their ranges.
  os::sim::Machine m;
  m.faults["disk part"] = "missing";
  m.captionFont = "Segoe\r";
  m.env["A B"] = "x \"y\" # z=1";
  m.env["CR"] = "\r";
  m.timeScale = 1.0 / 3;
  m.grouping = "3;2;0";
  m.elevated = false;
  m.filesBeingWritten = {"C:\\PE Build\\My PE.iso"};
  os::sim::Disk d;
  d.shortAnswerFails = true;
  d.number = 2147483647;
  d.sizeBytes = 16ull << 30;
  d.vendor = "\r";
  d.product = "Flash\rDisk";
  m.disks.push_back(d);
  std::string text = os::sim::FormatMachine(m);
  std::string error;
  auto again = os::sim::ParseMachine(text, &error);
  ASSERT_TRUE(again) << error << "\n" << text;
  EXPECT_EQ(text, os::sim::FormatMachine(*again));
  EXPECT_EQ("missing", again->faults.at("disk part"));
  EXPECT_EQ("Segoe\r", again->captionFont);
  EXPECT_EQ("\r", again->env.at("CR"));
  EXPECT_EQ(1.0 / 3, again->timeScale);
  EXPECT_EQ("3;2;0", again->grouping);
  ASSERT_EQ(1u, again->disks.size());
  EXPECT_EQ(2147483647, again->disks[0].number);
  EXPECT_EQ("\r", again->disks[0].vendor);
  EXPECT_EQ("Flash\rDisk", again->disks[0].product);
  EXPECT_FALSE(again->elevated);
  EXPECT_EQ(std::vector<std::string>{"C:\\PE Build\\My PE.iso"}, again->filesBeingWritten);
  EXPECT_TRUE(again->disks[0].shortAnswerFails);
}

TEST(MachineDescription, MistakesNameTheirLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"disk 1 bus=usb\n", "line 1: a disk with a medium needs size= or geometry="},
      {"locale 1033\ndisk 1 bus=floppy size=1G\n", "line 2: 'floppy' is not a bus type"},
      {"partition 3 size=1G\n", "line 1: partition names disk 3, which is not described above"},
      {"drive C fixed\ndrive c network\n", "line 2: drive letter C: is used twice"},
      {"disk 1 size=1G\npartition 1 size=2G\n", "line 2: the partition ends past the end of disk 1"},
      {"label x\n", "line 1: unknown statement 'label'"},
      {"disk 1 size=1G colour=red\n", "line 1: unknown option 'colour'"},
      {"drive C fixed label=\"open\n", "line 1: a quote is not closed"},
      // Numbers the clock or the description cannot hold.
      {"locale 1033\ntimescale inf\n", "line 2: timescale needs a number from 0.001 to 1000000"},
      {"timescale nan\n", "line 1: timescale needs a number from 0.001 to 1000000"},
      {"timescale 1e999\n", "line 1: timescale needs a number from 0.001 to 1000000"},
      {"timescale 0\n", "line 1: timescale needs a number from 0.001 to 1000000"},
      {"disk 2222222222 size=1G\n", "line 1: disk needs a number"},
      {"locale 4294967296\n", "line 1: locale needs a number"},
      {"codepage -1\n", "line 1: codepage needs a number"},
      {"disk 1 size=99999999999999999999\n",
       "line 1: '99999999999999999999' is not a size (a number, or one ending in K, M, G or T)"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(os::sim::ParseMachine(c.text, &error)) << c.text;
    EXPECT_EQ(std::string("machine.txt ") + c.message, error) << c.text;
  }
}

TEST(MachineDescription, Sizes) {
  EXPECT_EQ(16ull << 30, os::sim::ParseSize("16G", 1));
  EXPECT_EQ(300ull << 20, os::sim::ParseSize("300M", 512));
  EXPECT_EQ(2048ull * 512, os::sim::ParseSize("2048", 512));
  EXPECT_FALSE(os::sim::ParseSize("12Q", 1));
  EXPECT_FALSE(os::sim::ParseSize("", 1));
}

}  // namespace
