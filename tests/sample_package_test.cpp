// The sample PE package that the build makes: its layout and configuration,
// its reproducibility, and the real 7-Zip unpacking it on a simulated machine
// made with the main job's command.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/globals.h"
#include "os/files.h"
#include "os/sim/paths.h"
#include "os/sim/programs.h"
#include "os/sim/sim.h"
#include "sys/archiver_commands.h"
#include "sys/file_io.h"
#include "sys/shell_wait.h"
#include "tools/tvtool/sample_machine.h"

namespace fs = std::filesystem;

namespace {

const std::string kSample = TV_SAMPLE_DIR;

std::string HostRead(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A new host folder for one test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::string base = (fs::temp_directory_path() / "tv-sample-XXXXXX").string();
    path_ = mkdtemp(base.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(SamplePackage, IsLaidOutAsAProgramFolderWithEveryConfigurationKey) {
  fs::path program = kSample + "/program";
  for (const char* file : {"Tarnvale.exe", "Data/Bin/x86.dll", "Data/Bin/aes.dll", "Data/Plugins/pacmd.aes",
                           "Data/Plugins/qemu.aes", "Data/Lang/1033.lng", "Data/Lang/1031.lng", "Data/Lang/2052.lng",
                           "Data/Lang/1028.lng", "PE/Tarnvale.cfg", "PE/TarnvalePE.iso", "PE/TarnvalePE.fba",
                           "PE/TarnvalePE.7z"})
    EXPECT_TRUE(fs::is_regular_file(program / file)) << file;
  EXPECT_TRUE(fs::is_regular_file(kSample + "/extra/TarnvalePE-grldr.iso"));
  EXPECT_EQ("7zz", os::sim::StandinName((program / "Data/Bin/x86.dll").string()));
  EXPECT_EQ("aes", os::sim::StandinName((program / "Data/Bin/aes.dll").string()));

  std::string cfg = HostRead(program / "PE/Tarnvale.cfg");
  size_t instSection = cfg.find("[InstPEToDisk]\r\n");
  ASSERT_NE(std::string::npos, instSection);
  EXPECT_EQ(0u, cfg.find("[Option]\r\n"));
  for (const char* key : {"Title=", "DefaultFormat=", "TwoPartEnable=", "TaskbarProgress=", "BreakPoint=",
                          "LimitUSBDisk=", "MobileHardDisk=", "UDSize=", "EFISize=", "Label=", "EFIHide="})
    EXPECT_LT(cfg.find(std::string("\n") + key), instSection) << key;
  for (const char* key : {"PEName=", "WIMFile=boot.wim", "SDIFile=boot.sdi", "TimeOut="})
    EXPECT_NE(std::string::npos, cfg.find(std::string("\n") + key, instSection)) << key;
}

TEST(SamplePackage, TheSameInputsGiveTheSameBytes) {
  TempFolder again;
  std::string command = std::string(TV_SOURCE_DIR) + "/tools/sample/make-sample.sh '" + again.path() + "/sample' '" +
                        TV_TOOLS_DIR + "/tvscramble' '" + TV_SAMPLE_LANG_DIR + "'" +
                        (fs::exists(TV_EFI_PROGRAM) ? std::string(" '") + TV_EFI_PROGRAM + "'" : "") + " 2>&1";
  ASSERT_EQ(0, system(command.c_str()));
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kSample)) {
    if (!entry.is_regular_file()) continue;
    fs::path rel = fs::relative(entry.path(), kSample);
    fs::path other = fs::path(again.path()) / "sample" / rel;
    ASSERT_TRUE(fs::exists(other)) << rel;
    // Encrypted archives get a fresh salt each time; everything else is fixed.
    if (rel.extension() == ".aes") continue;
    EXPECT_TRUE(HostRead(entry.path()) == HostRead(other)) << rel;
    ++compared;
  }
  EXPECT_GE(compared, 10);
}

TEST(SamplePackage, TheRealArchiverUnpacksItOnTheSampleMachine) {
  TempFolder folder;
  std::string machine = folder.path() + "/machine";
  std::string error;
  ASSERT_TRUE(tvtool::MakeSampleMachine(machine, kSample + "/program", &error)) << error;
  os::sim::UseMachine(machine);
  app::sTmpPath = "C:\\Windows\\Temp\\SAMPLETS";
  ASSERT_TRUE(os::CreateFolder(app::sTmpPath));
  auto host = [](const std::string& windows) { return os::sim::ToHost(*os::sim::Current(), windows).value_or(""); };

  // The plug-ins: descrambled by the program's own copy, unpacked by 7-Zip.
  for (const char* plugin : {"pacmd.aes", "qemu.aes"}) {
    sys::FileIO io;
    io.SourceFile("C:\\Tarnvale\\Data\\Plugins\\" + std::string(plugin));
    io.TargetFile(app::sTmpPath + "\\" + plugin);
    io.pswBox(sys::kPluginPassword);
    ASSERT_EQ(0, io.FixFile()) << plugin;
    ASSERT_TRUE(sys::ShellWait(sys::UnpackPluginCommand(plugin)));
  }
  EXPECT_EQ("partassist", os::sim::StandinName(host(app::sTmpPath + "\\PACMD\\PartAssist.exe")));
  EXPECT_EQ("ginst", os::sim::StandinName(host(app::sTmpPath + "\\PACMD\\ginst.exe")));
  EXPECT_EQ("bootsect", os::sim::StandinName(host(app::sTmpPath + "\\PACMD\\bootsect.exe")));
  EXPECT_EQ("qemu", os::sim::StandinName(host(app::sTmpPath + "\\Qemu\\qemu.exe")));
  for (const char* file : {"\\Qemu\\efi64.bin", "\\Qemu\\bios.bin", "\\Qemu\\hd.vmdk"})
    EXPECT_TRUE(os::PathExists(app::sTmpPath + file)) << file;

  // The PE image into the staging folder, the data package onto the stick.
  ASSERT_TRUE(sys::ShellWait(sys::UnpackImageCommand("C:\\Tarnvale\\PE\\TarnvalePE.iso")));
  for (const char* file : {"\\EFI\\bootmgr", "\\EFI\\EFI\\BOOT\\BOOTX64.EFI", "\\EFI\\sources\\boot.wim",
                           "\\EFI\\sources\\boot.sdi"})
    EXPECT_TRUE(os::PathExists(app::sTmpPath + file)) << file;
  ASSERT_TRUE(sys::ShellWait(sys::UnpackDataCommand("C:\\Tarnvale\\PE\\TarnvalePE.7z", "E:")));
  EXPECT_TRUE(os::PathExists("E:\\Tarnvale.txt"));
  EXPECT_TRUE(os::PathExists("E:\\Tools\\readme.txt"));
}

TEST(SamplePackage, TheMachineCommandLeavesAFolderInUseAlone) {
  TempFolder folder;
  std::ofstream(folder.path() + "/notes.txt") << "mine";
  std::string error;
  EXPECT_FALSE(tvtool::MakeSampleMachine(folder.path(), kSample + "/program", &error));
  EXPECT_NE(std::string::npos, error.find("not empty")) << error;
  EXPECT_EQ("mine", HostRead(folder.path() + "/notes.txt"));
  EXPECT_FALSE(fs::exists(folder.path() + "/machine.txt"));
  EXPECT_FALSE(tvtool::MakeSampleMachine(folder.path() + "/new", folder.path() + "/nowhere", &error));
  EXPECT_FALSE(fs::exists(folder.path() + "/new"));
}

}  // namespace
