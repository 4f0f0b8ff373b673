#include "mask/clock_text.h"

#include <gtest/gtest.h>

namespace {

// The clock's patterns as the two string tables hold them.
constexpr wchar_t kChinese[] = L"%1小时%2分%3秒";
constexpr wchar_t kEnglish[] = L"%1 h %2 min %3 s";

TEST(ClockText, HoursMinutesSecondsWithoutLeadingZeros) {
  struct Case { std::int64_t elapsed; const wchar_t* chinese; const wchar_t* english; };
  const Case cases[] = {
      {0, L"0小时0分0秒", L"0 h 0 min 0 s"},
      {59, L"0小时0分59秒", L"0 h 0 min 59 s"},
      {60, L"0小时1分0秒", L"0 h 1 min 0 s"},
      {307, L"0小时5分7秒", L"0 h 5 min 7 s"},
      {3599, L"0小时59分59秒", L"0 h 59 min 59 s"},
      {3600, L"1小时0分0秒", L"1 h 0 min 0 s"},
      {3903, L"1小时5分3秒", L"1 h 5 min 3 s"},
      {26 * 3600 + 59, L"26小时0分59秒", L"26 h 0 min 59 s"},  // hours do not wrap at 24
      {100 * 3600, L"100小时0分0秒", L"100 h 0 min 0 s"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClockText(kChinese, c.elapsed), c.chinese) << c.elapsed;
    EXPECT_EQ(ClockText(kEnglish, c.elapsed), c.english) << c.elapsed;
  }
}

TEST(ClockText, UnixSecondsOfFileTimeAreTimesSeconds) {
  EXPECT_EQ(UnixSecondsOfFileTime(116444736000000000ULL), 0);          // 1970-01-01 00:00:00
  EXPECT_EQ(UnixSecondsOfFileTime(116444736009999999ULL), 0);          // not yet the next second
  EXPECT_EQ(UnixSecondsOfFileTime(134460864000000000ULL), 1801612800);  // 2027-02-03 00:00:00
  EXPECT_EQ(UnixSecondsOfFileTime(137919572480000000ULL), 2147483648);  // past 2038, in 64 bits
}

TEST(ClockText, RunsPastThirtyTwoBits) {
  // 2^31 s = 596523 h (2147482800 s) + 848 s = 14 min 8 s.
  EXPECT_EQ(ClockText(kChinese, 2147483648LL), L"596523小时14分8秒");
  // Hours themselves beyond 32 bits: 3000000000 h and 1 s.
  EXPECT_EQ(ClockText(kChinese, 3000000000LL * 3600 + 1), L"3000000000小时0分1秒");
}

TEST(ClockText, ClockSetBackShowsTruncatedNegativeParts) {
  struct Case { std::int64_t elapsed; const wchar_t* expected; };
  const Case cases[] = {
      {-59, L"0小时0分-59秒"},
      {-60, L"0小时-1分0秒"},
      {-3661, L"-1小时-1分-1秒"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClockText(kChinese, c.elapsed), c.expected) << c.elapsed;
  }
}

TEST(ClockText, ATranslationMayPutThePartsInAnyOrder) {
  EXPECT_EQ(ClockText(L"%3 s, %2 min, %1 h", 3903), L"3 s, 5 min, 1 h");
}

}  // namespace
