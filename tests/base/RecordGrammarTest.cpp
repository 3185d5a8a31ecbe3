#include "base/RecordGrammar.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace rw {
namespace {

TEST(RecordLineTest, KeyLinesWithWhiteSpaceAroundKeyColonAndValue) {
  const RecordLine a = ParseRecordLine("  Volume :   200  ");
  EXPECT_TRUE(a.isKey);
  EXPECT_EQ(a.key, "Volume");
  EXPECT_EQ(a.value, "200");

  const RecordLine b = ParseRecordLine("\tFileName:\"a b.avi\" \r\n");
  EXPECT_TRUE(b.isKey);
  EXPECT_EQ(b.key, "FileName");
  EXPECT_EQ(b.value, "\"a b.avi\"");

  // Empty value, as the "ClipInfo" and "Output" introducers are written.
  const RecordLine c = ParseRecordLine("ClipInfo: \n");
  EXPECT_TRUE(c.isKey);
  EXPECT_EQ(c.key, "ClipInfo");
  EXPECT_EQ(c.value, "");
  EXPECT_TRUE(ParseRecordLine("  Output:").isKey);

  // The value keeps its inner white space and any further colons.
  const RecordLine d = ParseRecordLine("Select: Frame 10  20");
  EXPECT_EQ(d.value, "Frame 10  20");
  const RecordLine e = ParseRecordLine("Key:a:b");
  EXPECT_EQ(e.key, "Key");
  EXPECT_EQ(e.value, "a:b");
}

TEST(RecordLineTest, CommentsAndBareWordsAreNotKeyLines) {
  const RecordLine comment = ParseRecordLine("   // Reelwright Ver.0.2006");
  EXPECT_FALSE(comment.isKey);
  EXPECT_EQ(comment.key, "");
  // A comment that looks like a key line is still a comment.
  EXPECT_FALSE(ParseRecordLine("//Volume: 3").isKey);

  const RecordLine begin = ParseRecordLine("  begin\r\n");
  EXPECT_FALSE(begin.isKey);
  EXPECT_EQ(begin.key, "begin");

  // A word followed by something other than a colon: the first word is still handed back.
  const RecordLine words = ParseRecordLine("end of it: x");
  EXPECT_FALSE(words.isKey);
  EXPECT_EQ(words.key, "end");

  EXPECT_FALSE(ParseRecordLine("").isKey);
  EXPECT_FALSE(ParseRecordLine(" \t \r\n").isKey);
  // A single slash is an ordinary character.
  EXPECT_TRUE(ParseRecordLine("/x: 1").isKey);
}

TEST(RecordLineTest, HighBytesAreOrdinaryAndZeroEndsTheLine) {
  const RecordLine jp = ParseRecordLine("  \xE9\x9F\xB3\xE9\x87\x8F: \xE5\xA4\xA7 ");
  EXPECT_TRUE(jp.isKey);
  EXPECT_EQ(jp.key, "\xE9\x9F\xB3\xE9\x87\x8F");
  EXPECT_EQ(jp.value, "\xE5\xA4\xA7");
  // Bytes above 127 are never taken for white space, even 0xA0 or 0x85.
  const RecordLine nb = ParseRecordLine("K: v\xA0");
  EXPECT_EQ(nb.value, "v\xA0");

  const RecordLine cut = ParseRecordLine(std::string("Key: ab\0cd", 10));
  EXPECT_TRUE(cut.isKey);
  EXPECT_EQ(cut.value, "ab");
}

TEST(RecordLineTest, ColonRightAfterWhiteSpaceGivesAnEmptyKey) {
  const RecordLine r = ParseRecordLine("  : value");
  EXPECT_TRUE(r.isKey);
  EXPECT_EQ(r.key, "");
  EXPECT_EQ(r.value, "value");
}

TEST(SameWordTest, IgnoresAsciiCaseOnly) {
  EXPECT_TRUE(SameWord("volume", "Volume"));
  EXPECT_TRUE(SameWord("BEGIN", "begin"));
  EXPECT_TRUE(SameWord("", ""));
  EXPECT_FALSE(SameWord("Volume", "Volumes"));
  EXPECT_FALSE(SameWord("end", "enD "));
  // Bytes outside ASCII are compared as they are: no locale folding of UTF-8 or Latin-1.
  EXPECT_FALSE(SameWord("\xC3\xA4", "\xC3\x84"));
  EXPECT_FALSE(SameWord("\xE4", "\xC4"));
  // '@' and '`' sit next to the letters; they are not letters.
  EXPECT_FALSE(SameWord("@", "`"));
  EXPECT_FALSE(SameWord("[", "{"));
}

TEST(ReadNumberTest, DecimalWithSignAndStopAtFirstNonDigit) {
  EXPECT_EQ(ReadNumber("200"), 200);
  EXPECT_EQ(ReadNumber("  -35"), -35);
  EXPECT_EQ(ReadNumber("+7"), 7);
  EXPECT_EQ(ReadNumber("12abc"), 12);
  EXPECT_EQ(ReadNumber("abc"), 0);
  EXPECT_EQ(ReadNumber(""), 0);
  EXPECT_EQ(ReadNumber("-"), 0);
  EXPECT_EQ(ReadNumber("- 5"), 0);
  EXPECT_EQ(ReadNumber("0x10"), 0);
  EXPECT_EQ(ReadNumber("007"), 7);
  EXPECT_EQ(ReadNumber("3 4"), 3);
  EXPECT_EQ(ReadNumber("\t\r 9"), 9);
}

TEST(ReadNumberTest, SaturatesAtThe32BitRange) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(ReadNumber("2147483647"), kMax);
  EXPECT_EQ(ReadNumber("2147483648"), kMax);
  EXPECT_EQ(ReadNumber("-2147483648"), kMin);
  EXPECT_EQ(ReadNumber("-2147483649"), kMin);
  EXPECT_EQ(ReadNumber("99999999999999999999999999999999"), kMax);
  EXPECT_EQ(ReadNumber("-99999999999999999999999999999999"), kMin);
  EXPECT_EQ(ReadNumber(std::string(5000, '9')), kMax);
}

TEST(IndentTest, TwoColumnsPerLevelWithTabsWhileMoreThanEightRemain) {
  EXPECT_EQ(Indent(0), "");
  EXPECT_EQ(Indent(1), "  ");
  EXPECT_EQ(Indent(2), "    ");
  EXPECT_EQ(Indent(4), "        "); // exactly 8 columns: spaces
  EXPECT_EQ(Indent(5), "\t  ");
  EXPECT_EQ(Indent(8), "\t        ");
  EXPECT_EQ(Indent(9), "\t\t  ");
  EXPECT_EQ(Indent(-3), "");
}

} // namespace
} // namespace rw
