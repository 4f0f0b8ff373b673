// File and process faults: a settings file or working directory that cannot
// be written, files that make no sense or are huge, a very long working
// directory, a killed process, two copies racing, and a restarted shell.
#include "tests/e2e/harness.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <map>
#include <random>

namespace fs = std::filesystem;

namespace {

// Every key away from its default; the hotkeys are written in the order the
// dialog writes them (ALT, CTRL, SHIFT), so confirming the dialog with only
// a new height changes nothing but the height line.
constexpr char kKnownIni[] =
    "[settings]\r\nheight=150\r\nhorizontal=0\r\ntransparence=120\r\nhotkey_mask_open=ALT|SHIFT|M\r\n"
    "hotkey_lock_open=CTRL|SHIFT|K\r\ncolor=255\r\n";

SettingsView KnownView() {
  SettingsView v;
  v.height = L"150";
  v.trackbarPos = 120;
  v.trackbarMin = 10;
  v.trackbarMax = 255;
  v.transparencyLabel = L"120";
  v.vertical = true;
  v.maskRow = {false, true, true, L"M"};
  v.lockRow = {true, false, true, L"K"};
  v.swatch = RGB(255, 0, 0);
  return v;
}

std::string WithHeight(std::string ini, const std::string& height) {
  const std::string old = "\r\nheight=150\r\n";
  const std::size_t at = ini.find(old);
  if (at != std::string::npos) ini.replace(at, old.size(), "\r\nheight=" + height + "\r\n");
  return ini;
}

HWND OpenSettings(const Softveil& app) { return app.OpenDialog(ID_MENU_SETTINGS, kSettingsCaption); }

// What the settings dialog shows when it is opened now, waiting until it
// shows `expected`; the dialog is cancelled again.
std::optional<SettingsView> ShownOnOpening(const Softveil& app, const SettingsView& expected) {
  HWND dlg = OpenSettings(app);
  if (!dlg) return std::nullopt;
  const SettingsView shown = SettingsDialogShowing(dlg, expected);
  PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
  WaitGone(dlg);
  return shown;
}

// A save that cannot succeed: the program starts on what it could read, says
// so when the user confirms the settings dialog, keeps the new values for
// this run, and leaves every file as it was.

struct SaveFault {
  const char* name;
  // Prepares `dir` (or points it elsewhere) and returns the form the program
  // should show, or nothing with the reason why the fault cannot be made
  // here; `undo` is run at the end whatever happens.
  std::function<std::optional<SettingsView>(fs::path& dir, std::function<void()>& undo, std::string& whyNot)> prepare;
};

void PrintTo(const SaveFault& fault, std::ostream* os) { *os << fault.name; }

class SaveFaultTest : public testing::TestWithParam<SaveFault> {};

TEST_P(SaveFaultTest, StartsOnWhatItCouldReadAndReportsTheFailedSave) {
  TempDir temp;
  fs::path dir = temp.path();
  std::function<void()> undo;
  struct Undo {
    std::function<void()>& run;
    ~Undo() {
      if (run) run();
    }
  } undoAtEnd{undo};
  std::string whyNot;
  const std::optional<SettingsView> prepared = GetParam().prepare(dir, undo, whyNot);
  if (!prepared) GTEST_SKIP() << whyNot;
  const SettingsView expected = *prepared;
  const bool ours = dir == temp.path();  // a system directory is not ours to list
  const DirSnapshot before = ours ? TakeSnapshot(dir) : DirSnapshot{};

  Softveil app(dir, Softveil::Start::Ready);
  ASSERT_TRUE(app.controller()) << "the program did not start";
  HWND dlg = OpenSettings(app);
  ASSERT_TRUE(dlg);
  EXPECT_EQ(SettingsDialogShowing(dlg, expected), expected);

  HWND box = ConfirmHeight(app, dlg, L"321");
  ASSERT_TRUE(box) << "a failed save must be reported";
  EXPECT_NE(MessageBoxText(box).find(L"softveil.ini"), std::wstring::npos)
      << testing::PrintToString(MessageBoxText(box));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(dlg));
  if (ours) {
    EXPECT_EQ(TakeSnapshot(dir), before);
  }

