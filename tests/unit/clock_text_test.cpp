#include "mask/clock_text.h"

#include <gtest/gtest.h>

TEST(ClockText, HoursMinutesSecondsWithoutLeadingZeros) {
  struct Case { std::int64_t elapsed; const wchar_t* expected; };
  const Case cases[] = {
      {0, L"0小时0分0秒"},
      {59, L"0小时0分59秒"},
      {60, L"0小时1分0秒"},
      {307, L"0小时5分7秒"},
      {3599, L"0小时59分59秒"},
      {3600, L"1小时0分0秒"},
      {26 * 3600 + 59, L"26小时0分59秒"},  // hours do not wrap at 24
      {100 * 3600, L"100小时0分0秒"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClockText(c.elapsed), c.expected) << c.elapsed;
  }
}

TEST(ClockText, RunsPastThirtyTwoBits) {
  // 2^31 s = 596523 h (2147482800 s) + 848 s = 14 min 8 s.
  EXPECT_EQ(ClockText(2147483648LL), L"596523小时14分8秒");
  // Hours themselves beyond 32 bits: 3000000000 h and 1 s.
  EXPECT_EQ(ClockText(3000000000LL * 3600 + 1), L"3000000000小时0分1秒");
}

TEST(ClockText, ClockSetBackShowsTruncatedNegativeParts) {
  struct Case { std::int64_t elapsed; const wchar_t* expected; };
  const Case cases[] = {
      {-59, L"0小时0分-59秒"},
      {-60, L"0小时-1分0秒"},
      {-3661, L"-1小时-1分-1秒"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClockText(c.elapsed), c.expected) << c.elapsed;
  }
}
