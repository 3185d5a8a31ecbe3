#include "view/DecimalText.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

TEST(DecimalText, WholeNumbers) {
  EXPECT_EQ(DecimalText::Parse("300"), 300);
  EXPECT_EQ(DecimalText::Parse(" 42\t"), 42);
  EXPECT_EQ(DecimalText::Parse("-5"), -5);
  EXPECT_EQ(DecimalText::Parse("+7"), 7);
  EXPECT_EQ(DecimalText::Parse("007"), 7);
  EXPECT_EQ(DecimalText::Parse("2147483647"), 2147483647);
  EXPECT_EQ(DecimalText::Parse("-2147483648"), -2147483647 - 1);
  // Beyond the 32-bit range: the nearest value.
  EXPECT_EQ(DecimalText::Parse("2147483648"), 2147483647);
  EXPECT_EQ(DecimalText::Parse("99999999999999999999999"), 2147483647);
  EXPECT_EQ(DecimalText::Parse("-99999999999"), -2147483647 - 1);
}

TEST(DecimalText, TextsThatAreNoNumber) {
  for (const char* text : {"", " ", "-", "+", "abc", "12a", "1.5", "1 2", "--1", "0x10", "１２"}) {
    EXPECT_EQ(DecimalText::Parse(text), std::nullopt) << text;
    EXPECT_EQ(DecimalText::ParseOrZero(text), 0) << text;
  }
}

} // namespace
} // namespace rw::view
