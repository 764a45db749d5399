// The private-profile calls, vector by vector. The same vectors run against
// the simulated machine (host build) and the real Win32 calls (Windows build,
// under Wine), so the simulation is held to what Windows does. Where Wine is
// known to differ from Windows, the vector says what Wine does and why.
#include <gtest/gtest.h>

#include <cctype>

#include "os/ansi.h"
#include "os/profile.h"
#include "tests/support/platform.h"
#include "tests/support/test_folder.h"

namespace {

// Test names from the vectors' own names: "buffer of 4 cuts to 3" -> buffer_of_4_cuts_to_3.
template <typename V>
std::string VectorName(const ::testing::TestParamInfo<V>& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p) name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
}

struct ReadVector {
  const char* name;
  const char* file;  // file content, or nullptr for no file
  const char* section;
  const char* key;
  const char* defaultValue;
  uint32_t bufferSize;
  const char* expected;
  uint32_t expectedReturn;
};

const ReadVector kReads[] = {
    {"plain value", "[s]\r\nk=v\r\n", "s", "k", "", 255, "v", 1},
    {"names without regard to case", "[Section1]\r\nKey1=val1\r\n", "SECTION1", "key1", "", 255, "val1", 4},
    {"names given with blanks are trimmed", "[section1]\r\nkey1=val1\r\n", " section1 ", " key1 ", "", 255, "val1", 4},
    {"header written with blanks", "[ section1 ]\r\nkey1=val1\r\n", "section1", "key1", "", 255, "val1", 4},
    {"blanks around '=' and the value", "[s]\r\n  k  =  v w  \r\n", "s", "k", "", 255, "v w", 3},
    {"tabs inside kept, at the ends lost", "[s]\r\nk=\ta\tb\t\r\n", "s", "k", "", 255, "a\tb", 3},
    {"';' after a value is no comment", "[s]\r\nk=a ; b\r\n", "s", "k", "", 255, "a ; b", 5},
    {"double quotes removed", "[s]\r\nk=\"val2\"\r\n", "s", "k", "", 255, "val2", 4},
    {"single quotes removed", "[s]\r\nk='v w'\r\n", "s", "k", "", 255, "v w", 3},
    {"only the outer pair goes", "[s]\r\nk=\"\"v\"\"\r\n", "s", "k", "", 255, "\"v\"", 3},
    {"first of duplicate keys wins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "", 255, "1", 1},
    {"only the first section of a name", "[s]\r\na=1\r\n[s]\r\nb=2\r\n", "s", "b", "d", 255, "d", 1},
    {"a line without '=' is no key", "[s]\r\nk\r\n", "s", "k", "def", 255, "def", 3},
    {"missing key gives the default", "[s]\r\nk=v\r\n", "s", "x", "def", 255, "def", 3},
    {"missing section gives the default", "[s]\r\nk=v\r\n", "t", "k", "def", 255, "def", 3},
    {"default loses trailing blanks", "[s]\r\n", "s", "x", "def  ", 255, "def", 3},
    {"missing file gives the default", nullptr, "s", "k", "def", 255, "def", 3},
    {"lines end at a lone CR", "[s]\rk=v\rx=y\r", "s", "x", "", 255, "y", 1},
    {"lines end at a lone LF", "[s]\nk=v\nx=y\n", "s", "k", "", 255, "v", 1},
    {"key of an earlier section not seen", "[a]\r\nk=1\r\n[b]\r\nx=2\r\n", "b", "k", "", 255, "", 0},
    {"an empty value", "[s]\r\nk=\r\n", "s", "k", "def", 255, "", 0},
    {"buffer of 4 cuts to 3", "[s]\r\nk=val1234\r\n", "s", "k", "", 4, "val", 3},
    {"buffer of 1 gives nothing", "[s]\r\nk=val1234\r\n", "s", "k", "", 1, "", 0},
    {"cut default", "[s]\r\n", "s", "k", "default", 4, "def", 3},
    {"a value of 254 bytes arrives whole", nullptr, "s", "k", "", 255, nullptr, 254},
    {"a value of 300 bytes arrives cut to 254", nullptr, "s", "k", "", 255, nullptr, 254},
};

class ProfileRead : public ::testing::TestWithParam<ReadVector> {};

TEST_P(ProfileRead, AgreesWithWindows) {
  const ReadVector& v = GetParam();
  test::TestFolder folder;
  std::string content = v.file ? v.file : "";
  std::string expected = v.expected ? v.expected : "";
  if (!v.expected) {  // the long-value vectors
    size_t length = std::string(v.name).find("300") != std::string::npos ? 300 : 254;
    std::string value(length, 'x');
    for (size_t i = 0; i < length; ++i) value[i] = static_cast<char>('a' + i % 26);
    content = "[s]\r\nk=" + value + "\r\n";
    expected = value.substr(0, 254);
  }
  if (v.file || !v.expected) folder.Write("t.ini", content);
  std::string value = "untouched";
  uint32_t n = os::ProfileRead(v.section, v.key, v.defaultValue, v.bufferSize, folder.Path("t.ini"), value);
  EXPECT_EQ(expected, value) << v.name;
  EXPECT_EQ(v.expectedReturn, n) << v.name;
}

INSTANTIATE_TEST_SUITE_P(Vectors, ProfileRead, ::testing::ValuesIn(kReads), VectorName<ReadVector>);

TEST(ProfileReadEdge, BufferOfZeroLeavesTheValueAloneAndReturnsZero) {
  test::TestFolder folder;
  folder.Write("t.ini", "[s]\r\nk=v\r\n");
  std::string value = "untouched";
  EXPECT_EQ(0u, os::ProfileRead("s", "k", "", 0, folder.Path("t.ini"), value));
  EXPECT_EQ("untouched", value);
}

TEST(ProfileReadEdge, EmptyFileNameGivesTheDefault) {
  std::string value;
  EXPECT_EQ(3u, os::ProfileRead("s", "k", "def", 255, "", value));
  EXPECT_EQ("def", value);
}

struct WriteVector {
  const char* name;
  const char* before;  // nullptr: no file yet
  const char* section;
  const char* key;    // nullptr deletes the section
  const char* value;  // nullptr deletes the key
  const char* after;
  const char* afterOnWine;  // where Wine writes otherwise, or nullptr
};

// Wine rewrites the whole file on every write: it drops blank lines and
// writes "k=v" for "k = v". Windows edits the file in place.
const WriteVector kWrites[] = {
    {"a new file", nullptr, "App", "key", "value", "[App]\r\nkey=value\r\n", nullptr},
    {"a new section goes at the end", "[a]\r\nx=1\r\n", "b", "y", "2", "[a]\r\nx=1\r\n[b]\r\ny=2\r\n", nullptr},
    {"a new key after the last key of its section", "[a]\r\nx=1\r\n[b]\r\nz=3\r\n", "a", "y", "2",
     "[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n", nullptr},
    {"a value replaced in place", "[a]\r\nx=1\r\ny=2\r\n", "A", "Y", "3", "[a]\r\nx=1\r\ny=3\r\n", nullptr},
    {"other lines kept as they were", "[a]\r\nx = 1\r\n\r\n[b]\r\ny=2\r\n", "b", "y", "3",
     "[a]\r\nx = 1\r\n\r\n[b]\r\ny=3\r\n", "[a]\r\nx=1\r\n[b]\r\ny=3\r\n"},
    {"a key deleted", "[a]\r\nx=1\r\ny=2\r\n", "a", "x", nullptr, "[a]\r\ny=2\r\n", nullptr},
    {"the header stays when its last key goes", "[a]\r\nx=1\r\n", "a", "x", nullptr, "[a]\r\n", nullptr},
    {"a section deleted", "[a]\r\nx=1\r\n[b]\r\ny=2\r\n", "a", nullptr, nullptr, "[b]\r\ny=2\r\n", nullptr},
    {"a value with tabs and a comment", nullptr, "Option", "TaskbarProgress", "0\t\t\t\t//comment",
     "[Option]\r\nTaskbarProgress=0\t\t\t\t//comment\r\n", nullptr},
};

class ProfileWrite : public ::testing::TestWithParam<WriteVector> {};

TEST_P(ProfileWrite, AgreesWithWindows) {
  const WriteVector& v = GetParam();
  test::TestFolder folder;
  if (v.before) folder.Write("t.ini", v.before);
  std::optional<std::string> key, value;
  if (v.key) key = v.key;
  if (v.value) value = v.value;
  EXPECT_TRUE(os::ProfileWrite(v.section, key, value, folder.Path("t.ini"))) << v.name;
  const char* expected = test::RunningOnWine() && v.afterOnWine ? v.afterOnWine : v.after;
  EXPECT_EQ(expected, folder.Read("t.ini")) << v.name;
}

INSTANTIATE_TEST_SUITE_P(Vectors, ProfileWrite, ::testing::ValuesIn(kWrites), VectorName<WriteVector>);

TEST(ProfileWriteEdge, AnEmptyFileNameFails) {
  EXPECT_FALSE(os::ProfileWrite("s", std::string("k"), std::string("v"), ""));
}

TEST(ProfileWriteEdge, WrittenValueIsReadBack) {
  test::TestFolder folder;
  ASSERT_TRUE(os::ProfileWrite("Option", std::string("Label"), std::string("My Stick"), folder.Path("c.cfg")));
  std::string value;
  os::ProfileRead("option", "label", "", 255, folder.Path("c.cfg"), value);
  EXPECT_EQ("My Stick", value);
}

TEST(ProfileEncoding, TextIsStoredInTheAnsiCodePage) {
  if (os::AnsiCodePage() != 1252) GTEST_SKIP() << "needs code page 1252";
  test::TestFolder folder;
  ASSERT_TRUE(os::ProfileWrite("s", std::string("k"), std::string("Gr\xC3\xB6\xC3\x9F" "e"), folder.Path("t.ini")));
  EXPECT_EQ("[s]\r\nk=Gr\xF6\xDF" "e\r\n", folder.Read("t.ini"));
  std::string value;
  os::ProfileRead("s", "k", "", 255, folder.Path("t.ini"), value);
  EXPECT_EQ("Gr\xC3\xB6\xC3\x9F" "e", value);
}

}  // namespace
