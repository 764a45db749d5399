// Installing the PE on the local disk (Ctrl+I) on a simulated machine with
// the sample package: the two unpackings, the filled batch file, the boot
// store after one and two installs, every message of the failure table, and
// the mends: values that would run as commands are refused, success needs
// the boot entry, and the time-out is always a valid number.
#include <gtest/gtest.h>

#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <map>

#include "app/globals.h"
#include "app/language.h"
#include "extra/addwim_batch.h"
#include "os/ansi.h"
#include "os/sim/host_files.h"
#include "os/sim/sim.h"
#include "sys/text.h"
#include "tests/support/ops_machine.h"
#include "tests/support/tool_machines.h"
#include "tools/tvtool/boot_store.h"

namespace {

using app::LangString;
using os::Control;

constexpr const char* kEntry = "{ffffffff-3600-11de-8e71-fffffffffffe}";
constexpr const char* kDevice = "{ffffffff-3600-11de-8e71-ffffffffffff}";

// The boot-entry batch file as it must be, line by line, for these values.
std::vector<std::string> ExpectedBatch(const std::string& name, const std::string& wim, const std::string& sdi,
                                       const std::string& timeout) {
  const std::string e = kEntry, d = kDevice;
  // Every bcdedit line names the system folder's bcdedit, never a bare word.
  const std::string bcd = "C:\\Windows\\System32\\bcdedit.exe";
  const std::string note = "rem \xE6\xB3\xA8\xE9\x87\x8A\xEF\xBC\x9A";  // rem 注释：
  return {
      note + "PEName\xE3\x80\x81WIMFile\xE3\x80\x81SDIFile\xE3\x80\x81" "BootType(exe,efi)",
      bcd + " /delete " + d + " /cleanup",
      bcd + " /delete " + e + " /cleanup",
      bcd + " /create " + d + " /d \"" + name + "\" /device",
      bcd + " /create  " + e + " /d \"" + name + "\" /application osloader",
      bcd + " /set " + d + " ramdisksdidevice partition=C:",
      bcd + " /set " + d + " ramdisksdipath \\WinPE\\" + sdi,
      bcd + " /set  " + e + " device                  ramdisk=[C:]\\WinPE\\" + wim + "," + d,
      note + "bcdedit /set  " + e + " path                    \\windows\\system32\\boot\\winload.exe",
      bcd + " /set  " + e + " description             \"" + name + "\"",
      bcd + " /set  " + e + " locale                  zh-cn",
      bcd + " /set  " + e + " inherit                 {bootloadersettings}",
      bcd + " /set  " + e + " osdevice                ramdisk=[C:]\\WinPE\\" + wim + "," + d,
      bcd + " /set  " + e + " systemroot              \\windows",
      bcd + " /set  " + e + " detecthal               Yes",
      bcd + " /set  " + e + " winpe                   Yes",
      bcd + " /set  " + e + " ems                     no",
      bcd + " /displayorder " + e + " /addlast",
      "",
      bcd + " /timeout " + timeout,
  };
}

class Install : public test::OpsTest {
 protected:
  void PressCtrlI() { Key('I', true); }

  std::optional<tvtool::BootStore> Store() const { return tvtool::BootStore::Load(tvtool::BootStorePath(), 'C', nullptr); }

  // Every message box after the question, as "title|text".
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (size_t i = 1; i < Messages().size(); ++i) out.push_back(Messages()[i].title + "|" + Messages()[i].text);
    return out;
  }

  // Nothing ran, nothing was written, the window never left its idle state.
  void ExpectNothingDone(size_t mark) {
    EXPECT_TRUE(StartedSince(mark).empty());
    EXPECT_FALSE(m.Exists("C:\\WinPE"));
    EXPECT_FALSE(m.Exists(app::sTmpPath + "\\addwim.bat"));
    EXPECT_FALSE(os::sim::HostIsFile(tvtool::BootStorePath()));
    EXPECT_EQ(0, captionChanges);
    ExpectIdle();
  }

  void SetUp() override {
    test::OpsTest::SetUp();
    Start();
    window->onCaption = [this](Control c, const std::string&) { captionChanges += c == Control::kStatus; };
  }

  int captionChanges = 0;
};

