#include "settings/language.h"

#include <gtest/gtest.h>

#include "common/format_text.h"

namespace {

// Windows language ids.
constexpr std::uint16_t kZhCn = 0x0804, kZhTw = 0x0404, kZhHk = 0x0C04, kZhSg = 0x1004, kZhNeutral = 0x0004;
constexpr std::uint16_t kEnUs = 0x0409, kEnGb = 0x0809, kJaJp = 0x0411, kKoKr = 0x0412, kDeDe = 0x0407;
constexpr std::uint16_t kNeutral = 0x0000, kInvariant = 0x007F;

TEST(ChooseUiLanguage, AutoFollowsTheSystemEveryChineseIsChinese) {
  for (std::uint16_t id : {kZhCn, kZhTw, kZhHk, kZhSg, kZhNeutral}) {
    EXPECT_EQ(ChooseUiLanguage("auto", id), UiLanguage::Chinese) << std::hex << id;
  }
  for (std::uint16_t id : {kEnUs, kEnGb, kJaJp, kKoKr, kDeDe, kNeutral, kInvariant}) {
    EXPECT_EQ(ChooseUiLanguage("auto", id), UiLanguage::English) << std::hex << id;
  }
}

TEST(ChooseUiLanguage, TheKeyOverridesTheSystemBothWays) {
  EXPECT_EQ(ChooseUiLanguage("en", kZhCn), UiLanguage::English);
  EXPECT_EQ(ChooseUiLanguage("EN", kZhTw), UiLanguage::English);
  EXPECT_EQ(ChooseUiLanguage("zh-CN", kEnUs), UiLanguage::Chinese);
  EXPECT_EQ(ChooseUiLanguage("ZH-cn", kJaJp), UiLanguage::Chinese);
}

TEST(ChooseUiLanguage, AnythingElseLeavesItToTheSystem) {
  for (const char* value : {"", "AUTO", "zh", "zh-TW", "zh_CN", "english", "en-US", " en", "fr", "zh-CN "}) {
    EXPECT_EQ(ChooseUiLanguage(value, kZhCn), UiLanguage::Chinese) << value;
    EXPECT_EQ(ChooseUiLanguage(value, kEnUs), UiLanguage::English) << value;
  }
}

TEST(LanguageChoice, TheDropDownShowsTheKeyAndWritesItBack) {
  EXPECT_EQ(LanguageChoiceIndex("auto"), 0);
  EXPECT_EQ(LanguageChoiceIndex("zh-CN"), 1);
  EXPECT_EQ(LanguageChoiceIndex("zh-cn"), 1);
  EXPECT_EQ(LanguageChoiceIndex("en"), 2);
  EXPECT_EQ(LanguageChoiceIndex("En"), 2);
  EXPECT_EQ(LanguageChoiceIndex("fr"), 0);  // what an unknown value does
  EXPECT_EQ(LanguageChoiceIndex(""), 0);
  EXPECT_EQ(LanguageChoiceValue(0), "auto");
  EXPECT_EQ(LanguageChoiceValue(1), "zh-CN");
  EXPECT_EQ(LanguageChoiceValue(2), "en");
  EXPECT_EQ(LanguageChoiceValue(3), "auto");
  EXPECT_EQ(LanguageChoiceValue(-1), "auto");
}

TEST(FormatText, ParametersWhereverTheTranslationPutsThem) {
  struct Case { const wchar_t* pattern; const wchar_t* expected; };
  const Case cases[] = {
      {L"快捷键 %1 已被占用", L"快捷键 Ctrl+Alt+L 已被占用"},
      {L"%1 and %2", L"Ctrl+Alt+L and Shift+Q"},
      {L"%2、%1", L"Shift+Q、Ctrl+Alt+L"},
      {L"%1%1", L"Ctrl+Alt+LCtrl+Alt+L"},
      {L"%10", L"Ctrl+Alt+L0"},          // one digit: %1, then a 0
      {L"100%% sure", L"100% sure"},
      {L"%%1", L"%1"},
      {L"50% off, %", L"50% off, %"},    // a percent sign before no digit stays
      {L"%0 %a", L"%0 %a"},
      {L"[%3]", L"[]"},                  // no third argument: nothing
      {L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatText(c.pattern, {L"Ctrl+Alt+L", L"Shift+Q"}), c.expected) << testing::PrintToString(c.pattern);
  }
}

TEST(FormatText, ArgumentsGoInAsTheyAre) {
  EXPECT_EQ(FormatText(L"无法识别的参数：%1", {L"--%2%%"}), L"无法识别的参数：--%2%%");
  EXPECT_EQ(FormatText(L"%1|%2", {L"", L"b"}), L"|b");
  EXPECT_EQ(FormatText(L"%1 %2 %3 %4 %5 %6 %7 %8 %9", {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"}),
            L"1 2 3 4 5 6 7 8 9");
}

}  // namespace