  // The new values hold for the rest of the run.
  SettingsView now = expected;
  now.height = L"321";
  EXPECT_EQ(ShownOnOpening(app, now), now);
  EXPECT_EQ(app.Exit(), 0u);
  if (ours) {
    EXPECT_EQ(TakeSnapshot(dir), before);
  }
}

const SaveFault kSaveFaults[] = {
    {"ReadOnlyFile",
     [](fs::path& dir, std::function<void()>& undo, std::string&) -> std::optional<SettingsView> {
       const fs::path ini = dir / "softveil.ini";
       WriteBytes(ini, kKnownIni);
       SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
       undo = [ini] { SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL); };
       return KnownView();
     }},
    {"DirectoryNamedLikeTheFile",
     [](fs::path& dir, std::function<void()>&, std::string&) -> std::optional<SettingsView> {
       fs::create_directory(dir / "softveil.ini");
       WriteBytes(dir / "softveil.ini" / "notes.txt", "not a settings file\r\n");
       return DefaultSettingsView();
     }},
    {"TemporaryNameTakenByADirectory",
     [](fs::path& dir, std::function<void()>&, std::string&) -> std::optional<SettingsView> {
       // The new file is written beside the old one under this name first.
       WriteBytes(dir / "softveil.ini", kKnownIni);
       fs::create_directory(dir / "softveil.ini.tmp");
       WriteBytes(dir / "softveil.ini.tmp" / "keep.txt", "keep me");
       return KnownView();
     }},
    {"Utf16File",
     [](fs::path& dir, std::function<void()>&, std::string&) -> std::optional<SettingsView> {
       // Rewriting a UTF-16 file as 8-bit text would destroy it.
       const std::string text = "[other]\r\nnote=written by another program\r\n";
       std::string bytes = "\xFF\xFE";
       for (char c : text) bytes += std::string{c, '\0'};
       WriteBytes(dir / "softveil.ini", bytes);
       return DefaultSettingsView();
     }},
    {"ImmutableDirectory",
     [](fs::path& dir, std::function<void()>& undo, std::string& whyNot) -> std::optional<SettingsView> {
       WriteBytes(dir / "softveil.ini", kKnownIni);
       if (!SetImmutable(dir, true)) {
         whyNot = "cannot make a directory unwritable here (chattr +i)";
         return std::nullopt;
       }
       undo = [dir] { SetImmutable(dir, false); };
       return KnownView();
     }},
    {"DirectoryWithoutRoomForFiles",
     [](fs::path& dir, std::function<void()>&, std::string& whyNot) -> std::optional<SettingsView> {
       // /proc holds no settings file and refuses new files, even root's.
       dir = L"Z:\\proc";
       if (!fs::is_directory(dir) || CanCreateFileIn(dir)) {
         whyNot = "no unwritable /proc under Z: here";
         return std::nullopt;
       }
       return DefaultSettingsView();
     }},
};

INSTANTIATE_TEST_SUITE_P(Faults, SaveFaultTest, testing::ValuesIn(kSaveFaults),
                         [](const testing::TestParamInfo<SaveFault>& info) { return info.param.name; });

// Files the program can make no sense of, or a great deal of.

std::string BinaryGarbage(std::size_t size) {
  std::mt19937 random(20240607);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(byte(random));
  bytes[0] = 'G';  // not a UTF-16 mark
  return bytes;
}

TEST(Faults, BinaryGarbageRunsOnDefaultsStaysUntouchedAndTakesASave) {
  TempDir dir;
  const fs::path ini = dir.path() / "softveil.ini";
  const std::string garbage = BinaryGarbage(64 * 1024);
  WriteBytes(ini, garbage);
  {
    Softveil app(dir.path(), Softveil::Start::Ready);
    ASSERT_TRUE(app.controller());
    EXPECT_EQ(ShownOnOpening(app, DefaultSettingsView()), DefaultSettingsView());
    EXPECT_EQ(app.Exit(), 0u);
  }
  EXPECT_TRUE(ReadBytes(ini) == garbage) << "nothing was confirmed, yet the file changed";
  {
    Softveil app(dir.path(), Softveil::Start::Ready);
    ASSERT_TRUE(app.controller());
    HWND dlg = OpenSettings(app);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(ConfirmHeight(app, dlg, L"321"), nullptr) << "the file can be written";
    EXPECT_EQ(app.Exit(), 0u);
  }
  Softveil again(dir.path(), Softveil::Start::Ready);
  ASSERT_TRUE(again.controller());
  SettingsView saved = DefaultSettingsView();
  saved.height = L"321";
  EXPECT_EQ(ShownOnOpening(again, saved), saved);
  EXPECT_EQ(again.Exit(), 0u);
}

