// The pieces of reelwright-cli: argument parsing and JSON strings.

#include "cli/CliArgs.h"
#include "cli/JsonWriter.h"

#include <gtest/gtest.h>

namespace rw::cli {
namespace {

TEST(CliArgsTest, SplitsOptionsAndPositionalArguments) {
  CliArgs args;
  std::string error;
  ASSERT_TRUE(args.Parse({"p.rwe", "--size", "3x4", "7", "--quick", "--from=-2", "--", "--not-an-option"},
                         {{"size", true}, {"quick", false}, {"from", true}}, 1, 3, error))
      << error;
  EXPECT_EQ(args.Positional(), (std::vector<std::string>{"p.rwe", "7", "--not-an-option"}));
  EXPECT_EQ(args.Value("size"), "3x4");
  EXPECT_EQ(args.Value("from"), "-2");
  EXPECT_TRUE(args.Has("quick"));
  EXPECT_FALSE(args.Value("frames"));

  EXPECT_FALSE(args.Parse({"--size"}, {{"size", true}}, 0, 1, error));
  EXPECT_EQ(error, "option --size needs a value");
  EXPECT_FALSE(args.Parse({"--quick=1"}, {{"quick", false}}, 0, 1, error));
  EXPECT_FALSE(args.Parse({"--sizes", "1x1"}, {{"size", true}}, 0, 1, error));
  EXPECT_EQ(error, "unknown option --sizes");
  EXPECT_FALSE(args.Parse({"a", "b"}, {}, 1, 1, error));
  EXPECT_FALSE(args.Parse({}, {}, 1, 1, error));
}

TEST(CliArgsTest, NumbersAndSizes) {
  EXPECT_EQ(CliArgs::ToInt("42"), 42);
  EXPECT_EQ(CliArgs::ToInt("-7"), -7);
  EXPECT_EQ(CliArgs::ToInt("+7"), 7);
  EXPECT_EQ(CliArgs::ToInt("2147483647"), 2147483647);
  for (const char* bad : {"", "x", "1x", " 1", "1 ", "2147483648", "0x10", "1.5", "+-1", "++1"})
    EXPECT_FALSE(CliArgs::ToInt(bad)) << bad;
  std::int32_t w = 0, h = 0;
  EXPECT_TRUE(CliArgs::ToSize("640x480", w, h));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_TRUE(CliArgs::ToSize("1X2", w, h));
  for (const char* bad :
       {"640", "x480", "640x", "0x5", "5x0", "-5x5", "5x-5", "+5x5", "5x+5", "5x5x5", "axb"})
    EXPECT_FALSE(CliArgs::ToSize(bad, w, h)) << bad;
}

TEST(JsonWriterTest, QuotesEveryCharacterThatNeedsIt) {
  EXPECT_EQ(JsonWriter::Quote("plain"), "\"plain\"");
  EXPECT_EQ(JsonWriter::Quote("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
  EXPECT_EQ(JsonWriter::Quote("\n\r\t\b\f"), "\"\\n\\r\\t\\b\\f\"");
  EXPECT_EQ(JsonWriter::Quote(std::string_view("\x01\x1f\x7f\0", 4)), "\"\\u0001\\u001f\\u007f\\u0000\"");
  EXPECT_EQ(JsonWriter::Quote("映像 ✓ \xF0\x9F\x8E\xAC"), "\"映像 ✓ \xF0\x9F\x8E\xAC\"");
  // Bytes that are not UTF-8: a lone lead, a stray continuation, an overlong form, a surrogate,
  // a cut-off sequence at the end.
  EXPECT_EQ(JsonWriter::Quote("a\xFF"
                              "b\x80"
                              "c\xC0\xAF"
                              "d\xED\xA0\x80"
                              "e\xE6\x98"),
            "\"a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD"
            "c\xEF\xBF\xBD\xEF\xBF\xBD"
            "d\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
            "e\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

TEST(JsonWriterTest, NestingAndSeparators) {
  JsonWriter json;
  json.BeginObject();
  json.Key("a");
  json.BeginArray();
  json.Number(-1);
  json.Bool(true);
  json.Null();
  json.BeginObject();
  json.EndObject();
  json.BeginArray();
  json.EndArray();
  json.EndArray();
  json.Key("b");
  json.String("x");
  json.EndObject();
  EXPECT_EQ(json.Text(),
            "{\n  \"a\": [\n    -1,\n    true,\n    null,\n    {},\n    []\n  ],\n  \"b\": \"x\"\n}\n");
}

} // namespace
} // namespace rw::cli
