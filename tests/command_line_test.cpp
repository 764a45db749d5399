// Command-line splitting. The same vectors run against CommandLineToArgvW
// (Windows build) and the simulated machine's own split (host build).
#include <gtest/gtest.h>

#include "os/system.h"

namespace {

struct SplitVector {
  const char* line;
  std::vector<std::string> args;
};

const SplitVector kSplits[] = {
    {"prog a b", {"prog", "a", "b"}},
    {"\"C:\\Program Files\\x.exe\" /lng:2052", {"C:\\Program Files\\x.exe", "/lng:2052"}},
    {"prog \"a b\" c", {"prog", "a b", "c"}},
    {"prog a\\\\\\\"b", {"prog", "a\\\"b"}},
    {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},
    {"prog a\\b\\c", {"prog", "a\\b\\c"}},
    // Inside quotes, "" gives a quote and ends the quoting.
    {"prog \"a\"\"b\" c", {"prog", "a\"b c"}},
    {"prog \"a\"\"\"b\" c", {"prog", "a\"b", "c"}},
    {"prog \"a\"\"b c\" d", {"prog", "a\"b", "c d"}},
    {"prog a\"\"b c", {"prog", "ab", "c"}},
    {"prog \"\"", {"prog", ""}},
    {"prog a   b\t c  ", {"prog", "a", "b", "c"}},
    {"\"C:\\dir\\\" next", {"C:\\dir\\", "next"}},
    {" prog a", {"", "prog", "a"}},
    {"prog /source:x /LNG:1033", {"prog", "/source:x", "/LNG:1033"}},
};

class SplitCommandLine : public ::testing::TestWithParam<SplitVector> {};

TEST_P(SplitCommandLine, FollowsThePlatformRules) {
  auto args = os::SplitCommandLine(GetParam().line);
  ASSERT_TRUE(args.has_value());
  EXPECT_EQ(GetParam().args, *args) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Vectors, SplitCommandLine, ::testing::ValuesIn(kSplits));

TEST(SplitCommandLineEdge, EmptyLineGivesTheProgramPath) {
  auto args = os::SplitCommandLine("");
  ASSERT_TRUE(args.has_value());
  ASSERT_EQ(1u, args->size());
  EXPECT_EQ(os::ModulePath(), (*args)[0]);
}

}  // namespace
