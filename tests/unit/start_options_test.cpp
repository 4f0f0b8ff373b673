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

TEST(ParseStartOptions, TheInstallersStepsAsWritten) {
  EXPECT_EQ(ParseStartOptions(Args{L"--close"}).installerStep, InstallerStep::Close);
  EXPECT_EQ(ParseStartOptions(Args{L"--uninstall"}).installerStep, InstallerStep::Uninstall);
  EXPECT_TRUE(ParseStartOptions(Args{L"--uninstall"}).unknown.empty());
  EXPECT_EQ(ParseStartOptions(Args{L"--Close", L"--close=1"}).installerStep, InstallerStep::None);
}

// Texts of the kind the string tables hold, with the argument inside its line.
const StartProblemTexts kTexts{L"Started; ignored:", L"- %1 (unknown)", L"- --settings without a path", L"Usage: X"};

TEST(StartProblemsText, NothingToSayForAGoodCommandLine) {
  EXPECT_EQ(StartProblemsText(ParseStartOptions(Args{}), kTexts), L"");
  EXPECT_EQ(StartProblemsText(ParseStartOptions(Args{L"--settings", L"x.ini"}), kTexts), L"");
}

TEST(StartProblemsText, NamesEveryIgnoredArgumentInOrderThenTheUsage) {
  // An empty argument shows as its quotes; an argument is put in as it is,
  // a "%1" in it included.
  EXPECT_EQ(StartProblemsText(ParseStartOptions(Args{L"--foo", L"", L"书.txt", L"--x=%1", L"--settings"}), kTexts),
            L"Started; ignored:\n- --foo (unknown)\n- \"\" (unknown)\n- 书.txt (unknown)\n- --x=%1 (unknown)\n"
            L"- --settings without a path\n\nUsage: X");
  EXPECT_EQ(StartProblemsText(ParseStartOptions(Args{L"--settings=", L"a.ini"}), kTexts),
            L"Started; ignored:\n- a.ini (unknown)\n- --settings without a path\n\nUsage: X");
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