// About 4 MB of other sections around the settings, in the shape the store
// writes (CRLF, no blank lines, no blanks around '='), so that a save that
// changes one value changes exactly one line.
std::string HugeIni() {
  std::string text;
  const auto filler = [&](int first, int count) {
    for (int s = first; s < first + count; ++s) {
      text += "[other" + std::to_string(s) + "]\r\n";
      for (int k = 0; k < 40; ++k) {
        text += "key" + std::to_string(k) + "=value " + std::to_string(s) + "/" + std::to_string(k) +
                " of a section this program does not own\r\n";
      }
    }
  };
  filler(0, 1000);
  text += std::string(kKnownIni);
  filler(1000, 1000);
  return text;
}

TEST(Faults, SeveralMegabytesAreReadAndOnlyTheChangedLineIsRewritten) {
  TempDir dir;
  const fs::path ini = dir.path() / "softveil.ini";
  const std::string huge = HugeIni();
  ASSERT_GT(huge.size(), 4u * 1000 * 1000);
  WriteBytes(ini, huge);

  Softveil app(dir.path(), Softveil::Start::Ready);
  ASSERT_TRUE(app.controller());
  HWND dlg = OpenSettings(app);
  ASSERT_TRUE(dlg);
  EXPECT_EQ(SettingsDialogShowing(dlg, KnownView()), KnownView());
  EXPECT_EQ(ConfirmHeight(app, dlg, L"321"), nullptr) << "the file can be written";
  const std::optional<std::string> after = ReadBytes(ini);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->size(), huge.size());
  EXPECT_TRUE(*after == WithHeight(huge, "321")) << "only the height line may change";
  EXPECT_FALSE(fs::exists(dir.path() / "softveil.ini.tmp"));
  EXPECT_EQ(app.Exit(), 0u);
}

// A working directory whose settings path is longer than 260 characters.
// Wine cannot start a process in a directory of 259 characters or more:
// CreateProcess fails with ERROR_PATH_NOT_FOUND beyond 260, and at 259 and
// 260 it starts the child wrongly and damages the caller's heap. So the
// directory is 258 characters long and the settings path, with
// "\softveil.ini", is 271.
TEST(Faults, SettingsPathLongerThan260Characters) {
  TempDir temp;
  std::wstring dir = temp.path().wstring();
  constexpr std::size_t kDirLength = 258;
  while (dir.size() < kDirLength) {
    const std::size_t room = kDirLength - dir.size() - 1;  // one for the separator
    dir += L"\\" + std::wstring(std::min<std::size_t>(room, 100), L'd');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + dir).c_str(), nullptr));
  }
  ASSERT_EQ(dir.size(), kDirLength);
  const fs::path ini = L"\\\\?\\" + dir + L"\\softveil.ini";
  WriteBytes(ini, kKnownIni);
  ASSERT_EQ(ReadBytes(ini), std::string(kKnownIni));

  Softveil app(dir, Softveil::Start::Ready);
  ASSERT_TRUE(app.controller()) << "the program did not start";
  HWND dlg = OpenSettings(app);
  ASSERT_TRUE(dlg);
  EXPECT_EQ(SettingsDialogShowing(dlg, KnownView()), KnownView());
  // Refusing such a path is as sound as using it, but a refused save must be
  // reported and must leave the file alone.
  if (HWND box = ConfirmHeight(app, dlg, L"321")) {
    EXPECT_NE(MessageBoxText(box).find(L"softveil.ini"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadBytes(ini), std::string(kKnownIni));
  } else {
    EXPECT_EQ(ReadBytes(ini), WithHeight(kKnownIni, "321"));
  }
  EXPECT_EQ(app.Exit(), 0u);
  DeleteFileW(ini.c_str());
}

