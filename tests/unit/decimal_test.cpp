#include "settings/decimal.h"
#include "settings/text_slot.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DecimalCase {
  std::string text;
  std::int32_t expected;
};

// Both conversions read text the same way, so they share one table.
const DecimalCase kDecimalCases[] = {
    {"200", 200},
    {"-20", -20},
    {"+7", 7},
    {"", 0},
    {"abc", 0},
    {"-", 0},
    {"+-5", 0},
    {"- 5", 0},
    {"12abc", 12},
    {"0x1F", 0},  // stops at the x
    {"  \t\n\v\f\r42", 42},
    {"\xA0" "5", 0},  // a non-breaking space is not white space in the C locale
    {"007", 7},
    {"3.9", 3},
    {"1 2", 1},
    {"2147483647", 2147483647},
    {"-2147483648", INT32_MIN},
    {"2147483648", INT32_MAX},
    {"-2147483649", INT32_MIN},
    {"99999999999999999999999999", INT32_MAX},
    {"-99999999999999999999999999", INT32_MIN},
    {"4294967296", INT32_MAX},  // would wrap to 0 without saturation
    {"16711680", 16711680},
};

TEST(DecimalToInt, ReadsLikeAtoiWithSaturation) {
  for (const DecimalCase& c : kDecimalCases) {
    EXPECT_EQ(DecimalToInt(c.text), c.expected) << "text \"" << c.text << "\"";
  }
}

TEST(DecimalToLong, ReadsLikeAtolWithSaturation) {
  for (const DecimalCase& c : kDecimalCases) {
    EXPECT_EQ(DecimalToLong(c.text), c.expected) << "text \"" << c.text << "\"";
  }
}

TEST(DecimalToInt, StopsAtTheEndOfTheViewNotAtAZero) {
  const std::string text = "12345";
  EXPECT_EQ(DecimalToInt(std::string_view(text).substr(0, 3)), 123);
  EXPECT_EQ(DecimalToInt(std::string_view("7\0" "9", 3)), 7);
}

TEST(SlotText, StopsAtTheZeroOrTheSlotEnd) {
  const char terminated[8] = "abc";
  EXPECT_EQ(SlotText(terminated, sizeof terminated), "abc");
  const char full[4] = {'w', 'x', 'y', 'z'};  // no terminating zero
  EXPECT_EQ(SlotText(full, sizeof full), "wxyz");
  EXPECT_EQ(SlotText(full, 2), "wx");
  EXPECT_EQ(SlotText(nullptr, 50), "");
}

}  // namespace
