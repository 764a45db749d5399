// The command lines of the partition tool and the archiver, letter for letter.
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "sys/archiver_commands.h"
#include "sys/partassist_commands.h"
#include "tests/support/sim_machine.h"

namespace {

class PartAssistCommands : public ::testing::Test {
 protected:
  void SetUp() override { app::sTmpPath = "C:\\Windows\\Temp\\AbCdEfGh"; }
  void TearDown() override { app::sTmpPath.clear(); }
  test::SimMachine m_;
  const std::string pa = "C:\\Windows\\System32\\cmd.exe /c C:\\Windows\\Temp\\AbCdEfGh\\PACMD\\PartAssist.exe";
};

TEST_F(PartAssistCommands, ListUnhideInitForDisks0And1And12) {
  EXPECT_EQ(pa, sys::PartAssistProgram());
  EXPECT_EQ(pa + " /list:0 /out:C:\\Windows\\Temp\\AbCdEfGh\\PACMD\\usee.txt",
            sys::PaList(0, app::sTmpPath + "\\PACMD\\usee.txt"));
  EXPECT_EQ(pa + " /list:12 /out:C:\\x.txt", sys::PaList(12, "C:\\x.txt"));
  EXPECT_EQ(pa + " /hd:1 /unhide:1", sys::PaUnhide(1, 1));
  EXPECT_EQ(pa + " /hd:0 /unhide:0", sys::PaUnhide(0, 0));
  EXPECT_EQ(pa + " /hd:12 /unhide:1", sys::PaUnhide(12, 1));
  EXPECT_EQ(pa + " /init:0", sys::PaInit(0));
  EXPECT_EQ(pa + " /init:1", sys::PaInit(1));
  EXPECT_EQ(pa + " /init:12", sys::PaInit(12));
}

TEST_F(PartAssistCommands, ResizeAndEfiCreation) {
  EXPECT_EQ(pa + " /resize:E: /reduce-right:1032MB", sys::PaResize("E:", 1032));
  EXPECT_EQ(pa + " /resize:Z: /reduce-right:100MB", sys::PaResize("Z:", 100));
  EXPECT_EQ(pa + " /resize:G: /reduce-right:65536MB", sys::PaResize("G:", 65536));
  EXPECT_EQ(pa + " /hd:1 /cre /pri /size:auto /end /fs:fat32 /align /label:EFI", sys::PaCreateEfi(1, false));
  EXPECT_EQ(pa + " /hd:12 /cre /pri /size:auto /act /end /fs:fat32 /align /label:EFI", sys::PaCreateEfi(12, true));
  EXPECT_EQ(pa + " /hd:0 /cre /pri /size:auto /act /end /fs:fat32 /align /label:EFI", sys::PaCreateEfi(0, true));
}

TEST_F(PartAssistCommands, WriteHideAndLetters) {
  EXPECT_EQ(pa + " /hd:2 /whide:1 /src:C:\\Windows\\Temp\\AbCdEfGh\\EFI",
            sys::PaWriteHidden(2, 1, app::sTmpPath + "\\EFI"));
  EXPECT_EQ(pa + " /hd:12 /whide:0 /src:C:\\Windows\\Temp\\AbCdEfGh\\EFI",
            sys::PaWriteHidden(12, 0, app::sTmpPath + "\\EFI"));
  EXPECT_EQ(pa + " /hd:0 /whide:1", sys::PaWriteHidden(0, 1));
  EXPECT_EQ(pa + " /hd:1 /hide:1", sys::PaHide(1, 1));
  EXPECT_EQ(pa + " /hd:12 /hide:1", sys::PaHide(12, 1));
  EXPECT_EQ(pa + " /hd:1 /setletter:1 /letter:auto", sys::PaSetLetterAuto(1, 1));
  EXPECT_EQ(pa + " /hd:12 /setletter:0 /letter:auto", sys::PaSetLetterAuto(12, 0));
  EXPECT_EQ(pa + " /hd:0 /setletter:0 /letter:E:", sys::PaSetLetter(0, 0, "E:"));
  EXPECT_EQ(pa + " /hd:12 /setletter:0 /letter:Z:", sys::PaSetLetter(12, 0, "Z:"));
}

TEST(PartAssistCommandsWithABlank, QuoteEveryPathAndGoThroughTheInterpreterInOnePair) {
  // A Windows folder with a blank: the interpreter, the tool and the
  // folder and file values are each one word, and the interpreter takes
  // away only the outer pair (/s).
  test::SimMachine m([](os::sim::Machine& mm) { mm.windir = "C:\\Win Dir"; });
  app::sTmpPath = "C:\\Win Dir\\Temp\\QwErTyUi";
  const std::string cmd = "\"C:\\Win Dir\\System32\\cmd.exe\" /s /c ";
  const std::string pa = "\"C:\\Win Dir\\Temp\\QwErTyUi\\PACMD\\PartAssist.exe\"";
  EXPECT_EQ(cmd + "\"" + pa + " /hd:1 /whide:1 /src:\"C:\\Win Dir\\Temp\\QwErTyUi\\EFI\"\"",
            sys::PaWriteHidden(1, 1, app::sTmpPath + "\\EFI"));
  EXPECT_EQ(cmd + "\"" + pa + " /list:1 /out:\"C:\\Win Dir\\Temp\\QwErTyUi\\PACMD\\usee.txt\"\"",
            sys::PaList(1, app::sTmpPath + "\\PACMD\\usee.txt"));
  EXPECT_EQ(cmd + "\"" + pa + " /hd:2 /unhide:0\"", sys::PaUnhide(2, 0));
  app::sTmpPath.clear();
}

// The archiver's forms, on a machine whose program folder has spaces: the
// archiver and the archives appear as quoted short paths.
class ArchiverCommands : public ::testing::Test {
 protected:
  ArchiverCommands()
      : m_([](os::sim::Machine& mm) { mm.program = "C:\\Program Files\\Tarn Vale\\Tarnvale.exe"; }) {}
  void SetUp() override {
    m_.InstallProgram("C:\\Program Files\\Tarn Vale\\Data\\Bin\\x86.dll", "7zz");
    app::sTmpPath = "C:\\Windows\\Temp\\AbCdEfGh";
  }
  void TearDown() override { app::sTmpPath.clear(); }

