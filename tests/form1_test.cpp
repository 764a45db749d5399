// The main window's start-up sequence, keys, guard against re-entry,
// resizing, instance commands and closing, on a simulated machine with the
// program in C:\Tarnvale.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "app/config.h"
#include "app/form1.h"
#include "app/globals.h"
#include "app/language.h"
#include "os/ansi.h"
#include "os/files.h"
#include "os/process.h"
#include "os/sim/sim.h"
#include "os/sim/state.h"
#include "os/system.h"
#include "sys/text.h"
#include "tests/support/disk_machines.h"
#include "tests/support/sim_machine.h"
#include "tests/support/started_form.h"
#include "ui/system_menu.h"
#include "ui/window_model.h"

namespace {

using os::Control;

using test::RecordingOperations;

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    app::sCfgPath.clear();
    app::sTmpPath.clear();
    app::sFontName.clear();
    app::bMobileHardDisk = false;
    app::iTaskbarProg = 0;
    app::LangStrings.fill("");
    Language(1033, {{0, "Select disk:"}, {1, "Make mode:"}, {2, "File system:"}, {3, "Restore (F2)"}, {4, "Start"},
                    {5, "Update"}, {6, "Making..."}, {8, "Notice"}, {16, "Updating..."}, {30, "Busy:"},
                    {63, "Refresh"}, {64, "New make"}, {67, "Diskpart"}});
  }
  void TearDown() override {
    if (form) form->OnUnload();
    app::sCfgPath.clear();
  }

  void Language(uint32_t id, const std::map<int, std::string>& strings, const std::string& font = "") {
    std::string text = "[Language_Tarnvale]\r\n";
    for (const auto& [n, s] : strings) text += "String(" + std::to_string(n) + ")=\"" + s + "\"\r\n";
    if (!font.empty()) text += "[Option]\r\nfont=" + font + "\r\n";
    m.WriteFile("C:\\Tarnvale\\Data\\Lang\\" + std::to_string(id) + ".lng", os::ToAnsi(text));
  }
  void Config(const std::string& optionLines) {
    m.WriteFile("C:\\Tarnvale\\Tarnvale.cfg", "[Option]\r\n" + optionLines);
  }
  std::string ConfigFile() { return m.ReadFile("C:\\Tarnvale\\Tarnvale.cfg"); }

  bool Start(const std::string& arguments = "") {
    os::sim::SetCommandLineText("\"C:\\Tarnvale\\Tarnvale.exe\"" + (arguments.empty() ? "" : " " + arguments));
    form = std::make_unique<app::Form1>(
        [this](os::MainWindowEvents&) {
          auto w = std::make_unique<ui::WindowModel>();
          w->SetInstalledFonts(m.Get().fonts);
          window = w.get();
          return w;
        },
        &ops);
    return form->Load();
  }
  // The sample package's plug-in archive and archiver.
  void InstallPartitionToolPlugIn() {
    std::string sample = std::string(TV_SAMPLE_DIR) + "/program/Data/";
    for (const char* file : {"Plugins/pacmd.aes", "Bin/x86.dll"}) {
      std::ifstream in(sample + file, std::ios::binary);
      std::stringstream bytes;
      bytes << in.rdbuf();
      m.WriteFile("C:\\Tarnvale\\Data\\" + sys::ReplaceAll(file, "/", "\\"), bytes.str());
    }
  }
  // Whether a program of this name runs on the machine.
  static bool Runs(const std::string& name) {
    for (const os::ProcessEntry& p : os::ListProcesses())
      if (sys::EqualsNoCase(p.exeName, name)) return true;
    return false;
  }
  std::vector<std::string> Layouts() {
    std::vector<std::string> out;
    for (int i = 0; i < window->ListCount(Control::kFsys); ++i) out.push_back(window->ListItem(Control::kFsys, i));
    return out;
  }

  test::SimMachine m;
  RecordingOperations ops;
  std::unique_ptr<app::Form1> form;
  ui::WindowModel* window = nullptr;
};

