// The command line: --settings names the settings file, wherever softveil
// is started; what softveil cannot use is reported once and ignored.
#include <gtest/gtest.h>

#include <set>

#include "tests/e2e/harness.h"

namespace fs = std::filesystem;

namespace {

constexpr char kKnownIni[] = "[settings]\r\nheight=150\r\nhorizontal=0\r\n";

std::wstring HeightShown(const Softveil& app) {
  HWND dlg = app.OpenDialog(ID_MENU_SETTINGS, L"设置");
  if (!dlg) return L"<no dialog>";
  const std::wstring height = WindowText(GetDlgItem(dlg, 1000));
  PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
  WaitUntil([&] { return !IsWindow(dlg); });
  return height;
}

// The names directly in a folder.
std::set<std::wstring> Names(const fs::path& dir) {
  std::set<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().wstring());
  return names;
}

fs::path ExeFolder() { return fs::path(SoftveilExePath()).parent_path(); }

struct NamedFileCase {
  const char* name;
  // The file, from the two folders the test makes: `work` (the working
  // directory) and `home` (elsewhere, beside it).
  std::function<fs::path(const fs::path& work, const fs::path& home)> file;
  // The arguments that name it.
  std::function<std::wstring(const fs::path& work, const fs::path& home)> args;
};

void PrintTo(const NamedFileCase& c, std::ostream* os) { *os << c.name; }

class NamedSettingsFile : public testing::TestWithParam<NamedFileCase> {};

TEST_P(NamedSettingsFile, IsReadAndSavedWhateverTheWorkingDirectory) {
  TempDir work, home;
  const fs::path file = GetParam().file(work.path(), home.path());
  fs::create_directories(file.parent_path());
  WriteBytes(file, kKnownIni);
  const std::set<std::wstring> workBefore = Names(work.path());

  Softveil app(work.path(), SoftveilCommand(GetParam().args(work.path(), home.path())));
  ASSERT_TRUE(app.controller());
  Pause(300);
  EXPECT_EQ(app.FindMessageBox(), nullptr) << "a good command line is not reported";
  EXPECT_EQ(HeightShown(app), L"150");

  HWND dlg = app.OpenDialog(ID_MENU_SETTINGS, L"设置");
  ASSERT_TRUE(dlg);
  HWND box = ConfirmHeight(app, dlg, L"321");
  EXPECT_EQ(box, nullptr) << MessageBoxText(box);
  EXPECT_EQ(ReadBytes(file), "[settings]\r\nheight=321\r\nhorizontal=0\r\ntransparence=200\r\n"
                             "hotkey_mask_open=ALT|CTRL|O\r\nhotkey_lock_open=ALT|CTRL|L\r\ncolor=0\r\n");
  EXPECT_EQ(Names(work.path()), workBefore) << "nothing new in the working directory";
  EXPECT_EQ(app.Exit(), 0u);
}

const NamedFileCase kNamedFileCases[] = {
    {"RelativeWithSpacesAndChinese",
     [](const fs::path& work, const fs::path&) { return work / L"子 目录" / L"设置 1.ini"; },
     [](const fs::path&, const fs::path&) { return std::wstring(LR"(--settings "子 目录\设置 1.ini")"); }},
    {"RelativeAboveTheWorkingDirectory",
     [](const fs::path&, const fs::path& home) { return home / L"reading.ini"; },
     [](const fs::path&, const fs::path& home) {
       return L"--settings ..\\" + home.filename().wstring() + L"\\reading.ini";
     }},
    {"AbsoluteWithSpacesAndChinese",
     [](const fs::path&, const fs::path& home) { return home / L"电子书 设置" / L"softveil.ini"; },
     [](const fs::path&, const fs::path& home) {
       return L"--settings \"" + (home / L"电子书 设置" / L"softveil.ini").wstring() + L"\"";
     }},
    {"EqualsForm",
     [](const fs::path&, const fs::path& home) { return home / L"阅读.ini"; },
     [](const fs::path&, const fs::path& home) { return L"\"--settings=" + (home / L"阅读.ini").wstring() + L"\""; }},
};

INSTANTIATE_TEST_SUITE_P(CommandLine, NamedSettingsFile, testing::ValuesIn(kNamedFileCases),
                         [](const testing::TestParamInfo<NamedFileCase>& info) { return info.param.name; });

