// The main window's system menu: its entries above the platform's own, the
// procedure in front of the window's that carries them out, the two options
// and the commands handed on, on a simulated machine.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/language.h"
#include "disk/target_check.h"
#include "os/menu.h"
#include "os/sim/windows.h"
#include "os/window_procedure.h"
#include "tests/support/disk_machines.h"
#include "tests/support/started_form.h"
#include "ui/about_model.h"
#include "ui/size_dialog_model.h"
#include "ui/system_menu.h"

namespace {

using os::Control;
using app::LangString;

// Every entry, top down, a submenu's entries after the entry that opens it:
// the id of a command entry, "[" and "]" around a submenu's.
std::vector<std::string> Flat(os::MenuHandle menu) {
  std::vector<std::string> out;
  for (const os::MenuEntry& e : os::MenuEntries(menu)) {
    if (!e.submenu) {
      out.push_back(std::to_string(e.id));
      continue;
    }
    out.push_back("[");
    for (const std::string& inner : Flat(e.submenu)) out.push_back(inner);
    out.push_back("]");
  }
  return out;
}

class SystemMenu : public ::testing::Test {
 protected:
  os::MenuHandle Menu() { return os::GetSystemMenu(f.window()); }
  std::vector<std::string> Top(size_t n) {
    auto all = Flat(Menu());
    all.resize(std::min(n, all.size()));
    return all;
  }
  os::MenuEntry Entry(size_t position) { return os::MenuEntries(Menu()).at(position); }
  std::vector<std::string> Targets() {
    std::vector<std::string> out;
    for (int i = 0; i < f.window().ListCount(Control::kRDriver); ++i) out.push_back(f.window().ListItem(Control::kRDriver, i));
    return out;
  }

