// The log file on both builds: where it goes, what it keeps of earlier runs,
// the size limit cut at whole lines, the one attempt after a failed write,
// and the records' wording that a reader relies on.
#include <gtest/gtest.h>

#include <string>

#include "os/files.h"
#include "os/system.h"
#include "sys/log_records.h"
#include "sys/run_log.h"
#include "sys/shell_wait.h"
#include "tests/support/test_folder.h"

namespace {

using sys::kLogLimitBytes;

// Every line as the log writes it: a time stamp, two blanks, the text, CR LF.
bool IsLogLine(const std::string& line) {
  // "2026-12-09 14:03:07.045  "
  if (line.size() < 25 || line[4] != '-' || line[10] != ' ' || line[19] != '.' || line.substr(23, 2) != "  ")
    return false;
  return line.find('\n') == std::string::npos;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at));
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

class RunLog : public ::testing::Test {
 protected:
  void TearDown() override { sys::StopLog(); }
  std::string LogFile() const { return folder_.Path(sys::kLogFileName); }
  test::TestFolder folder_;
};

TEST(CutLogFront, KeepsTheNewestWholeLinesWithinTheLimit) {
  EXPECT_EQ("a\nbb\n", sys::CutLogFront("a\nbb\n", 5)) << "a text within the limit stays whole";
  EXPECT_EQ("bb\n", sys::CutLogFront("a\nbb\n", 4)) << "the first line is dropped whole";
  EXPECT_EQ("bb\n", sys::CutLogFront("a\nbb\n", 3)) << "a cut exactly at a line's start keeps that line";
  EXPECT_EQ("", sys::CutLogFront("a\nbb\n", 2)) << "no part of a line is kept";
  EXPECT_EQ("", sys::CutLogFront("no line end at all", 5));
}

TEST(OneLogLine, EveryEventStaysOneLine) {
  EXPECT_EQ("HD1: stick / Repartition /  / Go on?", sys::OneLogLine("HD1: stick\rRepartition\r\n\rGo on?"));
  EXPECT_EQ("a b c", sys::OneLogLine("a\tb\x01" "c"));
  EXPECT_EQ("\xE6\x97\xA5\xE5\xBF\x97", sys::OneLogLine("\xE6\x97\xA5\xE5\xBF\x97")) << "UTF-8 passes unchanged";
}

TEST(ExitCodeText, StatusCodesAlsoInHex) {
  EXPECT_EQ("0", sys::ExitCodeText(0u));
  EXPECT_EQ("259", sys::ExitCodeText(259u));
  EXPECT_EQ("3221225477 (0xC0000005)", sys::ExitCodeText(0xC0000005u));
  EXPECT_EQ("unknown", sys::ExitCodeText(std::nullopt));
}

TEST_F(RunLog, GoesBesideTheProgramAndKeepsEarlierRunsNewestLast) {
  folder_.Write(sys::kLogFileName, "2026-01-01 10:00:00.000  an earlier run\r\n");
  ASSERT_EQ(LogFile(), sys::StartLog(folder_.Root()));
  sys::Log("first event");
  sys::LogCheck("layout", false, "1 partition rows [1|x]");
  std::vector<std::string> lines = Lines(folder_.Read(sys::kLogFileName));
  ASSERT_EQ(4u, lines.size());
  EXPECT_EQ("2026-01-01 10:00:00.000  an earlier run", lines[0]);
  EXPECT_TRUE(IsLogLine(lines[1]) && lines[1].ends_with("---- a new run ----")) << lines[1];
  EXPECT_TRUE(IsLogLine(lines[2]) && lines[2].ends_with("  first event")) << lines[2];
  EXPECT_TRUE(lines[3].ends_with("  check layout: FAILED - 1 partition rows [1|x]")) << lines[3];
  EXPECT_EQ(folder_.Read(sys::kLogFileName).substr(lines[0].size() + 2), sys::ThisRunLog())
      << "this run's log is the file's part since the start";

  sys::StartLog(folder_.Root());
  EXPECT_EQ(1u, Lines(sys::ThisRunLog()).size()) << "a new run forgets the old run's lines";
  EXPECT_EQ(std::string::npos, sys::ThisRunLog().find("first event"));
  EXPECT_NE(std::string::npos, folder_.Read(sys::kLogFileName).find("first event")) << "the file keeps them";
}

TEST_F(RunLog, ANewFileBeginsWithAByteOrderMark) {
  sys::StartLog(folder_.Root());
  sys::Log("\xE6\x97\xA5\xE5\xBF\x97");
  EXPECT_EQ("\xEF\xBB\xBF" + sys::ThisRunLog(), folder_.Read(sys::kLogFileName));
}