TEST_F(Install, UnpacksBothFilesAndAddsTheBootEntry) {
  size_t mark = m.Started().size();
  PressCtrlI();
  ASSERT_EQ(2u, Messages().size()) << LastMessage();
  EXPECT_EQ(LangString(40), Messages()[0].text);
  EXPECT_EQ(LangString(8), Messages()[0].title);
  EXPECT_EQ(os::kMbOkCancel | os::kMbIconQuestion, Messages()[0].style);
  EXPECT_EQ(LangString(8) + "|" + LangString(46), Boxes()[0]);
  EXPECT_EQ(os::kMbIconInformation, Messages()[1].style);

  // The two unpackings, each file found in the image's sources folder and
  // put straight into C:\WinPE; then the batch file.
  std::vector<std::string> started = StartedSince(mark);
  ASSERT_GE(started.size(), 3u);
  const std::string x86 = "\"C:\\Tarnvale\\Data\\Bin\\x86.dll\"", iso = "\"C:\\Tarnvale\\PE\\TARNVA~1.ISO\"";
  EXPECT_EQ(x86 + " e " + iso + " -y -aoa -o\"C:\\WinPE\" boot.wim -r", started[0]);
  EXPECT_EQ(x86 + " e " + iso + " -y -aoa -o\"C:\\WinPE\" boot.sdi -r", started[1]);
  EXPECT_EQ("C:\\Windows\\System32\\cmd.exe /c " + app::sTmpPath + "\\addwim.bat", started[2]);
  EXPECT_EQ("C:\\Windows\\System32\\bcdedit.exe /enum " + std::string(kEntry), started.back());
  EXPECT_EQ("TARNVALE-SAMPLE boot image\r\n", m.ReadFile("C:\\WinPE\\boot.wim"));
  EXPECT_EQ("TARNVALE-SAMPLE ramdisk device\r\n", m.ReadFile("C:\\WinPE\\boot.sdi"));
  EXPECT_FALSE(m.Exists("C:\\WinPE\\sources"));
  EXPECT_FALSE(m.Exists(app::sTmpPath + "\\addwim.bat"));

  auto store = Store();
  ASSERT_TRUE(store);
  const tvtool::BootEntry* entry = store->Find(kEntry);
  ASSERT_NE(nullptr, entry);
  EXPECT_EQ("Tarnvale PE", entry->Get("description").value_or(""));
  EXPECT_EQ("ramdisk=[C:]\\WinPE\\boot.wim," + std::string(kDevice), entry->Get("device").value_or(""));
  EXPECT_EQ(entry->Get("device"), entry->Get("osdevice"));
  EXPECT_EQ("Yes", entry->Get("winpe").value_or(""));
  EXPECT_FALSE(entry->Get("path")) << "the loader path stays a comment";
  const tvtool::BootEntry* device = store->Find(kDevice);
  ASSERT_NE(nullptr, device);
  EXPECT_EQ("\\WinPE\\boot.sdi", device->Get("ramdisksdipath").value_or(""));
  EXPECT_EQ("{current} " + std::string(kEntry), store->Find("{bootmgr}")->Get("displayorder").value_or(""));
  EXPECT_EQ("5", store->Find("{bootmgr}")->Get("timeout").value_or(""));
  ExpectIdle();
  EXPECT_EQ(2, captionChanges);  // string 54 while it works, then 3
}

TEST_F(Install, ProgramsNamedLikeTheSystemsBesideTheProgramAreNotRun) {
  // The batch's interpreter and its bcdedit lines, and the check of the
  // entry afterwards, search no folder: what lies beside the program (the
  // command interpreter's first place to look) is never started.
  for (const char* name : {"cmd.exe", "bcdedit.exe"}) m.WriteFile(std::string("C:\\Tarnvale\\") + name, "planted");
  PressCtrlI();
  EXPECT_EQ(LangString(46), LastMessage());
  ASSERT_TRUE(Store());
  EXPECT_NE(nullptr, Store()->Find(kEntry));
}

TEST_F(Install, TheWindowShowsTheInstallWhileItRuns) {
  bool seen = false;
  window->onCaption = [&](Control c, const std::string& text) {
    if (c != Control::kStatus || text != LangString(54)) return;
    seen = true;
    EXPECT_FALSE(window->IsEnabled(Control::kCommand1));
    EXPECT_FALSE(window->IsEnabled(Control::kFsys));
  };
  PressCtrlI();
  EXPECT_TRUE(seen);
  EXPECT_EQ(LangString(46), LastMessage());
}