// Starts softveil on `file` from a fresh working directory, confirms a new
// height and expects the failed save to be reported, naming the file, with
// every file left as it was: in `file`'s folder (when it exists), in the
// working directory and beside the program.
void ExpectSaveReportedAsFailed(const fs::path& file, const std::wstring& heightShown) {
  TempDir work;
  const fs::path folder = file.parent_path();
  const DirSnapshot folderBefore = fs::exists(folder) ? TakeSnapshot(folder) : DirSnapshot{};
  const std::set<std::wstring> besideExe = Names(ExeFolder());

  Softveil app(work.path(), SoftveilCommand(L"--settings \"" + file.wstring() + L"\""));
  ASSERT_TRUE(app.controller()) << "the program did not start";
  EXPECT_EQ(HeightShown(app), heightShown);
  HWND dlg = app.OpenDialog(ID_MENU_SETTINGS, L"设置");
  ASSERT_TRUE(dlg);
  HWND box = ConfirmHeight(app, dlg, L"321");
  ASSERT_TRUE(box) << "a failed save must be reported";
  EXPECT_NE(MessageBoxText(box).find(file.wstring()), std::wstring::npos) << testing::PrintToString(MessageBoxText(box));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  EXPECT_EQ(HeightShown(app), L"321") << "the new values hold for this run";
  EXPECT_EQ(app.Exit(), 0u);

  EXPECT_EQ(fs::exists(folder) ? TakeSnapshot(folder) : DirSnapshot{}, folderBefore);
  EXPECT_TRUE(fs::is_empty(work.path()));
  EXPECT_EQ(Names(ExeFolder()), besideExe);
}

TEST(CommandLine, SettingsInAMissingFolderStartOnDefaultsAndTheSaveIsReportedAsFailed) {
  TempDir home;
  const fs::path file = home.path() / L"不存在的目录" / L"softveil.ini";
  ExpectSaveReportedAsFailed(file, L"200");
  EXPECT_FALSE(fs::exists(file.parent_path()));
}

TEST(CommandLine, SettingsInAnUnwritableFolderAreReadAndTheSaveIsReportedAsFailed) {
  TempDir home;
  const fs::path file = home.path() / L"softveil.ini";
  WriteBytes(file, kKnownIni);
  if (!SetImmutable(home.path(), true)) GTEST_SKIP() << "cannot make a directory unwritable here (chattr +i)";
  struct Undo {
    fs::path dir;
    ~Undo() { SetImmutable(dir, false); }
  } undo{home.path()};
  ExpectSaveReportedAsFailed(file, L"150");
  EXPECT_EQ(ReadBytes(file), kKnownIni);
}

TEST(CommandLine, WhatCannotBeUsedIsReportedOnceAndTheProgramRunsOnTheWorkingDirectory) {
  TempDir work;
  Softveil app(work.path(), SoftveilCommand(L"--frobnicate \"\" 书.txt --settings"));
  ASSERT_TRUE(app.controller()) << "the program did not start";
  EXPECT_TRUE(TrayIconPresent(app.controller()));
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = app.FindMessageBox()) != nullptr; }));
  const std::wstring text = MessageBoxText(box);
  for (const wchar_t* part : {L"--frobnicate", L"\"\"", L"书.txt", L"--settings"}) {
    EXPECT_NE(text.find(part), std::wstring::npos) << testing::PrintToString(std::wstring(part)) << " in "
                                                   << testing::PrintToString(text);
  }
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  Pause(500);
  EXPECT_EQ(app.FindMessageBox(), nullptr) << "one message only";

  // --settings without a path: softveil.ini in the working directory, as always.
  HWND dlg = app.OpenDialog(ID_MENU_SETTINGS, L"设置");
  ASSERT_TRUE(dlg);
  EXPECT_EQ(ConfirmHeight(app, dlg, L"222"), nullptr);
  const std::optional<std::string> ini = ReadBytes(work.path() / "softveil.ini");
  ASSERT_TRUE(ini);
  EXPECT_NE(ini->find("height=222\r\n"), std::string::npos);
  EXPECT_EQ(app.Exit(), 0u);
}

}  // namespace
