// The About window, opened from the system menu on a simulated machine:
// its lines by locale, the links and the PE refusal, and the falling logo
// with the tune that plays when it rests (the simulated sequencer logs
// every MCI command in mci.log).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/language.h"
#include "os/events.h"
#include "os/resources.h"
#include "os/sim/mci_devices.h"
#include "os/sim/sim.h"
#include "tests/support/bar_spy.h"
#include "tests/support/started_form.h"
#include "ui/about_links.h"
#include "ui/about_model.h"
#include "ui/frm_about.h"

namespace {

using os::AboutTimer;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class AboutTest : public ::testing::Test {
 protected:
  explicit AboutTest(const std::function<void(os::sim::Machine&)>& change = nullptr)
      : m([&](os::sim::Machine& mm) {
          mm.timeScale = 20;
          if (change) change(mm);
        }) {}

  // Opens the window through the menu; `work` does what a person does while
  // it is open, then it is closed.
  void Open(const std::function<void(ui::AboutModel&)>& work) {
    f.window().SetAboutDriver([&](ui::AboutModel& a) {
      if (work) work(a);
    });
    EXPECT_EQ(-1, f.Menu(2004));
  }
  // Lets the logo fall as the timers would: Timer2's five seconds pass
  // after `beforeTimer2` ticks. The ticks it took, or -1 when it never rested.
  int Drop(ui::AboutModel& a, int beforeTimer2 = 320) {
    a.ClickImage();
    for (int tick = 1; tick <= 3000; ++tick) {
      if (tick == beforeTimer2) a.FireTimer(AboutTimer::kTimer2);
      a.FireTimer(AboutTimer::kTimer1);
      if (!a.TimerEnabled(AboutTimer::kTimer1)) return tick;
    }
    return -1;
  }
  // Lets simulated time pass.
  void Pass(uint64_t ms) {
    uint64_t until = os::TickCount() + ms;
    while (os::TickCount() < until) os::WaitForEvents(static_cast<uint32_t>(until - os::TickCount()));
  }
  std::vector<std::string> Mci() {
    std::vector<std::string> out;
    std::istringstream in(Slurp(m.Folder() + "/mci.log"));
    std::string line;
    while (std::getline(in, line)) out.push_back(line.substr(0, line.find('\t')));
    return out;
  }
  size_t Count(const std::vector<std::string>& log, const std::string& command) {
    return static_cast<size_t>(std::count(log.begin(), log.end(), command));
  }

  test::SimMachine m;
  test::StartedForm f{m};
};

TEST_F(AboutTest, InEnglishTheLinesTheCaptionAndTheLinksInARow) {
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) {
    EXPECT_EQ("About Tarnvale", a.Title());
    EXPECT_EQ("Tarnvale 12.0.0", a.Label(0));
    EXPECT_EQ("Made by the Tarnvale project", a.Label(1));
    EXPECT_EQ("Freeware |", a.Label(2));
    EXPECT_TRUE(a.UsesOwnerIcon());
    EXPECT_EQ(0xF0F0F0u, a.BackColor());
    // No donation page in this build: no donate link, nor the bar before it.
    EXPECT_FALSE(a.LabelVisible(4));
    EXPECT_FALSE(a.LabelVisible(5));
    for (int i = 3; i <= 5; ++i) EXPECT_EQ(a.LabelLeft(i - 1) + a.LabelWidth(i - 1) + 80, a.LabelLeft(i)) << i;
    EXPECT_FALSE(a.Prog1Shown());
    a.HoverLabel(0);
    EXPECT_FALSE(a.HandCursor());
    a.HoverLabel(3);
    EXPECT_TRUE(a.HandCursor());
  });
  EXPECT_TRUE(ui::DonateUrl().empty());
}

class AboutInChinese : public AboutTest {
 protected:
  AboutInChinese() : AboutTest([](os::sim::Machine& mm) {
    mm.locale = 2052;
    mm.codePage = 936;
  }) {}
};

TEST_F(AboutInChinese, KeepsItsChineseCaptionAndMakerLine) {
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) {
    EXPECT_EQ("\xE5\x85\xB3\xE4\xBA\x8E Tarnvale", a.Title());  // 关于 Tarnvale
    EXPECT_NE(std::string::npos, a.Label(1).find("\xE5\x87\xBA\xE5\x93\x81"));  // 出品
    EXPECT_EQ("Tarnvale 12.0.0", a.Label(0));
  });
}

TEST_F(AboutTest, TheGuideLinkOpensTheGuideBesideTheProgram) {
  m.WriteFile("C:\\Tarnvale\\Tarnvale-Guide.txt", "guide");
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) {
    a.ClickLabel(3);
    a.ClickLabel(0);  // not a link
  });
  EXPECT_EQ("C:\\Tarnvale\\Tarnvale-Guide.txt\t\t\t1\n", Slurp(m.Folder() + "/shell-open.log"));
  EXPECT_TRUE(f.window().Messages().empty());
}