TEST_F(Install, TheBatchFileIsFilledExactlyAndWrittenInTheAnsiCodePage) {
  m.Update([](os::sim::Machine& mm) { mm.codePage = 936; });
  // The command interpreter keeps a copy of the batch file it is given.
  m.InstallProgram("C:\\Windows\\System32\\cmd.exe", "test-keep");
  const std::string name = "\xE5\xBE\xAE PE";  // 微 PE
  SetInstallKey("PEName", name);
  PressCtrlI();
  std::string kept = m.ReadFile(app::sTmpPath + "\\addwim.bat.kept");
  ASSERT_NE("<missing>", kept);
  EXPECT_FALSE(m.Exists(app::sTmpPath + "\\addwim.bat")) << "deleted after its run";
  std::vector<std::string> expected = ExpectedBatch(name, "boot.wim", "boot.sdi", "5");
  std::string expectedText;
  for (const std::string& line : expected) expectedText += line + "\r\n";
  EXPECT_EQ(os::ToCodePage(936, expectedText), kept);
  std::vector<std::string> lines = sys::Split(os::FromCodePage(936, kept), "\r\n");
  ASSERT_EQ(21u, lines.size());  // 20 lines and the final line break
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], lines[i]) << "line " << i + 1;
  // Nothing ran the batch here, so there is no boot entry: no success.
  EXPECT_EQ(LangString(39) + "|" + LangString(70), Boxes().back());
}

TEST_F(Install, TwoInstallsLeaveOneEntryWithTheSecondsSettings) {
  PressCtrlI();
  ASSERT_EQ(LangString(46), LastMessage());
  SetInstallKey("PEName", "Second PE");
  SetInstallKey("TimeOut", "12");
  PressCtrlI();
  ASSERT_EQ(LangString(46), LastMessage());
  auto store = Store();
  ASSERT_TRUE(store);
  int entries = 0;
  for (const tvtool::BootEntry& e : store->entries()) entries += e.type == "osloader";
  EXPECT_EQ(2, entries) << "the running system and one PE entry";
  EXPECT_EQ("Second PE", store->Find(kEntry)->Get("description").value_or(""));
  EXPECT_EQ("{current} " + std::string(kEntry), store->Find("{bootmgr}")->Get("displayorder").value_or(""));
  EXPECT_EQ("12", store->Find("{bootmgr}")->Get("timeout").value_or(""));
}

TEST_F(Install, FileNamesWithBlanksReachTheArchiverWhole) {
  // A PE image (any archive the archiver reads) whose two files have blanks
  // in their names, one of them in a sub-folder.
  const std::string work = m.Host("C:\\work");
  test::WriteFiles(work, {{"sources/boot image.wim", "wim"}, {"ram disk.sdi", "sdi"}, {"boot", "not this"}});
  std::filesystem::remove(m.Host("C:\\Tarnvale\\PE\\TarnvalePE.iso"));
  ASSERT_EQ(0, system(("cd '" + work + "' && 7zz a -bso0 -bd -t7z '" + m.Host("C:\\Tarnvale\\PE\\TarnvalePE.iso") +
                       "' sources 'ram disk.sdi' boot").c_str()));
  SetInstallKey("WIMFile", "boot image.wim");
  SetInstallKey("SDIFile", "ram disk.sdi");
  size_t mark = m.Started().size();
  PressCtrlI();
  std::vector<std::string> started = StartedSince(mark);
  ASSERT_GE(started.size(), 2u);
  EXPECT_TRUE(sys::Contains(started[0], "-o\"C:\\WinPE\" \"boot image.wim\" -r")) << started[0];
  EXPECT_TRUE(sys::Contains(started[1], "-o\"C:\\WinPE\" \"ram disk.sdi\" -r")) << started[1];
  EXPECT_EQ("wim", m.ReadFile("C:\\WinPE\\boot image.wim"));
  EXPECT_EQ("sdi", m.ReadFile("C:\\WinPE\\ram disk.sdi"));
  EXPECT_FALSE(m.Exists("C:\\WinPE\\boot")) << "a blank split the name in two";
  EXPECT_EQ(LangString(46), LastMessage());
}

