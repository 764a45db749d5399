// The made disk as a real disk: exported to a raw image with real file
// systems (read back with sfdisk, mtools, ntfs-3g's and exfatprogs' tools),
// and booted in the real emulator with UEFI firmware by the emulator
// stand-in. Tests that need a host tool that is not installed are skipped.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "os/sim/machine.h"
#include "sys/text.h"
#include "tests/support/real_boot.h"
#include "tests/support/tool_machines.h"
#include "tools/tvtool/fs_writers.h"
#include "tools/tvtool/host_run.h"
#include "tools/tvtool/qemu_runner.h"

namespace {

namespace fs = std::filesystem;
using test::RunToEnd;
using test::ScopedEnv;

constexpr uint64_t kMB = 1ull << 20;
constexpr uint64_t kSectorsPerMB = 2048;

enum class Layout { kDataUefi, kUdDataUefi, kUefiData };

// A disk as the make leaves it: the data partition with `dataFs` (and its
// files), the FAT32 EFI partition labelled EFI, hidden, with type 1C.
void AddMadeDisk(os::sim::Machine& m, Layout layout, const std::string& dataFs, uint64_t diskBytes = 2048 * kMB) {
  os::sim::Disk& d = test::AddStick(m, 1, 'E', diskBytes);
  d.mbrCode = layout == Layout::kUdDataUefi ? "ud" : "nt60";
  os::sim::Partition data = d.partitions[0];
  data.fileSystem = dataFs;
  data.type = dataFs == "FAT32" ? 0x0C : 0x07;
  data.label = "Tarnvale";
  os::sim::Partition efi;
  efi.fileSystem = "FAT32";
  efi.label = "EFI";
  efi.type = 0x1C;
  efi.hidden = true;
  efi.folder = "disks/1/part2";
  efi.sectors = 1032 * kSectorsPerMB;
  uint64_t end = d.Sectors();
  if (layout == Layout::kUefiData) {
    efi.start = 2048;
    efi.active = true;
    data.start = efi.start + efi.sectors;
    data.sectors = end - data.start;
  } else {
    if (layout == Layout::kUdDataUefi) {
      d.ud.sizeMB = 300;
      d.ud.folder = "disks/1/ud";
      data.start = 300 * kSectorsPerMB;
    }
    efi.active = layout == Layout::kDataUefi;
    efi.start = end / kSectorsPerMB * kSectorsPerMB - efi.sectors;
    data.sectors = efi.start - data.start;
  }
  d.partitions = {data, efi};
}

std::string EfiProgram() {
  std::ifstream in(TV_EFI_PROGRAM, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The files the make puts on the partitions (index 0 data, 1 EFI, in table order).
void FillMadeDisk(const test::SimMachine& m) {
  const os::sim::Machine machine = m.Get();  // a copy: the disk is read from it below
  const os::sim::Disk& d = *machine.FindDisk(1);
  std::string data = m.Folder() + "/" + d.partitions[0].folder, efi = m.Folder() + "/" + d.partitions[1].folder;
  test::WriteFiles(data, {{"Tarnvale.txt", "Files of the sample data package."},
                          {"Tools/readme.txt", "Portable tools."},
                          {"Tools/维护/说明.txt", "名字"}});
  test::WriteFiles(efi, {{"bootmgr", "boot manager"}, {"sources/boot.wim", "image"}, {"EFI/BOOT/BOOTX64.EFI", EfiProgram()}});
  if (d.ud.sizeMB) test::WriteFiles(m.Folder() + "/" + d.ud.folder, {{"grldr", "loader"}, {"menu.lst", "title PE"}});
}

std::string Output(const std::vector<std::string>& argv, int* rc = nullptr) {
  std::string out;
  int code = tvtool::RunHostQuiet(argv, &out);
  if (rc) *rc = code;
  return out;
}

std::string NeededTools(std::initializer_list<const char*> tools) {
  std::string missing;
  for (const char* t : tools)
    if (tvtool::FindHostProgram(t).empty()) missing += std::string(missing.empty() ? "" : ", ") + t;
  return missing;
}

// Copies bytes [offset, offset + bytes) of a sparse image to a new sparse file.
void ExtractVolume(const std::string& image, uint64_t offset, uint64_t bytes, const std::string& out) {
  int in = open(image.c_str(), O_RDONLY);
  int to = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_TRUE(in >= 0 && to >= 0);
  ASSERT_EQ(0, ftruncate(to, static_cast<off_t>(bytes)));
  std::vector<char> buffer(1 << 20);
  for (off_t at = static_cast<off_t>(offset), end = static_cast<off_t>(offset + bytes); at < end;) {
    off_t data = lseek(in, at, SEEK_DATA);
    if (data < 0 || data >= end) break;
    off_t hole = std::min(lseek(in, data, SEEK_HOLE), end);
    for (off_t pos = data; pos < hole;) {
      size_t n = static_cast<size_t>(std::min<off_t>(static_cast<off_t>(buffer.size()), hole - pos));
      ASSERT_EQ(static_cast<ssize_t>(n), pread(in, buffer.data(), n, pos));
      ASSERT_EQ(static_cast<ssize_t>(n), pwrite(to, buffer.data(), n, pos - static_cast<off_t>(offset)));
      pos += static_cast<off_t>(n);
    }
    at = hole;
  }
  close(in);
  close(to);
}

class DiskExport : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string missing = NeededTools({"sfdisk", "mdir", "mkfs.fat", "mcopy", "ntfsls", "mkntfs", "mkfs.exfat", "fsck.exfat"});
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing << " (scripts/setup.sh installs them)";
    if (!tvtool::MissingVolumeTools("NTFS").empty()) GTEST_SKIP() << "tvntfs was not built (ntfs-3g-dev)";
    scratch_ = fs::temp_directory_path() / ("tv-export-" + std::to_string(getpid()));
    fs::create_directories(scratch_);
  }
  void TearDown() override {
    std::error_code ec;
    if (!scratch_.empty()) fs::remove_all(scratch_, ec);
  }
  // tvtool export-disk of disk 1; its exit code.
  int Export(const test::SimMachine& m, std::string* said = nullptr) {
    int rc = -1;
    std::string out = Output({std::string(TV_TOOLS_DIR) + "/tvtool", "export-disk", m.Folder(), "1", Image()}, &rc);
    if (said) *said = out;
    return rc;
  }
  std::string Image() const { return (scratch_ / "disk1.img").string(); }
  // The partition lines of sfdisk -d: "start=..., size=..., type=..[, bootable]".
  std::vector<std::string> Table() const {
    std::vector<std::string> rows;
    for (const std::string& line : sys::Split(Output({"sfdisk", "-d", Image()}), "\n"))
      if (auto at = line.find("start="); at != std::string::npos) rows.push_back(sys::ReplaceAll(line.substr(at), " ", ""));
    return rows;
  }
  // The paths on a FAT volume at a sector of the image, as mdir lists them.
  std::string FatFiles(uint64_t sector) const {
    std::string at = Image() + "@@" + std::to_string(sector * 512);
    setenv("MTOOLS_SKIP_CHECK", "1", 1);
    return Output({"mdir", "-i", at, "-/", "-b", "::/"});
  }
  std::string Volume(const os::sim::Partition& p, const char* name) {
    std::string file = (scratch_ / name).string();
    ExtractVolume(Image(), p.start * 512, p.Bytes(), file);
    return file;
  }

  fs::path scratch_;
};

TEST_F(DiskExport, DataUefiWithFat32AndNtfsReadsBackWithTheTableAndTheFiles) {
  for (const char* dataFs : {"FAT32", "NTFS"}) {
    SCOPED_TRACE(dataFs);
    test::SimMachine m([&](os::sim::Machine& mm) { AddMadeDisk(mm, Layout::kDataUefi, dataFs); });
    FillMadeDisk(m);
    ASSERT_EQ(0, Export(m));
    EXPECT_EQ(2048 * kMB, fs::file_size(Image()));
    const os::sim::Disk d = *m.Get().FindDisk(1);
    std::string dataType = std::string(dataFs) == "NTFS" ? "type=7" : "type=c";
    EXPECT_EQ((std::vector<std::string>{
                  "start=2048,size=" + std::to_string(d.partitions[0].sectors) + "," + dataType,
                  "start=" + std::to_string(d.partitions[1].start) + ",size=2113536,type=1c,bootable"}),
              Table());
    std::string efi = FatFiles(d.partitions[1].start);
    EXPECT_TRUE(sys::Contains(efi, "::/EFI/BOOT/BOOTX64.EFI")) << efi;
    EXPECT_TRUE(sys::Contains(efi, "::/sources/boot.wim")) << efi;
    EXPECT_TRUE(sys::Contains(efi, "::/bootmgr")) << efi;
    setenv("MTOOLS_SKIP_CHECK", "1", 1);
    EXPECT_EQ(EfiProgram(), Output({"mtype", "-i", Image() + "@@" + std::to_string(d.partitions[1].start * 512),
                                    "::/EFI/BOOT/BOOTX64.EFI"}));
    if (std::string(dataFs) == "FAT32") {
      std::string files = FatFiles(2048);
      EXPECT_TRUE(sys::Contains(files, "::/Tools/维护/说明.txt")) << files;
      EXPECT_TRUE(sys::Contains(files, "::/Tarnvale.txt")) << files;
    } else {
      std::string volume = Volume(d.partitions[0], "data.ntfs");
      std::string files = Output({"ntfsls", "-R", "-p", "/", volume});
      EXPECT_TRUE(sys::Contains(files, "Tarnvale.txt")) << files;
      EXPECT_TRUE(sys::Contains(files, "说明.txt")) << files;
      EXPECT_EQ("名字", Output({"ntfscat", volume, "/Tools/维护/说明.txt"}));
      EXPECT_TRUE(sys::Contains(Output({"ntfsinfo", "-m", volume}), "Tarnvale"));
    }
  }
}

TEST_F(DiskExport, UdAreaAndExfatDataPartitionAreRealToo) {
  {
    test::SimMachine m([](os::sim::Machine& mm) { AddMadeDisk(mm, Layout::kUdDataUefi, "FAT32"); });
    FillMadeDisk(m);
    ASSERT_EQ(0, Export(m));
    std::vector<std::string> table = Table();
    ASSERT_EQ(2u, table.size());
    EXPECT_EQ(0u, table[0].find("start=614400,")) << table[0];
    EXPECT_FALSE(sys::Contains(table[1], "bootable")) << "the UD layout's EFI partition is not active";
    std::string ud = FatFiles(2048);
    EXPECT_TRUE(sys::Contains(ud, "::/grldr") && sys::Contains(ud, "::/menu.lst")) << ud;
  }
  {
    test::SimMachine m([](os::sim::Machine& mm) { AddMadeDisk(mm, Layout::kUefiData, "exFAT"); });
    FillMadeDisk(m);
    // Enough files that the root folder needs a second cluster.
    std::map<std::string, std::string> many;
    for (int i = 0; i < 300; ++i) many["a long file name number " + std::to_string(i) + ".txt"] = std::to_string(i);
    test::WriteFiles(m.Folder() + "/" + m.Get().FindDisk(1)->partitions[0].folder, many);
    ASSERT_EQ(0, Export(m));
    std::vector<std::string> table = Table();
    ASSERT_EQ(2u, table.size());
    EXPECT_EQ("start=2048,size=2113536,type=1c,bootable", table[1]) << "table order is the machine's";
    const os::sim::Disk d = *m.Get().FindDisk(1);
    std::string volume = Volume(d.partitions[0], "data.exfat");
    int rc = -1;
    std::string check = Output({"fsck.exfat", "-n", volume}, &rc);
    EXPECT_EQ(0, rc) << check;
    EXPECT_TRUE(sys::Contains(check, "directories 3, files 303")) << check;
    EXPECT_TRUE(sys::Contains(Output({"dump.exfat", volume}), "Tarnvale"));
  }
}

TEST_F(DiskExport, RefusesADescriptionNoDiskCanHave) {
  test::SimMachine m([](os::sim::Machine& mm) {
    AddMadeDisk(mm, Layout::kDataUefi, "NTFS");
    mm.disks[0].partitions[1].start -= kSectorsPerMB;  // into the data partition
  });
  std::string said;
  EXPECT_EQ(1, Export(m, &said));
  EXPECT_TRUE(sys::Contains(said, "partition 2 overlaps")) << said;
}

TEST_F(DiskExport, FilesThatDoNotFitAreReported) {
  for (const char* dataFs : {"exFAT", "NTFS", "FAT32"}) {
    SCOPED_TRACE(dataFs);
    test::SimMachine m([&](os::sim::Machine& mm) {
      AddMadeDisk(mm, Layout::kDataUefi, dataFs);
      mm.disks[0].partitions[0].sectors = 40 * kSectorsPerMB;  // a 40 MB data partition
    });
    FillMadeDisk(m);
    test::WriteFiles(m.Folder() + "/disks/1/part1", {{"big.bin", std::string(48 * kMB, 'x')}});
    std::string said;
    EXPECT_EQ(1, Export(m, &said));
    EXPECT_TRUE(sys::Contains(said, "partition 1: ")) << said;
  }
}

// The emulator in <tmp>\Qemu, and the UEFI command line of the boot test.
void InstallEmulator(const test::SimMachine& m) {
  std::string q = std::string(test::kTmp) + "\\Qemu\\";
  m.InstallProgram(q + "qemu.exe", "qemu");
  m.WriteFile(q + "efi64.bin", "TARNVALE-FIRMWARE uefi\r\n");
  m.WriteFile(q + "hd.vmdk", "disk");
}
std::string UefiCommand() {
  std::string t = test::kTmp;
  return "cmd.exe /c " + t + "\\Qemu\\qemu.exe -L " + t + "\\Qemu\\ -m 800 -localtime -bios efi64.bin -snapshot -hda " +
         "\\\\.\\PhysicalDrive1 -boot c -hdb " + t + "\\\\Qemu\\hd.vmdk";
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file of the machine's description and its disks, with its bytes.
std::map<std::string, std::string> DiskState(const test::SimMachine& m) {
  std::map<std::string, std::string> state;
  state["machine.txt"] = ReadText(m.Folder() + "/machine.txt");
  for (const auto& e : fs::recursive_directory_iterator(m.Folder() + "/disks"))
    state[e.path().string()] = e.is_directory() ? "<folder>" : ReadText(e.path().string());
  return state;
}

class RealUefiBoot : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string missing = test::RealBootMissing({"FAT32", "NTFS"});
    if (!missing.empty()) GTEST_SKIP() << missing;
  }
  ScopedEnv limit_{"TARNVALE_BOOT_SECONDS", "100"};
};