// --- Start-up --------------------------------------------------------------------

TEST_F(Form1Test, WithoutConfigurationTheDefaultsApply) {
  ASSERT_TRUE(Start());
  EXPECT_EQ("", app::sCfgPath);
  EXPECT_EQ("Tarnvale 12.0", window->Title());
  EXPECT_EQ((std::vector<std::string>{"UD+DATA+UEFI # New make", "UD+DATA+UEFI # Update"}), Layouts());
  EXPECT_EQ(0, window->ListIndex(Control::kFsys));
  EXPECT_EQ("exFAT", window->ListText(Control::kFSFor));
  EXPECT_EQ(0, app::iTaskbarProg);
  EXPECT_FALSE(window->IsMenuChecked(2030));
  EXPECT_FALSE(window->IsMenuChecked(2031));
  EXPECT_TRUE(window->TimerEnabled(os::TimerId::kTimer1));
  EXPECT_EQ(10u, window->TimerInterval(os::TimerId::kTimer1));
}

TEST_F(Form1Test, TheSystemsErrorBoxesAreOffFromTheStart) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(os::kSemFailCriticalErrors | os::kSemNoOpenFileErrorBox, os::sim::State().errorMode);
}

TEST_F(Form1Test, CaptionsComeFromTheLanguageFile) {
  ASSERT_TRUE(Start());
  EXPECT_EQ("Select disk:", window->Caption(Control::kLabel3));
  EXPECT_EQ("Make mode:", window->Caption(Control::kLabel0));
  EXPECT_EQ("File system:", window->Caption(Control::kLabel1));
  EXPECT_EQ("Restore (F2)", window->Caption(Control::kStatus));
  EXPECT_EQ("Start", window->Caption(Control::kCommand1));
  EXPECT_EQ("Refresh", window->Caption(Control::kUReFresh));
}

TEST_F(Form1Test, TemporaryFolderIsMadeAndDeletedAtUnload) {
  ASSERT_TRUE(Start());
  ASSERT_EQ(std::string("C:\\Windows\\Temp\\").size() + 8, app::sTmpPath.size());
  EXPECT_EQ(0u, app::sTmpPath.rfind("C:\\Windows\\Temp\\", 0));
  EXPECT_TRUE(os::PathExists(app::sTmpPath));
  std::string folder = app::sTmpPath;
  form->OnUnload();
  form.reset();
  EXPECT_FALSE(os::PathExists(folder));
}