// Process faults.

TEST(Faults, KilledWithADialogOpenTheNextStartWorksOnTheSameFile) {
  TempDir dir;
  const fs::path ini = dir.path() / "softveil.ini";
  WriteBytes(ini, kKnownIni);
  TestWindow reader(RECT{200, 100, 1000, 900});
  const POINT centre = reader.Center();
  MovePointer(centre.x, centre.y);
  {
    Softveil app(dir.path(), Softveil::Start::Ready);
    ASSERT_TRUE(app.controller());
    app.Command(ID_MENU_MASK_ON);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.FindMask()) != FALSE; }));
    ASSERT_TRUE(OpenSettings(app));
    ASSERT_TRUE(TerminateProcess(app.process(), 1));
    ASSERT_TRUE(app.WaitExit().has_value());
  }
  Softveil again(dir.path(), Softveil::Start::Ready);
  ASSERT_TRUE(again.controller()) << "the abandoned guard must not refuse the next start";
  EXPECT_EQ(again.FindMessageBox(), nullptr);
  EXPECT_TRUE(TrayIconPresent(again.controller()));
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_SHIFT, 'K')) << "the lock hotkey from the file";
  ASSERT_TRUE(again.WaitForMask());
  EXPECT_TRUE(WaitUntil([] { return !HotkeyIsFree(MOD_ALT | MOD_SHIFT, 'M'); })) << "the mask hotkey from the file";
  EXPECT_EQ(again.Exit(), 0u);
  EXPECT_EQ(ReadBytes(ini), std::string(kKnownIni));
}

TEST(Faults, TwoCopiesStartedTogetherOneRunsAndOneIsRefused) {
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    TempDir dirA, dirB;
    Softveil a(dirA.path(), Softveil::Start::Suspended), b(dirB.path(), Softveil::Start::Suspended);
    ASSERT_TRUE(a.process() && b.process());
    // Both were created suspended, so they reach the guard together.
    a.Resume();
    b.Resume();

    Softveil* refused = nullptr;
    Softveil* running = nullptr;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      for (Softveil* app : {&a, &b}) {
        if (HWND found = app->FindMessageBox()) {
          refused = app;
          box = found;
        }
      }
      running = refused == &a ? &b : &a;
      return refused && running->StartedUp();
    }, 15000)) << "one copy shows the refusal, the other starts";

    EXPECT_EQ(MessageBoxText(box), L"已经有一个程序在运行！");
    EXPECT_EQ(refused->FindController(), nullptr);
    EXPECT_EQ(running->FindMessageBox(), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(refused->WaitExit(), 0u);

    EXPECT_TRUE(running->Running());
    ASSERT_TRUE(running->WaitForStartUp());
    EXPECT_EQ(running->Exit(), 0u);
    EXPECT_FALSE(fs::exists(dirA.path() / "softveil.ini"));
    EXPECT_FALSE(fs::exists(dirB.path() / "softveil.ini"));
  }
}

TEST(Faults, TaskbarCreatedBringsTheTrayIconBack) {
  Softveil app;
  ASSERT_TRUE(app.controller());
  // What a restarting shell does: the icons it held are gone...
  NOTIFYICONDATAW nid = {};
  nid.cbSize = sizeof nid;
  nid.hWnd = app.controller();
  nid.uID = kTrayIconId;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
  ASSERT_FALSE(TrayIconPresent(app.controller()));
  // ...and it announces itself to every top-level window.
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  ASSERT_NE(taskbarCreated, 0u);
  PostMessageW(app.controller(), taskbarCreated, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(app.controller()); }));
  // A second announcement while the icon is there leaves one working icon.
  PostMessageW(app.controller(), taskbarCreated, 0, 0);
  Pause(300);
  EXPECT_TRUE(TrayIconPresent(app.controller()));
  HWND controller = app.controller();
  EXPECT_EQ(app.Exit(), 0u);
  EXPECT_FALSE(TrayIconPresent(controller));
}

}  // namespace