  test::SimMachine m{[](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E");
    test::AddUsbHardDisk(mm, 2, "G");
  }};
  test::StartedForm f{m};
};

TEST_F(SystemMenu, WithAPeNameTheInstallEntryLeadsAndThePlatformsEntriesFollow) {
  f.Config("[InstPEToDisk]\r\nPEName=My PE\r\n");
  ASSERT_TRUE(f.Start());
  EXPECT_EQ((std::vector<std::string>{"2002", "[", "2020", "2021", "]", "[", "2030", "2031", "2032", "]", "2003", "2004",
                                      "2006", "61728"}),
            Top(14));
  EXPECT_EQ(LangString(53) + "(&I)\tCtrl+I", Entry(0).text);
  EXPECT_EQ(LangString(52), Entry(1).text);
  EXPECT_EQ(LangString(51), Entry(2).text);
  EXPECT_EQ(LangString(85) + "(&L)\tCtrl+L", Entry(3).text);
  EXPECT_EQ(LangString(49) + "(&A)", Entry(4).text);
  EXPECT_TRUE(Entry(5).state & os::kMfSeparator);
  auto test = os::MenuEntries(Entry(1).submenu);
  EXPECT_EQ("BIOS\t\tF5", test.at(0).text);
  EXPECT_EQ("EFI X64", test.at(1).text);
  auto options = os::MenuEntries(Entry(2).submenu);
  EXPECT_EQ(LangString(55), options.at(0).text);
  EXPECT_EQ(LangString(56), options.at(1).text);
  EXPECT_EQ(LangString(57), options.at(2).text);
  EXPECT_FALSE(LangString(57).empty());
  // The pictures: install, boot test, options, About; the log has none.
  EXPECT_EQ(static_cast<int>(os::MenuPicture::kInstall), Entry(0).picture);
  EXPECT_EQ(static_cast<int>(os::MenuPicture::kBootTest), Entry(1).picture);
  EXPECT_EQ(static_cast<int>(os::MenuPicture::kOptions), Entry(2).picture);
  EXPECT_EQ(-1, Entry(3).picture);
  EXPECT_EQ(static_cast<int>(os::MenuPicture::kAbout), Entry(4).picture);
  EXPECT_EQ(ui::hTestMenu, Entry(1).submenu);
  EXPECT_EQ(ui::hOptionMenu, Entry(2).submenu);
}

TEST_F(SystemMenu, WithoutAPeNameThereIsNoInstallEntryButCtrlIStillInstalls) {
  f.Config("[InstPEToDisk]\r\nPEName=\r\nWIMFile=boot.wim\r\n");
  ASSERT_TRUE(f.Start());
  EXPECT_EQ((std::vector<std::string>{"[", "2020", "2021", "]", "[", "2030", "2031", "2032", "]", "2003", "2004", "2006"}),
            Top(12));
  f.form().OnKeyDown(os::kVkI, {false, true, false});
  EXPECT_EQ((std::vector<std::string>{"install"}), f.ops.started);
}

TEST_F(SystemMenu, TheCommandsAreCarriedOutAndAnsweredWithMinusOne) {
  f.Config("[InstPEToDisk]\r\nPEName=My PE\r\n");
  ASSERT_TRUE(f.Start());
  EXPECT_EQ(-1, f.Menu(2002));
  EXPECT_EQ(-1, f.Menu(2020));
  EXPECT_EQ(-1, f.Menu(2021));
  EXPECT_EQ((std::vector<std::string>{"install", "boot 2020", "boot 2021"}), f.ops.started);
  // None of them reached the window's own procedure.
  EXPECT_TRUE(os::sim::OwnProcedureLog(f.window()).empty());
}

TEST_F(SystemMenu, EntriesChosenAsAMenusCommandAreCarriedOutAndControlsCommandsAreNot) {
  ASSERT_TRUE(f.Start());
  auto command = [&](uintptr_t wParam, intptr_t lParam) {
    return os::SendWindowMessage(f.window(), {os::kWmCommand, wParam, lParam});
  };
  // A submenu's entry as Wine sends it: WM_COMMAND from the menu.
  EXPECT_EQ(-1, command(2020, 0));
  EXPECT_EQ(-1, command(2030, 0));
  EXPECT_EQ(os::kMfChecked, os::GetMenuState(ui::hOptionMenu, 2030));
  // A control's notification and an accelerator's command carry the same
  // numbers, but they are not the menu's.
  command(2021, 0x1234);
  command((1u << 16) | 2021, 0);
  command(1030, 0);
  EXPECT_EQ((std::vector<std::string>{"boot 2020"}), f.ops.started);
  EXPECT_EQ(3u, os::sim::OwnProcedureLog(f.window()).size());
}

TEST_F(SystemMenu, OtherCommandsAndMessagesGoToThePreviousProcedure) {
  ASSERT_TRUE(f.Start());
  EXPECT_EQ(0, f.Menu(os::kScMinimize));
  EXPECT_EQ(0, f.Menu(2099));
  os::SendWindowMessage(f.window(), {os::kWmClose, 0, 0});
  auto log = os::sim::OwnProcedureLog(f.window());
  ASSERT_EQ(3u, log.size());
  EXPECT_EQ(os::kScMinimize, log[0].wParam);
  EXPECT_EQ(2099u, log[1].wParam);
  EXPECT_EQ(os::kWmClose, log[2].message);
  EXPECT_TRUE(f.ops.started.empty());
}

TEST_F(SystemMenu, TheUsbHardDiskOptionTwiceBringsBackTheListAndTheMark) {
  ASSERT_TRUE(f.Start());
  auto before = Targets();
  ASSERT_EQ(1u, before.size());
  EXPECT_FALSE(f.window().IsMenuChecked(2031));

  f.Menu(2031);
  EXPECT_TRUE(f.window().IsMenuChecked(2031));
  EXPECT_EQ(os::kMfChecked, os::GetMenuState(ui::hOptionMenu, 2031));
  EXPECT_TRUE(app::bMobileHardDisk);
  EXPECT_EQ(2u, Targets().size());

  f.Menu(2031);
  EXPECT_FALSE(f.window().IsMenuChecked(2031));
  EXPECT_FALSE(app::bMobileHardDisk);
  EXPECT_EQ(before, Targets());
}

TEST_F(SystemMenu, MobileHardDiskInTheConfigurationStartsCheckedAndUncheckingDropsTheHardDisk) {
  f.Config("[Option]\r\nMobileHardDisk=1\r\n");
  ASSERT_TRUE(f.Start());
  EXPECT_EQ(os::kMfChecked, os::GetMenuState(ui::hOptionMenu, 2031));
  EXPECT_EQ(2u, Targets().size());
  f.Menu(2031);
  EXPECT_EQ(1u, Targets().size());
  // The mark lasts for the run only: the file is left alone.
  EXPECT_EQ("[Option]\r\nMobileHardDisk=1\r\n", f.ConfigFile());
}

TEST_F(SystemMenu, TheSingleDiskOptionOnlyChangesItsMarkWhichTheTargetCheckReads) {
  f.Config("[Option]\r\nMobileHardDisk=1\r\n");
  ASSERT_TRUE(f.Start());
  auto before = Targets();
  ASSERT_EQ(2u, before.size());
  f.window().SetListIndex(Control::kRDriver, 0);
  // A stick plugged in later: the option does not refill the list.
  m.Update([](os::sim::Machine& mm) { test::AddUsbStick(mm, 3, "F"); });
  EXPECT_EQ(-1, f.Menu(2030));
  EXPECT_EQ(os::kMfChecked, os::GetMenuState(ui::hOptionMenu, 2030));
  EXPECT_EQ(before, Targets());
  // Checked, with two disks listed: the check refuses.
  EXPECT_FALSE(disk::GetDiskInfoTest(f.window()));
  EXPECT_EQ(LangString(35), f.window().Messages().back().title);
  f.Menu(2030);
  EXPECT_EQ(0, os::GetMenuState(ui::hOptionMenu, 2030));
  EXPECT_TRUE(disk::GetDiskInfoTest(f.window()));
}

TEST_F(SystemMenu, LimitUsbDiskInTheConfigurationChecksTheEntryInTheMenu) {
  f.Config("[Option]\r\nLimitUSBDisk=3\r\n");
  ASSERT_TRUE(f.Start());
  EXPECT_EQ(os::kMfChecked, os::GetMenuState(ui::hOptionMenu, 2030));
  EXPECT_EQ(0, os::GetMenuState(ui::hOptionMenu, 2031));
}

TEST_F(SystemMenu, TheListIsNotRefilledInsideARunningOperation) {
  ASSERT_TRUE(f.Start());
  f.ops.during = [&] { EXPECT_EQ(-1, f.Menu(2031)); };
  f.form().Command1_Click();
  EXPECT_EQ((std::vector<std::string>{"make"}), f.ops.started);
  EXPECT_FALSE(f.window().IsMenuChecked(2031));
  EXPECT_FALSE(app::bMobileHardDisk);
  EXPECT_EQ(1u, Targets().size());
}

TEST_F(SystemMenu, TheDialogsDoNotOpenInsideARunningOperation) {
  ASSERT_TRUE(f.Start());
  int opened = 0;
  f.window().SetSizeDialogDriver([&](ui::SizeDialogModel&) { ++opened; });
  f.window().SetAboutDriver([&](ui::AboutModel&) { ++opened; });
  f.ops.during = [&] {
    EXPECT_EQ(-1, f.Menu(2032));
    EXPECT_EQ(-1, f.Menu(2004));
  };
  f.form().Command1_Click();
  EXPECT_EQ(0, opened);
  // Once the operation is over they open again.
  f.Menu(2032);
  f.Menu(2004);
  EXPECT_EQ(2, opened);
}

TEST_F(SystemMenu, AtUnloadThePreviousProcedureComesBack) {
  ASSERT_TRUE(f.Start());
  os::WindowProcedure ours = os::GetWindowProcedure(f.window());
  ASSERT_NE(ui::pfnOldWndProc, ours);
  os::WindowProcedure old = ui::pfnOldWndProc;
  ui::RestoreWndProc();
  EXPECT_EQ(old, os::GetWindowProcedure(f.window()));
  // The commands now reach the window's own procedure.
  f.Menu(2020);
  EXPECT_TRUE(f.ops.started.empty());
  EXPECT_EQ(1u, os::sim::OwnProcedureLog(f.window()).size());
}

TEST_F(SystemMenu, WithoutALanguageFileTheEntriesHaveNoTextsAndStillWork) {
  m.WriteFile("C:\\Tarnvale\\Data\\Lang\\1033.lng", "");
  ASSERT_TRUE(f.Start());
  EXPECT_EQ("Log(&L)\tCtrl+L", Entry(2).text) << "an added string falls back to its built-in English";
  EXPECT_EQ("(&A)", Entry(3).text);
  EXPECT_EQ("", Entry(1).text);
  f.Menu(2021);
  EXPECT_EQ((std::vector<std::string>{"boot 2021"}), f.ops.started);
}

}  // namespace
