// Text in the code pages the program meets, on both builds: UTF-8 read as
// Windows reads code page 65001, where what is no character becomes U+FFFD.
#include <gtest/gtest.h>

#include <string>

#include "os/ansi.h"
#include "tests/support/test_folder.h"

namespace {

const std::string kBad = "\xEF\xBF\xBD";  // U+FFFD

TEST(CodePage65001, WellFormedTextStaysAsItIs) {
  test::TestFolder machine;
  const std::string text = "a \xC3\xA4 \xE2\x82\xAC \xE9\x80\x89 \xF0\x9D\x84\x9E \xF4\x8F\xBF\xBF";
  EXPECT_EQ(text, os::FromCodePage(65001, text));
  bool exact = false;
  EXPECT_EQ(text, os::ToCodePage(65001, text, &exact));
  EXPECT_TRUE(exact);
}

TEST(CodePage65001, WhatIsNoCharacterBecomesTheReplacementCharacter) {
  test::TestFolder machine;
  struct Case {
    std::string bytes, text;
  };
  const Case cases[] = {
      {"\xF9\xA4\xA4\xA4\xA4", kBad + kBad + kBad + kBad + kBad},  // an old five-byte form
      {"\xF4\x90\x80\x80", kBad + kBad + kBad},                     // past U+10FFFF
      {"\xED\xA0\x80", kBad + kBad},                                // a surrogate
      {"\xC0\xAF", kBad + kBad},                                    // an overlong '/'
      {"\xE0\x80\x80", kBad + kBad},                                // an overlong NUL
      {"\xF0\x80\x80\x80", kBad + kBad + kBad},                     // an overlong four-byte NUL
      {"x\xE2\x82y", "x" + kBad + "y"},                             // a sequence cut short
      {"x\xF0\x9D\x84z", "x" + kBad + "z"},
      {"\xE2\x82", kBad},                                           // ... at the end
      {"\x80z", kBad + "z"},                                        // a stray continuation byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.text, os::FromCodePage(65001, c.bytes)) << testing::PrintToString(c.bytes);
    bool exact = true;
    EXPECT_EQ(c.text, os::ToCodePage(65001, c.bytes, &exact)) << testing::PrintToString(c.bytes);
    EXPECT_FALSE(exact);
  }
}

}  // namespace
