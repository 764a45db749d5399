// The system's own programs against real Win32 (under Wine, also in a 64-bit
// prefix where WOW64 redirection really happens): a program named cmd.exe
// beside ours is not the one run, a windir of the session is not followed,
// the native interpreter runs whatever version the system reports, hidden
// programs belong to the job that ends them with us, and a package that
// another program writes is named, not sized 0.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "disk/big_file_size.h"
#include "os/files.h"
#include "os/process.h"
#include "os/system.h"
#include "sys/shell_wait.h"
#include "sys/system_programs.h"

namespace {

std::string OwnFolder() {
  std::string self = os::ModulePath();
  return self.substr(0, self.rfind('\\'));
}

// Runs the command line, waits for it and gives its exit code.
uint32_t RunAndWait(const std::string& commandLine) {
  os::Process p = sys::ShellStart(commandLine, 0);
  EXPECT_TRUE(p.IsValid()) << commandLine;
  if (!p.IsValid()) return 0xFFFFFFFF;
  sys::WaitWithEvents(p, 20000);
  return os::ExitCode(p).value_or(0xFFFFFFFF);
}

// tv_child.exe copied as cmd.exe beside the tests: given "/c exit 7" it
// exits with 0, where the real interpreter exits with 7.
class PlantedCmd : public ::testing::Test {
 protected:
  void SetUp() override {
    planted_ = OwnFolder() + "\\cmd.exe";
    std::wstring from(MAX_PATH, L'\0'), to(MAX_PATH, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, (OwnFolder() + "\\tv_child.exe").c_str(), -1, from.data(), MAX_PATH);
    MultiByteToWideChar(CP_UTF8, 0, planted_.c_str(), -1, to.data(), MAX_PATH);
    ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), FALSE)) << "tv_child.exe belongs beside the tests";
  }
  void TearDown() override { os::RemoveFile(planted_); }
  std::string planted_;
};

TEST_F(PlantedCmd, IsNotRunByItsFullPathButWouldBeByItsName) {
  // The search of CreateProcess looks in the program's own folder first:
  // that is what a bare name would run.
  EXPECT_EQ(0u, RunAndWait("cmd.exe /c exit 7"));
  EXPECT_EQ(7u, RunAndWait(sys::ThroughCmd("exit 7")));
}

TEST(SystemProgramsWin32, AWindirOfTheSessionIsNotFollowed) {
  wchar_t real[MAX_PATH] = {};
  ASSERT_NE(0u, GetSystemDirectoryW(real, MAX_PATH));
  SetEnvironmentVariableW(L"windir", L"C:\\Planted");
  std::string cmd = sys::SystemProgram("cmd.exe");
  EXPECT_EQ(std::string::npos, cmd.find("Planted")) << cmd;
  EXPECT_EQ(5u, RunAndWait(sys::ThroughCmd("exit 5")));
  SetEnvironmentVariableW(L"windir", nullptr);
}

// Which interpreter ran: only a 32-bit one sees the Sysnative alias.
const char kWhichInterpreter[] = "if exist %SystemRoot%\\Sysnative\\cmd.exe (exit 32) else (exit 64)";

TEST(SystemProgramsWin32, TheNativeInterpreterRunsWhateverVersionTheSystemReports) {
  // Run also with Wine's version set to Windows XP (5.1): the system folder's
  // interpreter is the native one all the same.
  if (const char* major = getenv("TV_EXPECT_MAJOR")) {
    ASSERT_EQ(strtoul(major, nullptr, 10), os::QueryVersion().value_or(os::VersionInfo{}).major)
        << "the version setting did not take";
  }
  EXPECT_EQ(64u, RunAndWait(sys::ThroughCmd(kWhichInterpreter)));
  // In the 64-bit prefix the 32-bit tests are redirected, or this test
  // would prove nothing there.
  if (getenv("TV_WINE_WOW64")) {
    EXPECT_TRUE(os::IsWow64());
  }
  if (os::IsWow64()) {
    // Where redirection really happens, a start without switching it off
    // would have run the 32-bit one: the test tells them apart.
    os::Process p = os::StartProcess(sys::ThroughCmd(kWhichInterpreter), 0);
    ASSERT_TRUE(p.IsValid());
    sys::WaitWithEvents(p, 20000);
    EXPECT_EQ(32u, os::ExitCode(p).value_or(0));
  }
}

TEST(SystemProgramsWin32, HiddenProgramsBelongToTheJobThatEndsThemWithUs) {
  std::string child = "\"" + OwnFolder() + "\\tv_child.exe\" 0 30000";
  os::Process p = sys::ShellStart(child, 0);
  ASSERT_TRUE(p.IsValid());
  HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, p.Id());
  ASSERT_NE(nullptr, h);
  BOOL inJob = FALSE;
  EXPECT_TRUE(IsProcessInJob(h, nullptr, &inJob)) << GetLastError();
  EXPECT_TRUE(inJob);
  TerminateProcess(h, 0);
  CloseHandle(h);
}

TEST(SystemProgramsWin32, APackageThatAnotherProgramWritesIsNamedNotSizedZero) {
  std::string path = OwnFolder() + "\\being-written.iso";
  std::wstring w(MAX_PATH, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, w.data(), MAX_PATH);
  HANDLE writer = CreateFileW(w.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, writer);
  std::string block(1 << 20, 'x');
  DWORD written = 0;
  for (int i = 0; i < 3; ++i) WriteFile(writer, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  EXPECT_TRUE(os::FileBeingWritten(path));
  EXPECT_EQ(3, disk::GetBigFileSizeMB(path));
  CloseHandle(writer);
  EXPECT_FALSE(os::FileBeingWritten(path));
  EXPECT_EQ(3, disk::GetBigFileSizeMB(path));
  os::RemoveFile(path);
}

}  // namespace