TEST_F(AboutTest, AMissingGuideIsReportedAsAMissingFileAndNothingIsOpened) {
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) { a.ClickLabel(3); });
  ASSERT_EQ(1u, f.window().Messages().size());
  EXPECT_EQ(app::LangString(74) + "\nC:\\Tarnvale\\Tarnvale-Guide.txt", f.window().Messages()[0].text);
  EXPECT_EQ(os::kMbIconStop, f.window().Messages()[0].style);
  EXPECT_FALSE(std::filesystem::exists(m.Folder() + "/shell-open.log"));
}

TEST_F(AboutTest, AShellThatCannotOpenTheLinkGivesMessage58) {
  m.WriteFile("C:\\Tarnvale\\Tarnvale-Guide.txt", "guide");
  m.Update([](os::sim::Machine& mm) { mm.faults["shell-open"] = "fail"; });
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) { a.ClickLabel(3); });
  ASSERT_EQ(1u, f.window().Messages().size());
  EXPECT_EQ(app::LangString(58), f.window().Messages()[0].text);
  EXPECT_EQ(app::LangString(10), f.window().Messages()[0].title);
  EXPECT_EQ(os::kMbIconStop, f.window().Messages()[0].style);
}

TEST_F(AboutTest, InsideAPeSystemTheLinksOpenNothing) {
  m.Update([](os::sim::Machine& mm) { mm.env["SYSTEMDRIVE"] = "X:"; });
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) { a.ClickLabel(3); });
  ASSERT_EQ(1u, f.window().Messages().size());
  EXPECT_EQ("Tips:", f.window().Messages()[0].title);
  EXPECT_EQ("PE environment is not available.", f.window().Messages()[0].text);
  EXPECT_EQ(os::kMbIconInformation, f.window().Messages()[0].style);
  EXPECT_EQ("", Slurp(m.Folder() + "/shell-open.log"));
}

TEST_F(AboutTest, TheLogoFallsBouncesRestsAndTheTunePlaysWithProg1FollowingIt) {
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) {
    // Prog1 is a progress bar control: its bar window is there from the
    // start, with the control's defaults, in a container that is hidden.
    ASSERT_TRUE(a.Prog1Window().HasBar());
    EXPECT_EQ(0x50000000u, a.Prog1Window().BarStyle());
    EXPECT_EQ(100, a.Prog1Max());
    test::BarSpy spy(a.Prog1Window());
    EXPECT_TRUE(Mci().empty());
    a.ClickImage();
    EXPECT_TRUE(a.TimerEnabled(AboutTimer::kTimer1));
    EXPECT_TRUE(a.TimerEnabled(AboutTimer::kTimer2));
    EXPECT_EQ(5000u, a.TimerInterval(AboutTimer::kTimer2));
    int top = a.ImageTop();
    for (int i = 0; i < 20; ++i) a.FireTimer(AboutTimer::kTimer1);
    EXPECT_GT(a.ImageTop(), top);
    // The logo never leaves the top of the window, and bounces back up.
    bool rose = false;
    int last = a.ImageTop();
    for (int i = 0; i < 150; ++i) {
      a.FireTimer(AboutTimer::kTimer1);
      rose = rose || a.ImageTop() < last;
      last = a.ImageTop();
      EXPECT_GE(a.ImageTop(), 0);
    }
    EXPECT_TRUE(rose);
    int ticks = Drop(a);
    ASSERT_GT(ticks, 0);
    EXPECT_GT(a.ImageTop(), 1000);
    EXPECT_EQ(1, a.Beeps());
    EXPECT_EQ(200u, a.TimerInterval(AboutTimer::kTimer2));
    EXPECT_TRUE(a.TimerEnabled(AboutTimer::kTimer2));
    // The whole length, above 9999 milliseconds.
    EXPECT_EQ(12800, a.Prog1Max());
    EXPECT_TRUE(a.Prog1Shown());
    EXPECT_EQ(std::vector<std::string>{"SETRANGE32 0 12800"}, spy.Take());
    auto device = os::sim::FindMciDevice("MIDI");
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->playing);
    EXPECT_EQ("C:\\Windows\\Temp\\music.res", device->file);
    Pass(3000);
    a.FireTimer(AboutTimer::kTimer2);
    EXPECT_GE(a.Prog1Value(), 3000);
    EXPECT_LE(a.Prog1Value(), 12800);
    EXPECT_EQ(std::vector<std::string>{"SETPOS " + std::to_string(a.Prog1Value()) + " 0"}, spy.Take());
  });
  // The tune was written out from the program's resources, and closed with the window.
  EXPECT_EQ(os::LoadResourceData(101, "CUSTOM").value_or("?"), m.ReadFile("C:\\Windows\\Temp\\music.res"));
  auto log = Mci();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ("open \"C:\\Windows\\Temp\\music.res\" alias MIDI type sequencer", log.front());
  EXPECT_EQ("close MIDI", log.back());
  EXPECT_FALSE(os::sim::FindMciDevice("MIDI"));
}

