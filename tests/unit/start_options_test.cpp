#include "app/start_options.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/autostart.h"
#include "common/command_line.h"

namespace {

using Args = std::vector<std::wstring>;

TEST(ParseStartOptions, SettingsFileAndWhatIsIgnored) {
  struct Case {
    Args args;
    std::optional<std::wstring> file;
    bool withoutPath;
    Args unknown;
  };
  const Case cases[] = {
      {{}, std::nullopt, false, {}},
      {{L"--settings", LR"(D:\a b\x.ini)"}, LR"(D:\a b\x.ini)", false, {}},
      {{L"--settings=设置.ini"}, L"设置.ini", false, {}},
      {{L"--settings"}, std::nullopt, true, {}},
      {{L"--settings", L""}, std::nullopt, true, {}},
      {{L"--settings="}, std::nullopt, true, {}},
      {{L"--settings", L"--verbose"}, std::nullopt, true, {L"--verbose"}},
      {{L"--settings", L"a.ini", L"--settings", L"b.ini"}, L"b.ini", false, {}},
      {{L"--settings", L"a.ini", L"--settings"}, std::nullopt, true, {}},
      {{L"--settings", L"a.ini", L"extra"}, L"a.ini", false, {L"extra"}},
      {{L"-settings", L"x"}, std::nullopt, false, {L"-settings", L"x"}},
      {{L"--Settings", L"x"}, std::nullopt, false, {L"--Settings", L"x"}},
      {{L"--settingsx"}, std::nullopt, false, {L"--settingsx"}},
      {{L""}, std::nullopt, false, {L""}},
  };
  for (const Case& c : cases) {
    const StartOptions options = ParseStartOptions(c.args);
    EXPECT_EQ(options.settingsFile, c.file) << testing::PrintToString(c.args);
    EXPECT_EQ(options.settingsWithoutPath, c.withoutPath) << testing::PrintToString(c.args);
    EXPECT_EQ(options.unknown, c.unknown) << testing::PrintToString(c.args);
  }
}

TEST(StartProblemsText, NothingToSayForAGoodCommandLine) {
  EXPECT_EQ(StartProblemsText(ParseStartOptions(Args{})), L"");
  EXPECT_EQ(StartProblemsText(ParseStartOptions(Args{L"--settings", L"x.ini"})), L"");
}

TEST(StartProblemsText, NamesEveryIgnoredArgumentInOrderThenTheUsage) {
  const std::wstring text = StartProblemsText(ParseStartOptions(Args{L"--foo", L"", L"书.txt", L"--settings"}));
  const std::size_t foo = text.find(L"--foo");
  const std::size_t empty = text.find(L"\"\"");
  const std::size_t book = text.find(L"书.txt");
  const std::size_t missing = text.find(L"--settings");
  const std::size_t usage = text.rfind(L"softveil.exe [--settings");
  ASSERT_NE(foo, std::wstring::npos) << testing::PrintToString(text);
  ASSERT_NE(empty, std::wstring::npos);
  ASSERT_NE(book, std::wstring::npos);
  ASSERT_NE(missing, std::wstring::npos);
  ASSERT_NE(usage, std::wstring::npos);
  EXPECT_LT(foo, empty);
  EXPECT_LT(empty, book);
  EXPECT_LT(book, missing);
  EXPECT_LT(missing, usage);
  // One line per problem after the opening line, a blank line, the usage.
  EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 6);
}

TEST(SettingsFileFromOptions, RelativePathsFromTheWorkingDirectory) {
  const std::wstring dir = LR"(C:\Users\李明\电子书)";
  EXPECT_EQ(SettingsFileFromOptions(ParseStartOptions(Args{}), dir), L"");
  EXPECT_EQ(SettingsFileFromOptions(ParseStartOptions(Args{L"--settings", L"我的 设置.ini"}), dir),
            LR"(C:\Users\李明\电子书\我的 设置.ini)");
  EXPECT_EQ(SettingsFileFromOptions(ParseStartOptions(Args{L"--settings=..\\softveil.ini"}), dir),
            LR"(C:\Users\李明\softveil.ini)");
  EXPECT_EQ(SettingsFileFromOptions(ParseStartOptions(Args{L"--settings", L"E:\\s.ini"}), dir), L"E:\\s.ini");
}

TEST(SettingsFileFromOptions, TheAutostartCommandFindsItsFileFromASystemFolder) {
  // Started at sign-in, softveil's working directory is a system folder.
  const std::wstring exe = LR"(C:\Program Files\电子书 工具\softveil.exe)";
  const std::wstring ini = LR"(C:\Users\李明\AppData\Roaming\softveil\soft veil.ini)";
  const Args args = SplitCommandLine(AutostartCommand(exe, ini));
  ASSERT_FALSE(args.empty());
  EXPECT_EQ(args.front(), exe);
  const StartOptions options = ParseStartOptions(std::span(args).subspan(1));
  EXPECT_TRUE(options.unknown.empty());
  EXPECT_EQ(SettingsFileFromOptions(options, LR"(C:\Windows\System32)"), ini);
}

}  // namespace