  test::SimMachine m_;
  const std::string x86 = "\"C:\\PROGRA~1\\TARNVA~1\\Data\\Bin\\x86.dll\"";
};

TEST_F(ArchiverCommands, PluginArchives) {
  EXPECT_EQ(x86, sys::ArchiverProgram());
  EXPECT_EQ(x86 + " x -p52416035 C:\\Windows\\Temp\\AbCdEfGh\\pacmd.aes -y -o\"C:\\Windows\\Temp\\AbCdEfGh\"",
            sys::UnpackPluginCommand("pacmd.aes"));
  EXPECT_EQ(x86 + " x -p52416035 C:\\Windows\\Temp\\AbCdEfGh\\qemu.aes -y -o\"C:\\Windows\\Temp\\AbCdEfGh\"",
            sys::UnpackPluginCommand("qemu.aes"));
  // A per-run folder with a blank: the archive is one word too.
  app::sTmpPath = "C:\\Win Dir\\Temp\\AbCdEfGh";
  EXPECT_EQ(x86 + " x -p52416035 \"C:\\Win Dir\\Temp\\AbCdEfGh\\pacmd.aes\" -y -o\"C:\\Win Dir\\Temp\\AbCdEfGh\"",
            sys::UnpackPluginCommand("pacmd.aes"));
}

TEST_F(ArchiverCommands, ImageAndDataPackage) {
  m_.WriteFile("C:\\Program Files\\PE Build\\My PE.iso", "");
  m_.WriteFile("C:\\Program Files\\PE Build\\Data Pack.7z", "");
  const std::string iso = "\"C:\\PROGRA~1\\PEBUIL~1\\MYPE~1.ISO\"";
  const std::string data = "\"C:\\PROGRA~1\\PEBUIL~1\\DATAPA~1.7Z\"";
  EXPECT_EQ(x86 + " x " + iso + " -y -aos -o\"C:\\Windows\\Temp\\AbCdEfGh\\EFI\"",
            sys::UnpackImageCommand("C:\\Program Files\\PE Build\\My PE.iso"));
  EXPECT_EQ(x86 + " x " + data + " -y -o\"E:\"", sys::UnpackDataCommand("C:\\Program Files\\PE Build\\Data Pack.7z", "E:"));
  EXPECT_EQ(x86 + " x " + data + " -y -o\"Z:\"", sys::UnpackDataCommand("C:\\Program Files\\PE Build\\Data Pack.7z", "Z:"));
  EXPECT_EQ(x86 + " e " + iso + " -y -aoa -o\"C:\\WinPE\" boot.wim -r",
            sys::ExtractFromImageCommand("C:\\Program Files\\PE Build\\My PE.iso", "boot.wim"));
  EXPECT_EQ(x86 + " e " + iso + " -y -aoa -o\"C:\\WinPE\" boot.sdi -r",
            sys::ExtractFromImageCommand("C:\\Program Files\\PE Build\\My PE.iso", "boot.sdi"));
  // A name with a blank stays one argument.
  EXPECT_EQ(x86 + " e " + iso + " -y -aoa -o\"C:\\WinPE\" \"PE 10.wim\" -r",
            sys::ExtractFromImageCommand("C:\\Program Files\\PE Build\\My PE.iso", "PE 10.wim"));
}

}  // namespace
