// The plug-in archives end to end: a password-protected 7z made on the host,
// scrambled by tvscramble, copied back by FileIO on the simulated machine and
// unpacked there by the real 7-Zip behind Data\Bin\x86.dll. Also the
// scrambler's own command line, and passwords in other code pages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/globals.h"
#include "os/sim/sim.h"
#include "sys/archiver_commands.h"
#include "sys/file_io.h"
#include "sys/shell_wait.h"
#include "sys/xor_key.h"
#include "tests/support/sim_machine.h"

namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& s) { return "'" + s + "'"; }

int HostRun(const std::string& command) {
  int status = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Scrambler() { return os::sim::ToolsFolder() + "/tvscramble"; }

void WriteHost(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadHost(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class PluginArchive : public ::testing::Test {
 protected:
  void SetUp() override {
    app::sTmpPath = "C:\\Windows\\Temp\\AbCdEfGh";
    m_.MakeFolder(app::sTmpPath);
    m_.MakeFolder("C:\\Tarnvale\\Data\\Plugins");
    m_.InstallProgram("C:\\Tarnvale\\Data\\Bin\\x86.dll", "7zz");
    host_ = m_.Folder() + "/host";
    fs::create_directories(host_);
  }
  void TearDown() override { app::sTmpPath.clear(); }

  // A 7z archive of the partition-tool folder, with the plug-in password.
  std::string MakePacmd() {
    WriteHost(host_ + "/stage/PACMD/PartAssist.exe", "TARNVALE-STANDIN partassist\r\n");
    WriteHost(host_ + "/stage/PACMD/ginst.exe", "TARNVALE-STANDIN ginst\r\n");
    WriteHost(host_ + "/stage/PACMD/bootsect.exe", "TARNVALE-STANDIN bootsect\r\n");
    std::string archive = host_ + "/pacmd.7z";
    EXPECT_EQ(0, HostRun("cd " + Quote(host_ + "/stage") + " && 7zz a -p52416035 -mhe=on " + Quote(archive) + " PACMD"))
        << "7-Zip (7zz) is needed: apt-get install 7zip";
    return archive;
  }

  int32_t CopyFixFile(const std::string& source, const std::string& target, std::string_view password) {
    sys::FileIO io;
    io.SourceFile(source);
    io.TargetFile(target);
    io.pswBox(password);
    io.FilePercentBox([](const std::string&) {});
    return io.FixFile();
  }

  test::SimMachine m_;
  std::string host_;
};

TEST_F(PluginArchive, ScrambledArchiveUnpacksAfterTheCopy) {
  std::string archive = MakePacmd();
  std::string plugin = m_.Host("C:\\Tarnvale\\Data\\Plugins\\pacmd.aes");
  ASSERT_EQ(0, HostRun(Quote(Scrambler()) + " " + Quote(archive) + " " + Quote(plugin) + " 52416035"));
  // Scrambled, it is no 7z archive any more.
  EXPECT_NE(0u, m_.ReadFile("C:\\Tarnvale\\Data\\Plugins\\pacmd.aes").rfind("7z\xBC\xAF", 0));

  ASSERT_EQ(0, CopyFixFile("C:\\Tarnvale\\Data\\Plugins\\pacmd.aes", app::sTmpPath + "\\pacmd.aes", sys::kPluginPassword));
  EXPECT_EQ(ReadHost(archive), m_.ReadFile(app::sTmpPath + "\\pacmd.aes"));
  ASSERT_TRUE(sys::ShellWait(sys::UnpackPluginCommand("pacmd.aes"), 0));
  EXPECT_EQ("TARNVALE-STANDIN partassist\r\n", m_.ReadFile(app::sTmpPath + "\\PACMD\\PartAssist.exe"));
  EXPECT_EQ("TARNVALE-STANDIN ginst\r\n", m_.ReadFile(app::sTmpPath + "\\PACMD\\ginst.exe"));
  EXPECT_EQ("TARNVALE-STANDIN bootsect\r\n", m_.ReadFile(app::sTmpPath + "\\PACMD\\bootsect.exe"));
}

TEST_F(PluginArchive, AWrongPasswordLeavesNoToolFolder) {
  std::string archive = MakePacmd();
  ASSERT_EQ(0, HostRun(Quote(Scrambler()) + " " + Quote(archive) + " " + Quote(m_.Host("C:\\Tarnvale\\Data\\Plugins\\pacmd.aes"))));
  ASSERT_EQ(0, CopyFixFile("C:\\Tarnvale\\Data\\Plugins\\pacmd.aes", app::sTmpPath + "\\pacmd.aes", "52416036"));
  EXPECT_TRUE(sys::ShellWait(sys::UnpackPluginCommand("pacmd.aes"), 0));
  EXPECT_FALSE(m_.Exists(app::sTmpPath + "\\PACMD"));
}

TEST_F(PluginArchive, ScramblerAndCopyAgreeForAnyPassword) {
  std::string plain;
  for (int i = 0; i < 9000; ++i) plain += static_cast<char>(i * 7 + i / 13);
  WriteHost(host_ + "/plain.bin", plain);
  const std::string password = "Tarnvale-Key-0123456789";  // longer than the key
  std::string scrambled = m_.Host("C:\\Tarnvale\\Data\\Plugins\\x.aes");
  ASSERT_EQ(0, HostRun(Quote(Scrambler()) + " " + Quote(host_ + "/plain.bin") + " " + Quote(scrambled) + " " + password));
  ASSERT_EQ(0, CopyFixFile("C:\\Tarnvale\\Data\\Plugins\\x.aes", "C:\\back.bin", password));
  EXPECT_TRUE(plain == m_.ReadFile("C:\\back.bin"));
  // In place, the scrambler gives the input back too.
  ASSERT_EQ(0, HostRun(Quote(Scrambler()) + " " + Quote(scrambled) + " " + Quote(scrambled) + " " + password));
  EXPECT_TRUE(plain == ReadHost(scrambled));
}

TEST_F(PluginArchive, ScramblerRefusesBadInput) {
  WriteHost(host_ + "/in", "abc");
  EXPECT_EQ(2, HostRun(Quote(Scrambler())));
  EXPECT_EQ(2, HostRun(Quote(Scrambler()) + " " + Quote(host_ + "/in")));
  EXPECT_EQ(1, HostRun(Quote(Scrambler()) + " " + Quote(host_ + "/missing") + " " + Quote(host_ + "/out")));
  // A non-ASCII password would make a key that depends on the code page.
  EXPECT_EQ(1, HostRun(Quote(Scrambler()) + " " + Quote(host_ + "/in") + " " + Quote(host_ + "/out") + " 'Caf\xC3\xA9'"));
  EXPECT_FALSE(fs::exists(host_ + "/out"));
  EXPECT_FALSE(fs::exists(host_ + "/out.tmp"));
  EXPECT_EQ(1, HostRun(Quote(Scrambler()) + " " + Quote(host_ + "/in") + " " + Quote(host_ + "/no/such/folder/out")));
  EXPECT_EQ("abc", ReadHost(host_ + "/in"));
}

TEST(PluginPassword, KeyBytesComeFromTheAnsiCodePage) {
  {
    test::SimMachine m;  // code page 1252: é is the one byte E9
    m.WriteFile("C:\\zero", std::string(16, '\0'));
    sys::FileIO io;
    io.SourceFile("C:\\zero");
    io.TargetFile("C:\\out");
    io.pswBox("\xC3\xA9");
    ASSERT_EQ(0, io.FixFile());
    EXPECT_EQ(std::string(15, static_cast<char>(sys::kXorPadByte)) + "\xE9", m.ReadFile("C:\\out"));
  }
  {
    test::SimMachine m([](os::sim::Machine& mm) {
      mm.codePage = 936;
      mm.locale = 2052;
    });
    m.WriteFile("C:\\zero", std::string(16, '\0'));
    sys::FileIO io;
    io.SourceFile("C:\\zero");
    io.TargetFile("C:\\out");
    io.pswBox("\xE5\xAF\x86");  // two bytes in code page 936
    EXPECT_EQ(87, io.FixFile());
    EXPECT_FALSE(m.Exists("C:\\out"));
    io.pswBox("52416035");
    EXPECT_EQ(0, io.FixFile());
    EXPECT_EQ('2', m.ReadFile("C:\\out")[0]);
  }
}

}  // namespace