TEST_F(AboutTest, ASecondClickWhileTheTunePlaysDoesNothing) {
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) {
    ASSERT_GT(Drop(a), 0);
    int top = a.ImageTop();
    a.ClickImage();
    EXPECT_FALSE(a.TimerEnabled(AboutTimer::kTimer1));
    a.FireTimer(AboutTimer::kTimer1);
    EXPECT_EQ(top, a.ImageTop());
    EXPECT_EQ(1u, Count(Mci(), "open \"C:\\Windows\\Temp\\music.res\" alias MIDI type sequencer"));
  });
}

TEST_F(AboutTest, ALogoAtRestStaysAtRestWhenTheFiveSecondTimerComesLate) {
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) {
    // Ticks came fast: 500 of them before Timer2's five seconds.
    ASSERT_GT(Drop(a, 100000), 0);
    a.FireTimer(AboutTimer::kTimer2);
    EXPECT_EQ(200u, a.TimerInterval(AboutTimer::kTimer2));
    a.ClickImage();
    EXPECT_FALSE(a.TimerEnabled(AboutTimer::kTimer1));
  });
  EXPECT_EQ(1u, Count(Mci(), "close MIDI"));
}

TEST_F(AboutTest, TheTuneStartsAgainAtItsEndAndIsWrittenOutAgainWhenDeleted) {
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) {
    ASSERT_GT(Drop(a), 0);
    std::filesystem::remove(m.Host("C:\\Windows\\Temp\\music.res"));
    Pass(13000);
    size_t before = Mci().size();
    a.FireTimer(AboutTimer::kTimer2);  // finds the end
    auto log = Mci();
    ASSERT_GE(log.size(), before + 3);
    // From the end: closed, opened from the file written out again, played.
    EXPECT_EQ((std::vector<std::string>{"close MIDI", "open \"C:\\Windows\\Temp\\music.res\" alias MIDI type sequencer",
                                        "set MIDI time format milliseconds", "play MIDI"}),
              std::vector<std::string>(log.end() - 4, log.end()));
    EXPECT_TRUE(m.Exists("C:\\Windows\\Temp\\music.res"));
    EXPECT_TRUE(os::sim::FindMciDevice("MIDI"));
    EXPECT_TRUE(a.TimerEnabled(AboutTimer::kTimer2));
  });
  auto log = Mci();
  EXPECT_EQ(2u, Count(log, "open \"C:\\Windows\\Temp\\music.res\" alias MIDI type sequencer"));
  EXPECT_EQ(2u, Count(log, "close MIDI"));
}

TEST_F(AboutTest, TheTuneIsWrittenAfreshOverAFileThatWasThereAlready) {
  // Left by an older run, or planted: never what is played.
  m.WriteFile("C:\\Windows\\Temp\\music.res", "not the tune");
  ASSERT_TRUE(f.Start());
  auto tune = os::LoadResourceData(101, "CUSTOM");
  ASSERT_TRUE(tune);
  Open([&](ui::AboutModel& a) {
    ASSERT_GT(Drop(a), 0);
    EXPECT_EQ(*tune, Slurp(m.Host("C:\\Windows\\Temp\\music.res")));
    EXPECT_TRUE(os::sim::FindMciDevice("MIDI"));
  });
}

TEST_F(AboutTest, WithoutASoundDeviceTheWindowStaysQuietAndClosesWithoutAnMciError) {
  m.Update([](os::sim::Machine& mm) { mm.faults["mci"] = "no-device"; });
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) {
    ASSERT_GT(Drop(a), 0);
    EXPECT_FALSE(a.TimerEnabled(AboutTimer::kTimer2));
    EXPECT_FALSE(a.Prog1Shown());
  });
  EXPECT_TRUE(f.window().Messages().empty());
  auto log = Mci();
  ASSERT_EQ(1u, log.size());
  EXPECT_EQ(0u, log[0].rfind("open ", 0));
}

TEST_F(AboutTest, ClosingWithoutTheTuneSendsNothingToMci) {
  ASSERT_TRUE(f.Start());
  Open([&](ui::AboutModel& a) {
    a.ClickImage();
    for (int i = 0; i < 30; ++i) a.FireTimer(AboutTimer::kTimer1);
  });
  EXPECT_TRUE(Mci().empty());
}

}  // namespace
