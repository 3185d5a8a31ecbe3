#include "base/RecordReader.h"
#include "base/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rw {
namespace {

std::vector<std::string> AllLines(std::string_view text) {
  RecordReader reader(text);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line))
    lines.push_back(line);
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_FALSE(reader.ReadLine(line));
  return lines;
}

using Lines = std::vector<std::string>;

TEST(RecordReaderTest, LineEndsLfAndCrLf) {
  EXPECT_EQ(AllLines("a\nb\r\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(AllLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(AllLines(""), Lines{});
  EXPECT_EQ(AllLines("\n"), Lines{""});
  // A lone carriage return is not a line end; only the one before the line feed goes.
  EXPECT_EQ(AllLines("a\rb\r\r\n"), (Lines{"a\rb\r"}));
}

TEST(RecordReaderTest, LineNumbersAndAtEnd) {
  RecordReader reader("one\ntwo\n", "/p");
  EXPECT_EQ(reader.Folder(), "/p");
  EXPECT_FALSE(reader.AtEnd());
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(reader.LineNumber(), 1);
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "two");
  EXPECT_EQ(reader.LineNumber(), 2);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(RecordReaderTest, LongLinesComeInPiecesOfAtMost1023Bytes) {
  const std::string exact(1023, 'x');
  EXPECT_EQ(AllLines(exact + "\nnext"), (Lines{exact, "next"}));

  const std::string longer = std::string(1023, 'a') + std::string(1023, 'b') + "cc";
  RecordReader reader(longer + "\r\nnext\n");
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, std::string(1023, 'a'));
  EXPECT_FALSE(reader.AtEnd());
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, std::string(1023, 'b'));
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "cc");
  EXPECT_EQ(reader.LineNumber(), 1); // pieces share their line's number
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "next");
  EXPECT_EQ(reader.LineNumber(), 2);
}

TEST(RecordReaderTest, PiecesNeverSplitAUtf8Character) {
  // 1022 ASCII bytes, then a three-byte character straddling the 1023-byte mark.
  const std::string kana = "\xE3\x81\x82"; // U+3042
  const std::string text = std::string(1022, 'a') + kana + "z";
  const Lines lines = AllLines(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(1022, 'a'));
  EXPECT_EQ(lines[1], kana + "z");
  for (const auto& l : lines)
    EXPECT_TRUE(TextEncoding::IsValidUtf8(l));
}

TEST(RecordReaderTest, Cp932LinesAreConvertedBeforeUse) {
  // "表示.avi" in CP932: the second byte of 表 is 0x5C, the backslash.
  const std::string cp932 = "  FileName: ..\\\x95\x5C\x8E\xA6.avi\r\n";
  const Lines lines = AllLines(cp932 + "  Volume: 100\r\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "  FileName: ..\\\xE8\xA1\xA8\xE7\xA4\xBA.avi");
  EXPECT_EQ(lines[1], "  Volume: 100");
}

TEST(RecordReaderTest, LongCp932LineIsConvertedWholeThenCut) {
  // 600 two-byte CP932 characters (1200 bytes) become 600 three-byte UTF-8 characters.
  std::string cp932;
  for (int i = 0; i < 600; ++i)
    cp932 += "\x82\xA0"; // あ
  const Lines lines = AllLines(cp932);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 1023u - 1023u % 3);
  EXPECT_EQ(lines[0].size() + lines[1].size(), 1800u);
  EXPECT_TRUE(TextEncoding::IsValidUtf8(lines[1]));
}

TEST(TextEncodingTest, Utf8Validation) {
  EXPECT_TRUE(TextEncoding::IsValidUtf8(""));
  EXPECT_TRUE(TextEncoding::IsValidUtf8("plain ascii"));
  EXPECT_TRUE(TextEncoding::IsValidUtf8("\xE8\xA1\xA8\xE7\xA4\xBA"));
  EXPECT_TRUE(TextEncoding::IsValidUtf8("\xF0\x9F\x8E\xAC"));  // U+1F3AC
  EXPECT_TRUE(TextEncoding::IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
  EXPECT_FALSE(TextEncoding::IsValidUtf8("\x95\x5C"));         // CP932
  EXPECT_FALSE(TextEncoding::IsValidUtf8("\xC0\xAF"));         // overlong "/"
  EXPECT_FALSE(TextEncoding::IsValidUtf8("\xE0\x80\xAF"));     // overlong "/"
  EXPECT_FALSE(TextEncoding::IsValidUtf8("\xED\xA0\x80"));     // surrogate
  EXPECT_FALSE(TextEncoding::IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
  EXPECT_FALSE(TextEncoding::IsValidUtf8("\xE3\x81"));         // cut short
  EXPECT_FALSE(TextEncoding::IsValidUtf8("a\x80"));            // stray continuation
}

TEST(TextEncodingTest, Cp932Conversion) {
  EXPECT_EQ(TextEncoding::Cp932ToUtf8("abc\\"), "abc\\");
  EXPECT_EQ(TextEncoding::Cp932ToUtf8("\x83\x80\x81\x5B\x83\x72\x81\x5B"), // ムービー
            "\xE3\x83\xA0\xE3\x83\xBC\xE3\x83\x93\xE3\x83\xBC");
  EXPECT_EQ(TextEncoding::Cp932ToUtf8("\xB1"), "\xEF\xBD\xB1"); // half-width ｱ
  // A lead byte at the very end, and a byte CP932 does not define, each become U+FFFD; the
  // text around them survives.
  EXPECT_EQ(TextEncoding::Cp932ToUtf8("ab\x82"), "ab\xEF\xBF\xBD");
  EXPECT_EQ(TextEncoding::Cp932ToUtf8("a\xFF"
                                      "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_TRUE(TextEncoding::IsValidUtf8(TextEncoding::Cp932ToUtf8(std::string("\x80\xA0\xFD\xFE\x81", 5))));
}

} // namespace
} // namespace rw