TEST_F(Install, WithoutPENameTheEntryIsCalledWinPE) {
  SetInstallKey("PEName", "");
  PressCtrlI();
  EXPECT_EQ(LangString(46), LastMessage());
  EXPECT_EQ("WinPE", Store()->Find(kEntry)->Get("description").value_or(""));
}

TEST_F(Install, CancelAndTheSettingsCheckedBeforeAnythingRuns) {
  size_t mark = m.Started().size();
  answers = {os::kIdCancel};
  PressCtrlI();
  EXPECT_EQ(1u, Messages().size());
  ExpectNothingDone(mark);

  SetInstallKey("WIMFile", "");
  PressCtrlI();
  EXPECT_EQ(LangString(39) + "|" + LangString(42), Boxes().back());
  EXPECT_EQ(os::kMbIconStop, Messages().back().style);
  SetInstallKey("WIMFile", "boot.wim");
  SetInstallKey("SDIFile", "");
  PressCtrlI();
  EXPECT_EQ(LangString(39) + "|" + LangString(43), Boxes().back());
  ExpectNothingDone(mark);
}

TEST_F(Install, NoPEImageGives41) {
  std::filesystem::remove(m.Host("C:\\Tarnvale\\PE\\TarnvalePE.iso"));
  size_t mark = m.Started().size();
  PressCtrlI();
  EXPECT_EQ(LangString(8) + "|" + LangString(41), Boxes().back());
  EXPECT_EQ(os::kMbIconStop, Messages().back().style);
  ExpectNothingDone(mark);
}

TEST_F(Install, AFileMissingFromTheImageIsNamed) {
  SetInstallKey("WIMFile", "other.wim");
  PressCtrlI();
  EXPECT_EQ(LangString(39) + "|" + LangString(44) + "[other.wim]\xE3\x80\x82", Boxes().back());
  EXPECT_EQ(os::kMbIconStop, Messages().back().style);
  EXPECT_FALSE(os::sim::HostIsFile(tvtool::BootStorePath())) << "bcdedit never ran";
  ExpectIdle();

  SetInstallKey("WIMFile", "boot.wim");
  SetInstallKey("SDIFile", "other.sdi");
  PressCtrlI();
  EXPECT_EQ(LangString(39) + "|" + LangString(45) + "[other.sdi]\xE3\x80\x82", Boxes().back());
  EXPECT_TRUE(m.Exists("C:\\WinPE\\boot.wim")) << "the boot image stays";
  EXPECT_FALSE(os::sim::HostIsFile(tvtool::BootStorePath()));
  ExpectIdle();
}

TEST_F(Install, ValuesThatWouldRunAsCommandsAreRefusedBeforeAnythingRuns) {
  size_t mark = m.Started().size();
  const std::map<std::string, std::string> good = {{"PEName", "Tarnvale PE"}, {"WIMFile", "boot.wim"},
                                                   {"SDIFile", "boot.sdi"}};
  for (const auto& [key, value] : good) {
    for (const char* bad : {"x\" & calc", "%COMSPEC%", "a&b", "a|b", "a<b", "a>b", "a^b", "a\x01" "b", "a\x7F" "b"}) {
      SetInstallKey(key, bad);
      size_t shown = Messages().size();
      PressCtrlI();
      ASSERT_EQ(shown + 2, Messages().size()) << key << "=" << bad;
      EXPECT_EQ(LangString(69) + "[" + key + "]", Messages().back().text) << key << "=" << bad;
      EXPECT_EQ(LangString(39), Messages().back().title);
      EXPECT_EQ(os::kMbIconStop, Messages().back().style);
    }
    SetInstallKey(key, value);
  }
  ExpectNothingDone(mark);
  // Letters of any script, blanks and the usual punctuation are fine.
  SetInstallKey("PEName", "\xE5\xBE\xAE PE (x64) - v1.2_b, 'test'!");
  PressCtrlI();
  EXPECT_EQ(LangString(46), LastMessage());
}

TEST_F(Install, ALanguageFileWithoutTheNewStringsShowsTheBuiltInText) {
  app::LangStrings[69].clear();
  SetInstallKey("PEName", "a&b");
  PressCtrlI();
  EXPECT_NE(std::string::npos, LastMessage().find("not allowed")) << LastMessage();
  EXPECT_TRUE(sys::Contains(LastMessage(), "[PEName]"));
}