TEST_F(RealUefiBoot, TheMadeDiskStartsThePeAndIsNotWritten) {
  test::SimMachine m([](os::sim::Machine& mm) { AddMadeDisk(mm, Layout::kDataUefi, "NTFS", 4096 * kMB); });
  FillMadeDisk(m);
  InstallEmulator(m);
  auto before = DiskState(m);
  EXPECT_EQ(0u, RunToEnd(UefiCommand()));
  std::string console = ReadText(m.Folder() + "/qemu-serial.log");
  EXPECT_TRUE(sys::Contains(console, test::kSamplePeMarker)) << console;
  EXPECT_TRUE(before == DiskState(m)) << "the simulated disk changed";
  std::string record = ReadText(m.Folder() + "/qemu.log");
  EXPECT_TRUE(sys::Contains(record, "mode=uefi\tdisk=1\tresult=booted")) << record;
  EXPECT_TRUE(sys::Contains(record, "\treal=switched-off\n")) << record;
}

TEST_F(RealUefiBoot, ADiskThatCannotBeExportedIsNotStartedAndTheRecordSaysSo) {
  test::SimMachine m([](os::sim::Machine& mm) {
    AddMadeDisk(mm, Layout::kDataUefi, "FAT32");
    mm.disks[0].partitions[1].start -= kSectorsPerMB;  // into the data partition
  });
  FillMadeDisk(m);
  InstallEmulator(m);
  EXPECT_EQ(1u, RunToEnd(UefiCommand()));
  std::string record = ReadText(m.Folder() + "/qemu.log");
  EXPECT_TRUE(sys::Contains(record, "result=booted")) << "the description alone would start";
  EXPECT_TRUE(sys::Contains(record, "\treal=no-image\n")) << record;
  EXPECT_TRUE(sys::Contains(ReadText(m.Folder() + "/output.log"), "partition 2 overlaps"));
  EXPECT_FALSE(fs::exists(m.Folder() + "/qemu-serial.log"));
}

TEST(RealUefiBootFallback, WithoutTheEmulatorTheBootIsOnlyRecorded) {
  ScopedEnv none("TARNVALE_QEMU", "/nonexistent/qemu-system-x86_64");
  test::SimMachine m([](os::sim::Machine& mm) { AddMadeDisk(mm, Layout::kDataUefi, "FAT32"); });
  FillMadeDisk(m);
  InstallEmulator(m);
  EXPECT_EQ(0u, RunToEnd(UefiCommand()));
  std::string record = ReadText(m.Folder() + "/qemu.log");
  EXPECT_TRUE(sys::Contains(record, "mode=uefi\tdisk=1\tresult=booted")) << record;
  EXPECT_FALSE(sys::Contains(record, "real=")) << "no real boot ran";
  EXPECT_TRUE(sys::Contains(ReadText(m.Folder() + "/output.log"),
                            "/nonexistent/qemu-system-x86_64 (package qemu-system-x86) is not installed"))
      << ReadText(m.Folder() + "/output.log");
  EXPECT_FALSE(fs::exists(m.Folder() + "/qemu-serial.log"));
}

}  // namespace