TEST_F(RunLog, AFolderThatCannotBeWrittenSendsTheLogToTheTemporaryFolder) {
  std::string temp = os::TempFolder();
  ASSERT_FALSE(temp.empty());
  std::string tempLog = temp + "\\" + sys::kLogFileName;
  bool existed = os::PathExists(tempLog);
  std::string path = sys::StartLog(folder_.Path("no such folder"));
  sys::Log("an event");
  EXPECT_EQ(tempLog, path);
  EXPECT_TRUE(sys::LogWriting());
  EXPECT_FALSE(os::PathExists(folder_.Path("no such folder")));
  sys::StopLog();
  std::optional<uint64_t> size = os::FileSize(tempLog);
  EXPECT_TRUE(size && *size >= sys::ThisRunLog().size());
  if (!existed) os::RemoveFile(tempLog);
}

TEST_F(RunLog, AFailedWriteIsNotTriedAgainInTheSameRun) {
  ASSERT_EQ(LogFile(), sys::StartLog(folder_.Root()));
  sys::Log("written");
  EXPECT_NE(std::string::npos, folder_.Read(sys::kLogFileName).find("written"));
  // A folder in the file's place: no write can succeed.
  ASSERT_TRUE(os::RemoveFile(LogFile()));
  ASSERT_TRUE(os::CreateFolder(LogFile()));
  sys::Log("refused");
  EXPECT_FALSE(sys::LogWriting());
  ASSERT_TRUE(os::ShellDelete(LogFile()));
  sys::Log("not tried");
  EXPECT_FALSE(os::PathExists(LogFile())) << "no second attempt after a failed write";
  EXPECT_NE(std::string::npos, sys::ThisRunLog().find("refused")) << "this run's lines are still kept";
  EXPECT_NE(std::string::npos, sys::ThisRunLog().find("not tried"));
  EXPECT_EQ(LogFile(), sys::LogPath()) << "the file written so far can still be named";
}

TEST_F(RunLog, AStartThatFailsIsLoggedWithItsErrorAndWithoutThePassword) {
  sys::StartLog(folder_.Root());
  uint32_t error = 0;
  EXPECT_FALSE(sys::ShellWait(folder_.Path("missing.exe") + " x -psecret -y -o\"x\"", 0, &error));
  EXPECT_EQ(2u, error) << "the caller still gets the error";
  EXPECT_NE(std::string::npos, sys::ThisRunLog().find("  command could not start (error 2): " +
                                                      folder_.Path("missing.exe") + " x -p*** -y -o\"x\"\r\n"))
      << sys::ThisRunLog();
  EXPECT_EQ(std::string::npos, sys::ThisRunLog().find("secret"));
}

TEST_F(RunLog, AFileOverTheLimitIsCutFromTheFrontAtWholeLines) {
  // 1.5 MB of earlier runs, lines of different lengths.
  std::string old;
  for (int n = 0; old.size() < kLogLimitBytes + kLogLimitBytes / 2; ++n)
    old += "2026-01-01 10:00:00.000  earlier line " + std::to_string(n) + std::string(static_cast<size_t>(n % 97), 'x') + "\r\n";
  folder_.Write(sys::kLogFileName, old);
  sys::StartLog(folder_.Root());
  sys::Log("newest");
  std::string file = folder_.Read(sys::kLogFileName);
  EXPECT_LT(file.size(), kLogLimitBytes);
  ASSERT_EQ("\xEF\xBB\xBF", file.substr(0, 3)) << "a file written anew says it is UTF-8";
  file.erase(0, 3);
  EXPECT_GT(file.size(), kLogLimitBytes / 2) << "the newest earlier runs are kept";
  std::vector<std::string> lines = Lines(file);
  ASSERT_GT(lines.size(), 3u);
  EXPECT_TRUE(IsLogLine(lines[0]) && lines[0].find("earlier line ") == 25) << lines[0].substr(0, 60);
  EXPECT_NE(std::string::npos, old.find("\r\n" + lines[0] + "\r\n")) << "the first line kept is a whole line";
  EXPECT_EQ(old.substr(old.size() - (file.size() - sys::ThisRunLog().size())), file.substr(0, file.size() - sys::ThisRunLog().size()))
      << "what is kept of the earlier runs is their end, unchanged";
  EXPECT_TRUE(lines.back().ends_with("  newest"));

  // A run that writes more than the limit by itself stays under it too.
  std::string event(200, 'e');
  for (size_t written = 0; written < kLogLimitBytes + kLogLimitBytes / 4; written += event.size()) sys::Log(event);
  sys::Log("last of all");
  file = folder_.Read(sys::kLogFileName);
  EXPECT_LT(file.size(), kLogLimitBytes);
  ASSERT_EQ("\xEF\xBB\xBF", file.substr(0, 3));
  file.erase(0, 3);
  lines = Lines(file);
  EXPECT_TRUE(IsLogLine(lines.front())) << lines.front().substr(0, 60);
  EXPECT_TRUE(lines.back().ends_with("  last of all"));
  EXPECT_TRUE(sys::LogWriting());
}

}  // namespace