TEST_F(Install, SuccessOnlyWhenTheBootEntryExistsAfterwards) {
  // bcdedit cannot create entries: the batch runs, the entry is missing.
  m.Update([](os::sim::Machine& mm) { mm.faults["bcdedit"] = "exit-early@create"; });
  PressCtrlI();
  EXPECT_EQ(LangString(39) + "|" + LangString(70), Boxes().back());
  EXPECT_EQ(os::kMbIconStop, Messages().back().style);
  EXPECT_EQ(nullptr, Store()->Find(kEntry));
  ExpectIdle();

  // An entry of an earlier install does not pass for this one when bcdedit
  // fails altogether.
  m.Update([](os::sim::Machine& mm) { mm.faults.erase("bcdedit"); });
  PressCtrlI();
  ASSERT_EQ(LangString(46), LastMessage());
  m.Update([](os::sim::Machine& mm) { mm.faults["bcdedit"] = "exit-early"; });
  PressCtrlI();
  EXPECT_EQ(LangString(39) + "|" + LangString(70), Boxes().back());

  // Without bcdedit at all.
  m.Update([](os::sim::Machine& mm) { mm.faults["bcdedit"] = "missing"; });
  PressCtrlI();
  EXPECT_EQ(LangString(39) + "|" + LangString(70), Boxes().back());
  ExpectIdle();
}

TEST_F(Install, ABcdeditThatHangsOnTheEntrysLookIsEndedAndTheInstallFails) {
  m.Update([](os::sim::Machine& mm) {
    mm.timeScale = 1000;  // the minute's limit passes in 60 real ms
    mm.faults["bcdedit"] = "hang@enum";
  });
  auto begin = std::chrono::steady_clock::now();
  PressCtrlI();
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count(), 60);
  EXPECT_EQ(LangString(39) + "|" + LangString(70), Boxes().back());
  ExpectIdle();
}

TEST_F(Install, AnyTimeOutGivesAValidNumberInTheBatch) {
  m.InstallProgram("C:\\Windows\\System32\\cmd.exe", "test-keep");
  for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
           {"", "0"}, {"abc", "0"}, {"-5", "30"}, {"70000", "65535"}, {"3.5s", "4"}}) {
    SetInstallKey("TimeOut", text);
    PressCtrlI();
    std::vector<std::string> lines = sys::Split(m.ReadFile(app::sTmpPath + "\\addwim.bat.kept"), "\r\n");
    ASSERT_EQ(21u, lines.size());
    EXPECT_EQ("C:\\Windows\\System32\\bcdedit.exe /timeout " + expected, lines[19]) << "TimeOut=" << text;
  }
}

// --- The batch file's parts ---------------------------------------------------------

TEST(AddWimBatch, TimeOutTextStaysWithinTheRange) {
  EXPECT_EQ("0", extra::TimeOutText(""));
  EXPECT_EQ("30", extra::TimeOutText("  30 seconds"));
  EXPECT_EQ("4", extra::TimeOutText("4.5"));
  EXPECT_EQ("2", extra::TimeOutText("2.5"));
  EXPECT_EQ("0", extra::TimeOutText("-0.4"));
  EXPECT_EQ("65535", extra::TimeOutText("65535.4"));
  EXPECT_EQ("65535", extra::TimeOutText("1" + std::string(400, '0')));
  // A negative time-out keeps the menu up as long as a fresh Windows does.
  EXPECT_EQ("30", extra::TimeOutText("-1"));
  EXPECT_EQ("30", extra::TimeOutText("-0.6"));
  EXPECT_EQ("0", extra::TimeOutText("-0.5"));
  EXPECT_EQ("30", extra::TimeOutText("-" + std::string(400, '9')));
}

TEST(AddWimBatch, ControlCharactersOfBothSetsAreUnsafe) {
  for (const char* bad : {"a\tb", "a\rb", "a\nb", "\x1B", "a\xC2\x80", "a\xC2\x9F" "b"})
    EXPECT_TRUE(extra::UnsafeValue(bad)) << bad;
  // U+00A0 shares its lead byte with the second set and is no control character.
  for (const char* fine : {"a\xC2\xA0" "b", "\xC3\x84rger", "boot.wim", "PE 10 (x64) v1.2_b, 'a'!", ""})
    EXPECT_FALSE(extra::UnsafeValue(fine)) << fine;
}

}  // namespace
