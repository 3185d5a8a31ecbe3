#include "base/MessageText.h"

#include <gtest/gtest.h>

#include <string>

namespace rw {
namespace {

TEST(MessageTextTest, SetKeepsTextsUpTo4095BytesAndEmptiesOnOverflow) {
  MessageText m;
  EXPECT_TRUE(m.Empty());
  EXPECT_TRUE(m.Set("first"));
  EXPECT_EQ(m.Get(), "first");

  const std::string full(4095, 'x');
  EXPECT_TRUE(m.Set(full));
  EXPECT_EQ(m.Get(), full);

  EXPECT_FALSE(m.Set(std::string(4096, 'y')));
  EXPECT_TRUE(m.Empty());

  EXPECT_TRUE(m.Set(""));
  EXPECT_TRUE(m.Empty());
}

TEST(MessageTextTest, AppendThatDoesNotFitIsTakenBack) {
  MessageText m;
  EXPECT_TRUE(m.Append("one\n"));
  EXPECT_TRUE(m.Append("two\n"));
  EXPECT_EQ(m.Get(), "one\ntwo\n");

  const std::string rest(4095 - 8, 'r');
  EXPECT_TRUE(m.Append(rest)); // exactly full
  EXPECT_EQ(m.Get().size(), 4095u);
  EXPECT_FALSE(m.Append("z"));
  EXPECT_EQ(m.Get(), "one\ntwo\n" + rest); // unchanged, not cut
  EXPECT_TRUE(m.Append(""));

  m.Clear();
  EXPECT_TRUE(m.Empty());
  EXPECT_FALSE(m.Append(std::string(4096, 'q')));
  EXPECT_TRUE(m.Empty());
}

TEST(MessageTextTest, CountsBytesOfUtf8Text) {
  // "読込" is six bytes in UTF-8; the limit is in bytes.
  MessageText m;
  std::string text(4089, 'a');
  EXPECT_TRUE(m.Set(text + "\xE8\xAA\xAD\xE8\xBE\xBC"));
  EXPECT_FALSE(m.Append("b"));
  EXPECT_FALSE(m.Set(text + "\xE8\xAA\xAD\xE8\xBE\xBC"
                            "b"));
  EXPECT_TRUE(m.Empty());
}

} // namespace
} // namespace rw
