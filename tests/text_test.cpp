// The text helpers that the configuration and the make procedure rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "sys/text.h"

namespace {

TEST(Val, TakesTheLeadingNumber) {
  EXPECT_EQ(12, sys::Val("12abc"));
  EXPECT_EQ(300, sys::Val("  300"));
  EXPECT_EQ(512.5, sys::Val("512.5"));
  EXPECT_EQ(-3, sys::Val("-3"));
  EXPECT_EQ(0, sys::Val("abc"));
  EXPECT_EQ(0, sys::Val(""));
  EXPECT_EQ(300, sys::Val("0300"));
  EXPECT_EQ(1, sys::Val("1\t\t\t\t//x"));
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(512, sys::RoundHalfEven(512.5));
  EXPECT_EQ(514, sys::RoundHalfEven(513.5));
  EXPECT_EQ(4813, sys::RoundHalfEven(4812.8));
  EXPECT_EQ(0, sys::RoundHalfEven(0.5));
  EXPECT_EQ(2, sys::RoundHalfEven(1.5));
}

TEST(RoundHalfEven, ValuesPastTheRangeStayAtItsEnds) {
  EXPECT_EQ(INT64_MAX, sys::RoundHalfEven(9223372036854775808.0));  // 2^63
  EXPECT_EQ(INT64_MAX, sys::RoundHalfEven(1e20 * 1024));
  EXPECT_EQ(INT64_MAX, sys::RoundHalfEven(HUGE_VAL));
  EXPECT_EQ(INT64_MIN, sys::RoundHalfEven(-9223372036854775808.0));
  EXPECT_EQ(INT64_MIN, sys::RoundHalfEven(-1e30));
  EXPECT_EQ(0, sys::RoundHalfEven(NAN));
  EXPECT_EQ(9223372036854774784, sys::RoundHalfEven(9223372036854774784.0));  // the largest below 2^63
}

TEST(TrimSpaces, OnlyTheSpaceCharacter) {
  EXPECT_EQ("a b", sys::TrimSpaces("  a b  "));
  EXPECT_EQ("\ta\t", sys::TrimSpaces("\ta\t"));
  EXPECT_EQ("\xE3\x80\x80x", sys::TrimSpaces(" \xE3\x80\x80x "));
}

TEST(Split, KeepsTheEmptyPieceAfterALastSeparator) {
  EXPECT_EQ((std::vector<std::string>{"E:", "F:", ""}), sys::Split("E:,F:,", ","));
  EXPECT_EQ((std::vector<std::string>{""}), sys::Split("", ","));
  EXPECT_EQ((std::vector<std::string>{"HD1: X (1 GB", "E:;F:)"}), sys::Split("HD1: X (1 GB, E:;F:)", ", "));
}

TEST(Characters, CountAndCutByCharacterNotByte) {
  EXPECT_EQ(3u, sys::CountChars("a\xE4\xB8\xADz"));
  EXPECT_EQ("a\xE4\xB8\xAD", sys::LeftChars("a\xE4\xB8\xADz", 2));
  EXPECT_EQ("ab", sys::LeftChars("ab", 5));
}

TEST(Case, AsciiFoldingOnly) {
  EXPECT_TRUE(sys::ContainsNoCase("PartAssistHelper.exe", "partassist"));
  EXPECT_TRUE(sys::EqualsNoCase("Option", "OPTION"));
  EXPECT_EQ("x\xC3\x84", sys::LowerAscii("X\xC3\x84"));
}

}  // namespace