TEST_F(Form1Test, ConfigurationKeysOfTheStart) {
  Config("Title=My Maker\r\nDefaultFormat=1\r\nLimitUSBDisk=2\r\nMobileHardDisk=1\r\nTwoPartEnable=1\r\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ("C:\\Tarnvale\\Tarnvale.cfg", app::sCfgPath);
  EXPECT_EQ("My Maker", window->Title());
  EXPECT_EQ("FAT32", window->ListText(Control::kFSFor));
  EXPECT_TRUE(window->IsMenuChecked(2030));
  EXPECT_TRUE(window->IsMenuChecked(2031));
  EXPECT_TRUE(app::bMobileHardDisk);
  const std::string pad = " \xE3\x80\x80\xE3\x80\x80 # ";
  EXPECT_EQ((std::vector<std::string>{"UD+DATA+UEFI # New make", "UD+DATA+UEFI # Update", "DATA+UEFI" + pad + "New make",
                                      "DATA+UEFI" + pad + "Update", "UEFI+DATA" + pad + "Diskpart"}),
            Layouts());
}

TEST_F(Form1Test, DefaultFormatAndTheOptionsReadTheirValuesExactly) {
  struct Case {
    const char* lines;
    const char* fileSystem;
    bool mobile;
  };
  for (const Case& c : {Case{"DefaultFormat=0\r\nMobileHardDisk=2\r\n", "NTFS", false},
                        Case{"DefaultFormat=2\r\nMobileHardDisk=1abc\r\n", "exFAT", true},
                        Case{"DefaultFormat=exFAT\r\n", "exFAT", false},
                        Case{"DefaultFormat=1\t\t\t\t//FAT32\r\n", "FAT32", false}}) {
    app::bMobileHardDisk = false;
    Config(c.lines);
    ASSERT_TRUE(Start());
    EXPECT_EQ(c.fileSystem, window->ListText(Control::kFSFor)) << c.lines;
    EXPECT_EQ(c.mobile, app::bMobileHardDisk) << c.lines;
    form->OnUnload();
  }
}

TEST_F(Form1Test, OnlyAnIsoPackageOffersTheThreeTwoPartitionLayouts) {
  Config("TwoPartEnable=1\r\n");
  m.WriteFile("C:\\Tarnvale\\PE\\pe.iso", "");
  ASSERT_TRUE(Start());
  EXPECT_EQ((std::vector<std::string>{"DATA+UEFI # New make", "DATA+UEFI # Update", "UEFI+DATA # Diskpart"}), Layouts());
}

TEST_F(Form1Test, StopAtATaskbarStepTurnsTaskbarProgressOffForGood) {
  Config("TaskbarProgress=1\r\nBreakPoint=4\r\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(0, app::iTaskbarProg);
  EXPECT_EQ("0", app::ReadCfg("TaskbarProgress", "Option"));
  EXPECT_EQ("0", app::ReadCfg("BreakPoint", "Option"));
  // The comment goes along, in the code page of the machine.
  EXPECT_NE(std::string::npos, ConfigFile().find("TaskbarProgress=0\t\t\t\t//"));
}

TEST_F(Form1Test, StopAtStepOneTurnsTaskbarProgressOffToo) {
  Config("TaskbarProgress=1\r\nBreakPoint=1\r\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(0, app::iTaskbarProg);
  EXPECT_EQ("0", app::ReadCfg("TaskbarProgress", "Option"));
  EXPECT_EQ("0", app::ReadCfg("BreakPoint", "Option"));
}

TEST_F(Form1Test, TaskbarProgressStaysOnAfterOtherSteps) {
  Config("TaskbarProgress=1\r\nBreakPoint=2\r\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(1, app::iTaskbarProg);
  EXPECT_EQ("2", app::ReadCfg("BreakPoint", "Option"));
}

TEST_F(Form1Test, WithoutTaskbarProgressTheStepMarkerIsNotTouched) {
  Config("TaskbarProgress=0\r\nBreakPoint=4\r\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(0, app::iTaskbarProg);
  EXPECT_EQ("[Option]\r\nTaskbarProgress=0\r\nBreakPoint=4\r\n", ConfigFile());
}

TEST_F(Form1Test, TheTargetListIsFilledAtStartAndByTheRefreshButton) {
  m.Update([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E");
    test::AddUsbHardDisk(mm, 2, "G");
  });
  Config("MobileHardDisk=0\r\n");
  ASSERT_TRUE(Start());
  ASSERT_EQ(1, window->ListCount(Control::kRDriver));
  EXPECT_EQ(0u, window->ListText(Control::kRDriver).rfind("HD1: Generic Flash Disk (", 0));
  // A stick plugged in later is seen after the refresh button.
  m.Update([](os::sim::Machine& mm) { test::AddUsbStick(mm, 3, "F"); });
  EXPECT_EQ(1, window->ListCount(Control::kRDriver));
  form->OnClick(Control::kUReFresh);
  EXPECT_EQ(2, window->ListCount(Control::kRDriver));
  EXPECT_TRUE(window->IsEnabled(Control::kUReFresh));
}

TEST_F(Form1Test, TheUsbHardDiskOptionListsUsbHardDisksFromTheStart) {
  m.Update([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E");
    test::AddUsbHardDisk(mm, 2, "G");
  });
  Config("MobileHardDisk=1\r\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(2, window->ListCount(Control::kRDriver));
}

// --- The language --------------------------------------------------------------------

TEST_F(Form1Test, LanguageSwitchChoosesTheFileInAnyCase) {
  Language(2052, {{0, "Disk 2052"}});
  for (const char* arg : {"/lng:2052", "/LNG:2052", "/Lng:2052abc"}) {
    ASSERT_TRUE(Start(arg));
    EXPECT_EQ("Disk 2052", window->Caption(Control::kLabel3)) << arg;
    EXPECT_EQ(2052u, os::ThreadLocale());
    form->OnUnload();
  }
}

TEST_F(Form1Test, ShortOrNonNumericSwitchesLeaveTheSystemDefault) {
  Language(2052, {{0, "Disk 2052"}});
  for (const char* arg : {"/lng:0", "/lng:123", "/lng:abc", "/lng:"}) {
    ASSERT_TRUE(Start(arg));
    EXPECT_EQ("Select disk:", window->Caption(Control::kLabel3)) << arg;
    EXPECT_EQ(1033u, os::ThreadLocale()) << arg;
    form->OnUnload();
  }
}

TEST_F(Form1Test, TheLastLanguageSwitchWins) {
  Language(2052, {{0, "Disk 2052"}});
  Language(1031, {{0, "Disk 1031"}});
  ASSERT_TRUE(Start("/lng:2052 /lng:1031"));
  EXPECT_EQ("Disk 1031", window->Caption(Control::kLabel3));
}

TEST_F(Form1Test, LocaleWithoutAFileFallsBackToItsLanguage) {
  Language(2052, {{0, "Disk 2052"}});
  m.Update([](os::sim::Machine& mm) { mm.locale = 4100; });  // Chinese of Singapore
  ASSERT_TRUE(Start());
  EXPECT_EQ("Disk 2052", window->Caption(Control::kLabel3));
  EXPECT_EQ(2052u, os::ThreadLocale());
}

TEST_F(Form1Test, UnknownLocalesAndUnusableFilesFallBackToEnglish) {
  m.Update([](os::sim::Machine& mm) { mm.locale = 1036; });  // French: no file
  ASSERT_TRUE(Start());
  EXPECT_EQ("Select disk:", window->Caption(Control::kLabel3));
  EXPECT_EQ(1033u, os::ThreadLocale());
  form->OnUnload();
  // A German file whose String(0) is empty counts as missing.
  Language(1031, {{1, "Modus:"}});
  ASSERT_TRUE(Start("/lng:3079"));  // German of Austria maps to 1031
  EXPECT_EQ("Select disk:", window->Caption(Control::kLabel3));
  EXPECT_EQ(1033u, os::ThreadLocale());
}

TEST_F(Form1Test, WithoutAnyLanguageFileTheProgramStillStarts) {
  m.Update([](os::sim::Machine& mm) { mm.locale = 1036; });
  ASSERT_TRUE(os::RemoveFile("C:\\Tarnvale\\Data\\Lang\\1033.lng"));
  ASSERT_TRUE(Start());
  EXPECT_EQ("", window->Caption(Control::kCommand1));
  EXPECT_EQ((std::vector<std::string>{"UD+DATA+UEFI # ", "UD+DATA+UEFI # "}), Layouts());
  // No language file must not block the keys: an empty string is no busy caption.
  form->OnKeyDown(os::kVkF2, {});
  EXPECT_EQ(std::vector<std::string>{"restore"}, ops.started);
}

TEST_F(Form1Test, FontListOfTheLanguageFileWhenTheCaptionFontIsUnknown) {
  m.Update([](os::sim::Machine& mm) { mm.captionFont = ""; });
  Language(1033, {{0, "Select disk:"}}, "Not Installed,SimSun,Tahoma");
  ASSERT_TRUE(Start());
  EXPECT_EQ("", app::sFontName);
  EXPECT_EQ("SimSun", window->FontName());
}

TEST_F(Form1Test, TheWindowFontIsNinePointsOfCharacterSetOneEvenWithoutACaptionFont) {
  m.Update([](os::sim::Machine& mm) { mm.captionFont = ""; });
  ASSERT_TRUE(Start());
  EXPECT_EQ("", app::sFontName);
  EXPECT_EQ("MS Sans Serif", window->FontName());  // the design's face stays
  EXPECT_EQ(9, window->FontPoints());
  EXPECT_EQ(1, window->FontCharset());
}

TEST_F(Form1Test, CaptionFontWinsOverTheFontList) {
  m.Update([](os::sim::Machine& mm) { mm.captionFont = "Segoe UI"; });
  Language(1033, {{0, "Select disk:"}}, "SimSun");
  ASSERT_TRUE(Start());
  EXPECT_EQ("Segoe UI", app::sFontName);
  EXPECT_EQ("Segoe UI", window->FontName());
}

TEST_F(Form1Test, TheLastLanguageStringIsReadToo) {
  Language(1033, {{0, "Select disk:"}, {67, "Diskpart"}, {68, "Last of all"}});
  ASSERT_TRUE(Start());
  EXPECT_EQ("Diskpart", app::LangString(67));
  EXPECT_EQ("Last of all", app::LangString(68));
}

TEST_F(Form1Test, LanguageStringsKeepCommentsAndTabs) {
  Language(1033, {{0, "Select disk:"}, {5, "a//b\tc"}});
  ASSERT_TRUE(Start());
  EXPECT_EQ("a//b\tc", app::LangString(5));
}

// --- Keys, clicks and the guard ---------------------------------------------------------

TEST_F(Form1Test, KeysStartTheirOperations) {
  ASSERT_TRUE(Start());
  os::KeyModifiers none, ctrl, ctrlShift, ctrlAlt;
  ctrl.ctrl = true;
  ctrlShift.ctrl = ctrlShift.shift = true;
  ctrlAlt.ctrl = ctrlAlt.alt = true;
  form->OnKeyDown(os::kVkF2, none);
  form->OnKeyDown(os::kVkF5, ctrl);
  form->OnKeyDown(os::kVkI, ctrl);
  form->OnKeyDown(os::kVkI, ctrlShift);
  form->OnKeyDown(os::kVkI, ctrlAlt);
  form->OnKeyDown(os::kVkI, none);
  EXPECT_EQ((std::vector<std::string>{"restore", "boot 2020", "install"}), ops.started);
}

TEST_F(Form1Test, KeysAreIgnoredWhileTheStartButtonShowsABusyCaption) {
  ASSERT_TRUE(Start());
  os::KeyModifiers ctrl;
  ctrl.ctrl = true;
  for (int busy : {6, 16}) {
    window->SetCaption(Control::kCommand1, app::LangString(busy));
    form->OnKeyDown(os::kVkF2, {});
    form->OnKeyDown(os::kVkF5, {});
    form->OnKeyDown(os::kVkI, ctrl);
  }
  EXPECT_TRUE(ops.started.empty());
  window->SetCaption(Control::kCommand1, app::LangString(4));
  form->OnKeyDown(os::kVkF5, {});
  EXPECT_EQ(std::vector<std::string>{"boot 2020"}, ops.started);
}

TEST_F(Form1Test, NoOperationStartsInsideAnother) {
  ASSERT_TRUE(Start());
  os::KeyModifiers ctrl;
  ctrl.ctrl = true;
  // While the boot test runs (it sets no busy caption), the user presses
  // keys, clicks the status line and the start button, and picks menu
  // commands: nothing else starts.
  ops.during = [&] {
    form->OnKeyDown(os::kVkF2, {});
    form->OnKeyDown(os::kVkI, ctrl);
    form->OnClick(Control::kStatus);
    form->OnClick(Control::kCommand1);
    form->StartupTest(2021);
    form->InstPEToDisk();
  };
  form->StartupTest(2020);
  EXPECT_EQ(std::vector<std::string>{"boot 2020"}, ops.started);
  // The status line told how far the work was instead.
  ASSERT_EQ(1u, window->Messages().size());
  EXPECT_EQ("Busy:0%", window->Messages()[0].text);
  EXPECT_EQ("Notice", window->Messages()[0].title);
  // Afterwards operations start again.
  form->OnClick(Control::kCommand1);
  EXPECT_EQ((std::vector<std::string>{"boot 2020", "make"}), ops.started);
}

TEST_F(Form1Test, StatusLineRestoresOnlyWhileItShowsItsIdleText) {
  ASSERT_TRUE(Start());
  form->OnClick(Control::kStatus);
  EXPECT_EQ(std::vector<std::string>{"restore"}, ops.started);
  window->SetCaption(Control::kStatus, "Partitioning...");
  window->SetProgressValue(42);
  form->OnClick(Control::kStatus);
  EXPECT_EQ(std::vector<std::string>{"restore"}, ops.started);
  EXPECT_EQ("Busy:42%", window->Messages().back().text);
}

TEST_F(Form1Test, TheWindowDoesNotCloseWhileAnOperationRuns) {
  ASSERT_TRUE(Start());
  bool couldClose = true;
  ops.during = [&] { couldClose = form->OnCloseRequest(); };
  form->Command1_Click();
  EXPECT_FALSE(couldClose);
  EXPECT_TRUE(form->OnCloseRequest());
}

TEST_F(Form1Test, OperationsRefuseToStartWithoutAPerRunFolder) {
  // The Windows folder's drive is not there, so no per-run folder can be
  // made: an operation would put its scripts and tools at a drive's root.
  InstallPartitionToolPlugIn();
  m.Update([](os::sim::Machine& mm) { mm.windir = "Q:\\Windows"; });
  Language(1031, {{0, "Datentr\xC3\xA4ger:"}, {10, "Fehler"}, {91, "Kein Arbeitsordner"}});
  ASSERT_TRUE(Start("/lng:1031"));
  EXPECT_EQ("", app::sTmpPath);
  // Every way in: the button, the keys, the status line and the system menu.
  form->OnClick(Control::kCommand1);
  form->OnKeyDown(os::kVkF2, {});
  form->OnKeyDown(os::kVkF5, {});
  form->InstPEToDisk();
  form->OnClick(Control::kStatus);
  form->OnSysCommand(ui::kMenuInstPEToDisk);
  form->OnSysCommand(ui::kMenuBootBios);
  form->OnSysCommand(ui::kMenuBootEfi);
  // Nor does the first tick unpack the partition tool at a drive's root.
  form->OnTimer(os::TimerId::kTimer1);
  EXPECT_TRUE(ops.started.empty());
  EXPECT_TRUE(m.Started().empty());
  ASSERT_EQ(8u, window->Messages().size());
  // The message in the language of the run, with the error title.
  for (const auto& box : window->Messages()) {
    EXPECT_EQ(os::kMbIconStop, box.style);
    EXPECT_EQ("Kein Arbeitsordner", box.text);
    EXPECT_EQ("Fehler", box.title);
  }
  EXPECT_FALSE(form->guard().Busy());
  // A language file without the text gives the built-in English one.
  app::LangStrings[91].clear();
  EXPECT_NE(std::string::npos, app::LangString(91).find("working folder")) << app::LangString(91);
}

TEST_F(Form1Test, ThePerRunFolderIsInTheSystemsWindowsFolderWhateverWindirSays) {
  // A windir variable of the user's session reaches the elevated program;
  // it must not choose where the tools are unpacked.
  m.Update([](os::sim::Machine& mm) { mm.env["windir"] = "D:\\Planted"; });
  ASSERT_TRUE(Start());
  ASSERT_EQ(0u, app::sTmpPath.rfind("C:\\Windows\\Temp\\", 0)) << app::sTmpPath;
  EXPECT_TRUE(m.Exists(app::sTmpPath));
}

TEST_F(Form1Test, WithoutAdministratorRightsItSaysSoAndOffersNoOperation) {
  InstallPartitionToolPlugIn();
  m.Update([](os::sim::Machine& mm) { mm.elevated = false; });
  ASSERT_TRUE(Start());
  ASSERT_EQ(1u, window->Messages().size());
  EXPECT_EQ(app::LangString(88), window->Messages()[0].text);
  EXPECT_NE(std::string::npos, window->Messages()[0].text.find("administrator rights"));
  EXPECT_EQ(os::kMbIconStop, window->Messages()[0].style & os::kMbIconStop);
  for (Control c : {Control::kFsys, Control::kFSFor, Control::kRDriver, Control::kUReFresh, Control::kCommand1})
    EXPECT_FALSE(window->IsEnabled(c));
  // No background unpack of the partition tool either.
  EXPECT_FALSE(window->TimerEnabled(os::TimerId::kTimer1));
  // Every way in is refused with the same message.
  form->Command1_Click();
  form->OnKeyDown(os::kVkF2, {});
  form->OnKeyDown(os::kVkF5, {});
  form->OnClick(Control::kStatus);
  form->OnSysCommand(ui::kMenuInstPEToDisk);
  form->OnSysCommand(ui::kMenuBootEfi);
  EXPECT_TRUE(ops.started.empty());
  EXPECT_TRUE(m.Started().empty());
  ASSERT_EQ(7u, window->Messages().size());
  EXPECT_EQ(app::LangString(88), window->Messages().back().text);
}

TEST_F(Form1Test, TheSessionsEndDuringAnOperationIsHeldUpAndLeavesThePerRunFolder) {
  ASSERT_TRUE(Start());
  const std::string folder = app::sTmpPath;
  ASSERT_FALSE(folder.empty());
  // Idle: the session may end, and the folder goes with the program.
  EXPECT_EQ("", form->OnQueryEndSession());

  std::string reason;
  bool folderStayed = false;
  ops.during = [&] {
    reason = form->OnQueryEndSession();
    // Windows ends the session all the same: the operation's tools may
    // still be writing into the folder.
    form->OnEndSession();
    folderStayed = m.Exists(folder);
  };
  form->Command1_Click();
  EXPECT_EQ(app::LangString(89), reason);
  EXPECT_NE(std::string::npos, reason.find("startup disk is being made"));
  EXPECT_TRUE(folderStayed);
}

TEST_F(Form1Test, TheSessionsEndWhenIdleDeletesThePerRunFolder) {
  ASSERT_TRUE(Start());
  const std::string folder = app::sTmpPath;
  ASSERT_TRUE(m.Exists(folder));
  form->OnEndSession();
  EXPECT_FALSE(m.Exists(folder));
}

TEST_F(Form1Test, ButtonEnableLocksTheFiveInputs) {
  ASSERT_TRUE(Start());
  form->ButtonEnable(false);
  for (Control c : {Control::kFsys, Control::kFSFor, Control::kRDriver, Control::kUReFresh, Control::kCommand1})
    EXPECT_FALSE(window->IsEnabled(c));
  EXPECT_TRUE(window->IsEnabled(Control::kStatus));
  form->ButtonEnable(true);
  for (Control c : {Control::kFsys, Control::kFSFor, Control::kRDriver, Control::kUReFresh, Control::kCommand1})
    EXPECT_TRUE(window->IsEnabled(c));
}

// --- The window ----------------------------------------------------------------------

TEST_F(Form1Test, MaximisingIsRefused) {
  ASSERT_TRUE(Start());
  window->SetState(os::WindowState::kMaximized);
  form->OnResize(os::WindowState::kMaximized);
  EXPECT_EQ(os::WindowState::kNormal, window->State());
}

TEST_F(Form1Test, InstanceCommandNorBringsTheWindowBack) {
  ASSERT_TRUE(Start());
  window->SetState(os::WindowState::kMinimized);
  form->OnInstanceCommand("something else");
  EXPECT_EQ(os::WindowState::kMinimized, window->State());
  form->OnInstanceCommand("NOR");
  EXPECT_EQ(os::WindowState::kNormal, window->State());
  EXPECT_TRUE(window->IsVisible());
}

TEST_F(Form1Test, TheFirstTimerTickPreparesThePartitionToolInTheBackground) {
  InstallPartitionToolPlugIn();
  ASSERT_TRUE(Start());
  form->OnTimer(os::TimerId::kTimer1);
  // The tick runs once, then waits for the last phase of a make.
  EXPECT_FALSE(window->TimerEnabled(os::TimerId::kTimer1));
  EXPECT_EQ(3000u, window->TimerInterval(os::TimerId::kTimer1));
  // The percentage of the copy ends empty; the archiver was started without waiting.
  EXPECT_EQ("", window->Caption(Control::kLProgress));
  std::vector<std::string> started = m.Started();
  ASSERT_EQ(1u, started.size());
  EXPECT_EQ("\"C:\\Tarnvale\\Data\\Bin\\x86.dll\" x -p52416035 " + app::sTmpPath + "\\pacmd.aes -y -o\"" +
                app::sTmpPath + "\"",
            started[0]);
  // The wait ends when the archiver does, however long it takes.
  EXPECT_TRUE(form->WaitForPartitionTool());
  EXPECT_TRUE(os::PathExists(app::sTmpPath + "\\PACMD\\PartAssist.exe"));
  EXPECT_TRUE(os::PathExists(app::sTmpPath + "\\PACMD\\bootsect.exe"));
}

TEST_F(Form1Test, ClosingEndsABackgroundUnpackThatDoesNotFinish) {
  InstallPartitionToolPlugIn();
  // An archiver that never finishes; the brief wait at closing passes quickly.
  m.Update([](os::sim::Machine& mm) {
    mm.faults["7zz"] = "hang";
    mm.timeScale = 100;
  });
  ASSERT_TRUE(Start());
  form->OnTimer(os::TimerId::kTimer1);
  ASSERT_TRUE(Runs("x86.dll"));
  std::string folder = app::sTmpPath;
  form->OnUnload();
  EXPECT_FALSE(Runs("x86.dll"));  // it does not outlive the window
  EXPECT_FALSE(os::PathExists(folder));
}

TEST_F(Form1Test, ClosingLetsAFinishingUnpackEndFirst) {
  InstallPartitionToolPlugIn();
  ASSERT_TRUE(Start());
  form->OnTimer(os::TimerId::kTimer1);
  std::string folder = app::sTmpPath;
  form->OnUnload();
  EXPECT_FALSE(Runs("x86.dll"));
  EXPECT_FALSE(os::PathExists(folder));
}

TEST_F(Form1Test, ThePreparationIsNotRepeatedWhenTheToolIsThere) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(os::CreateFolder(app::sTmpPath + "\\pacmd"));
  form->OnTimer(os::TimerId::kTimer1);
  EXPECT_TRUE(m.Started().empty());
  EXPECT_FALSE(window->TimerEnabled(os::TimerId::kTimer1));
  // Later ticks of the slow interval do nothing here.
  form->OnTimer(os::TimerId::kTimer1);
  EXPECT_TRUE(m.Started().empty());
}

TEST_F(Form1Test, AMissingPlugInIsNotRetriedEveryTick) {
  ASSERT_TRUE(Start());
  form->OnTimer(os::TimerId::kTimer1);
  EXPECT_FALSE(window->TimerEnabled(os::TimerId::kTimer1));
  // The archiver is not there: the start failed, and nothing more happens.
  ASSERT_EQ(1u, m.StartedLog().size());
  EXPECT_NE(std::string::npos, m.StartedLog()[0].find("error=2"));
}

}  // namespace
