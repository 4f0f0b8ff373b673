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

constexpr UINT kCmdExit = 32771;
constexpr UINT kCmdSettings = 32773;
constexpr UINT kCmdMaskOn = 32775;

// What the settings dialog shows, read from its controls.
struct Form {
  std::wstring height;
  int transparency = 0;
  bool horizontal = false;
  bool maskCtrl = false, maskAlt = false, maskShift = false;
  std::wstring maskKey;
  bool lockCtrl = false, lockAlt = false, lockShift = false;
  std::wstring lockKey;
  bool operator==(const Form&) const = default;
};

void PrintTo(const Form& f, std::ostream* os) {
  const auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
  *os << "{height " << narrow(f.height) << ", transparency " << f.transparency
      << (f.horizontal ? ", horizontal" : ", vertical") << ", mask " << f.maskCtrl << f.maskAlt << f.maskShift
      << narrow(f.maskKey) << ", lock " << f.lockCtrl << f.lockAlt << f.lockShift << narrow(f.lockKey) << "}";
}

bool Ticked(HWND dlg, int id) { return SendMessageW(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

Form ReadForm(HWND dlg) {
  Form f;
  f.height = WindowText(GetDlgItem(dlg, 1000));
  f.transparency = static_cast<int>(SendMessageW(GetDlgItem(dlg, 1003), WM_USER, 0, 0));  // TBM_GETPOS
  f.horizontal = Ticked(dlg, 1023);
  f.maskCtrl = Ticked(dlg, 1005);
  f.maskAlt = Ticked(dlg, 1006);
  f.maskShift = Ticked(dlg, 1007);
  f.maskKey = WindowText(GetDlgItem(dlg, 1008));
  f.lockCtrl = Ticked(dlg, 1013);
  f.lockAlt = Ticked(dlg, 1014);
  f.lockShift = Ticked(dlg, 1015);
  f.lockKey = WindowText(GetDlgItem(dlg, 1016));
  return f;
}

// Nothing readable: the program runs on the values it has without a file.
const Form kDefaultForm{L"200", 200, true, true, true, false, L"O", true, true, false, L"L"};

// Every key away from its default; the hotkeys are written in the order the
// dialog writes them (ALT, CTRL, SHIFT), so confirming the dialog with only
// a new height changes nothing but the height line.
constexpr char kKnownIni[] =
    "[settings]\r\nheight=150\r\nhorizontal=0\r\ntransparence=120\r\nhotkey_mask_open=ALT|SHIFT|M\r\n"
    "hotkey_lock_open=CTRL|SHIFT|K\r\ncolor=255\r\n";
const Form kKnownForm{L"150", 120, false, false, true, true, L"M", true, false, true, L"K"};

std::string WithHeight(std::string ini, const std::string& height) {
  const std::string old = "\r\nheight=150\r\n";
  const std::size_t at = ini.find(old);
  if (at != std::string::npos) ini.replace(at, old.size(), "\r\nheight=" + height + "\r\n");
  return ini;
}

HWND FindController(DWORD pid) {
  auto found = WindowsOfProcess(pid, [](HWND h) {
    return ClassName(h) == L"#32770" && !IsWindowVisible(h) && GetDlgItem(h, 1000) && GetDlgItem(h, IDOK) &&
           !GetDlgItem(h, 1003);
  });
  return found.empty() ? nullptr : found.front();
}

// A message box of the program: its caption is the program's title.
HWND FindAppMessageBox(DWORD pid) {
  auto found = WindowsOfProcess(pid, [](HWND h) {
    return IsWindowVisible(h) && ClassName(h) == L"#32770" && WindowText(h) == L"softveil" &&
           GetDlgItem(h, 0xFFFF) != nullptr;
  });
  return found.empty() ? nullptr : found.front();
}

std::wstring ExePath() {
  const char* env = std::getenv("SOFTVEIL_EXE");
  std::string path = env ? env : "softveil.exe";
  if (!path.empty() && path[0] == '/') {  // a Unix path from ctest: Wine's Z: drive
    path = "Z:" + path;
    for (char& c : path) c = c == '/' ? '\\' : c;
  }
  return std::wstring(path.begin(), path.end());
}

// softveil in a working directory the test prepared itself (the harness's
// Softveil always makes a fresh one), optionally started suspended.
class AppIn {
 public:
  explicit AppIn(const fs::path& dir, bool suspended = false) {
    std::wstring exe = ExePath();
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, suspended ? CREATE_SUSPENDED : 0, nullptr,
                        dir.wstring().c_str(), &si, &pi_)) {
      pi_ = {};
      return;
    }
    if (!suspended) WaitForStartUp();
  }
  ~AppIn() {
    if (!pi_.hProcess) return;
    if (Running()) {
      TerminateProcess(pi_.hProcess, 1);
      WaitExit(5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
  AppIn(const AppIn&) = delete;
  AppIn& operator=(const AppIn&) = delete;

  void Resume() { ResumeThread(pi_.hThread); }
  // The controller and, as the last step of its start-up, the tray icon.
  bool WaitForStartUp() {
    WaitUntil([&] { return (controller_ = FindController(pid())) != nullptr; }, 10000);
    return controller_ && WaitUntil([&] { return TrayIconPresent(controller_); });
  }

  DWORD pid() const { return pi_.dwProcessId; }
  HANDLE process() const { return pi_.hProcess; }
  HWND controller() const { return controller_; }
  bool Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  std::optional<DWORD> WaitExit(int timeoutMs = 10000) const {
    // Waiting through WaitUntil keeps this thread answering the messages an
    // ending program's windows send.
    if (!WaitUntil([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs)) {
      return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }
  std::optional<DWORD> Exit() {
    PostMessageW(controller_, WM_COMMAND, kCmdExit, 0);
    return WaitExit();
  }
  HWND OpenSettings() {
    PostMessageW(controller_, WM_COMMAND, kCmdSettings, 0);
    HWND dlg = nullptr;
    WaitUntil([&] {
      auto found = WindowsOfProcess(pid(), [](HWND h) { return IsWindowVisible(h) && WindowText(h) == L"设置"; });
      dlg = found.empty() ? nullptr : found.front();
      return dlg != nullptr;
    });
    return dlg;
  }
  std::optional<Form> FormShown() {
    HWND dlg = OpenSettings();
    if (!dlg) return std::nullopt;
    const Form form = ReadForm(dlg);
    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    WaitUntil([&] { return !IsWindow(dlg); });
    return form;
  }

 private:
  PROCESS_INFORMATION pi_ = {};
  HWND controller_ = nullptr;
};

// Types a new band height into the open settings dialog and presses OK.
// Returns the message box the program then shows, or null when the dialog
// closed without one.
HWND ConfirmHeight(DWORD pid, HWND dlg, const wchar_t* height) {
  SendMessageTimeoutW(GetDlgItem(dlg, 1000), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(height), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  PostMessageW(dlg, WM_COMMAND, IDOK, 0);
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindAppMessageBox(pid)) != nullptr || !IsWindow(dlg); });
  return box;
}

// ---------------------------------------------------------------------------
// A save that cannot succeed: the program starts on what it could read, says
// so when the user confirms the settings dialog, keeps the new values for
// this run, and leaves every file as it was.

struct SaveFault {
  const char* name;
  // Prepares `dir` (or points it elsewhere) and returns the form the program
  // should show, or nothing with the reason why the fault cannot be made
  // here; `undo` is run at the end whatever happens.
  std::function<std::optional<Form>(fs::path& dir, std::function<void()>& undo, std::string& whyNot)> prepare;
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
  const std::optional<Form> prepared = GetParam().prepare(dir, undo, whyNot);
  if (!prepared) GTEST_SKIP() << whyNot;
  const Form expected = *prepared;
  const bool ours = dir == temp.path();  // a system directory is not ours to list
  const DirSnapshot before = ours ? TakeSnapshot(dir) : DirSnapshot{};

  AppIn app(dir);
  ASSERT_TRUE(app.controller()) << "the program did not start";
  HWND dlg = app.OpenSettings();
  ASSERT_TRUE(dlg);
  EXPECT_EQ(ReadForm(dlg), expected);

  HWND box = ConfirmHeight(app.pid(), dlg, L"321");
  ASSERT_TRUE(box) << "a failed save must be reported";
  EXPECT_NE(MessageBoxText(box).find(L"softveil.ini"), std::wstring::npos)
      << testing::PrintToString(MessageBoxText(box));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  if (ours) {
    EXPECT_EQ(TakeSnapshot(dir), before);
  }

  // The new values hold for the rest of the run.
  Form now = expected;
  now.height = L"321";
  EXPECT_EQ(app.FormShown(), now);
  EXPECT_EQ(app.Exit(), 0u);
  if (ours) {
    EXPECT_EQ(TakeSnapshot(dir), before);
  }
}

const SaveFault kSaveFaults[] = {
    {"ReadOnlyFile",
     [](fs::path& dir, std::function<void()>& undo, std::string&) -> std::optional<Form> {
       const fs::path ini = dir / "softveil.ini";
       WriteBytes(ini, kKnownIni);
       SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
       undo = [ini] { SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL); };
       return kKnownForm;
     }},
    {"DirectoryNamedLikeTheFile",
     [](fs::path& dir, std::function<void()>&, std::string&) -> std::optional<Form> {
       fs::create_directory(dir / "softveil.ini");
       WriteBytes(dir / "softveil.ini" / "notes.txt", "not a settings file\r\n");
       return kDefaultForm;
     }},
    {"TemporaryNameTakenByADirectory",
     [](fs::path& dir, std::function<void()>&, std::string&) -> std::optional<Form> {
       // The new file is written beside the old one under this name first.
       WriteBytes(dir / "softveil.ini", kKnownIni);
       fs::create_directory(dir / "softveil.ini.tmp");
       WriteBytes(dir / "softveil.ini.tmp" / "keep.txt", "keep me");
       return kKnownForm;
     }},
    {"Utf16File",
     [](fs::path& dir, std::function<void()>&, std::string&) -> std::optional<Form> {
       // Rewriting a UTF-16 file as 8-bit text would destroy it.
       const std::string text = "[other]\r\nnote=written by another program\r\n";
       std::string bytes = "\xFF\xFE";
       for (char c : text) bytes += std::string{c, '\0'};
       WriteBytes(dir / "softveil.ini", bytes);
       return kDefaultForm;
     }},
    {"ImmutableDirectory",
     [](fs::path& dir, std::function<void()>& undo, std::string& whyNot) -> std::optional<Form> {
       WriteBytes(dir / "softveil.ini", kKnownIni);
       if (!SetImmutable(dir, true)) {
         whyNot = "cannot make a directory unwritable here (chattr +i)";
         return std::nullopt;
       }
       undo = [dir] { SetImmutable(dir, false); };
       return kKnownForm;
     }},
    {"DirectoryWithoutRoomForFiles",
     [](fs::path& dir, std::function<void()>&, std::string& whyNot) -> std::optional<Form> {
       // /proc holds no settings file and refuses new files, even root's.
       dir = L"Z:\\proc";
       if (!fs::is_directory(dir) || CanCreateFileIn(dir)) {
         whyNot = "no unwritable /proc under Z: here";
         return std::nullopt;
       }
       return kDefaultForm;
     }},
};

INSTANTIATE_TEST_SUITE_P(Faults, SaveFaultTest, testing::ValuesIn(kSaveFaults),
                         [](const testing::TestParamInfo<SaveFault>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
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
    AppIn app(dir.path());
    ASSERT_TRUE(app.controller());
    EXPECT_EQ(app.FormShown(), kDefaultForm);
    EXPECT_EQ(app.Exit(), 0u);
  }
  EXPECT_TRUE(ReadBytes(ini) == garbage) << "nothing was confirmed, yet the file changed";
  {
    AppIn app(dir.path());
    ASSERT_TRUE(app.controller());
    HWND dlg = app.OpenSettings();
    ASSERT_TRUE(dlg);
    EXPECT_EQ(ConfirmHeight(app.pid(), dlg, L"321"), nullptr) << "the file can be written";
    EXPECT_EQ(app.Exit(), 0u);
  }
  AppIn again(dir.path());
  ASSERT_TRUE(again.controller());
  Form saved = kDefaultForm;
  saved.height = L"321";
  EXPECT_EQ(again.FormShown(), saved);
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

  AppIn app(dir.path());
  ASSERT_TRUE(app.controller());
  HWND dlg = app.OpenSettings();
  ASSERT_TRUE(dlg);
  EXPECT_EQ(ReadForm(dlg), kKnownForm);
  EXPECT_EQ(ConfirmHeight(app.pid(), dlg, L"321"), nullptr) << "the file can be written";
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

  AppIn app(dir);
  ASSERT_TRUE(app.controller()) << "the program did not start";
  HWND dlg = app.OpenSettings();
  ASSERT_TRUE(dlg);
  EXPECT_EQ(ReadForm(dlg), kKnownForm);
  // Refusing such a path is as sound as using it, but a refused save must be
  // reported and must leave the file alone.
  if (HWND box = ConfirmHeight(app.pid(), dlg, L"321")) {
    EXPECT_NE(MessageBoxText(box).find(L"softveil.ini"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadBytes(ini), std::string(kKnownIni));
  } else {
    EXPECT_EQ(ReadBytes(ini), WithHeight(kKnownIni, "321"));
  }
  EXPECT_EQ(app.Exit(), 0u);
  DeleteFileW(ini.c_str());
}

// ---------------------------------------------------------------------------
// Process faults.

TEST(Faults, KilledWithADialogOpenTheNextStartWorksOnTheSameFile) {
  TempDir dir;
  const fs::path ini = dir.path() / "softveil.ini";
  WriteBytes(ini, kKnownIni);
  TestWindow reader(RECT{200, 100, 1000, 900});
  const POINT centre = reader.Center();
  MovePointer(centre.x, centre.y);
  {
    AppIn app(dir.path());
    ASSERT_TRUE(app.controller());
    PostMessageW(app.controller(), WM_COMMAND, kCmdMaskOn, 0);
    ASSERT_TRUE(WaitUntil([&] {
      return !WindowsOfProcess(app.pid(), [](HWND h) { return IsWindowVisible(h) && GetDlgItem(h, 1029); }).empty();
    }));
    ASSERT_TRUE(app.OpenSettings());
    ASSERT_TRUE(TerminateProcess(app.process(), 1));
    ASSERT_TRUE(app.WaitExit().has_value());
  }
  AppIn again(dir.path());
  ASSERT_TRUE(again.controller()) << "the abandoned guard must not refuse the next start";
  EXPECT_EQ(FindAppMessageBox(again.pid()), nullptr);
  EXPECT_TRUE(TrayIconPresent(again.controller()));
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_SHIFT, 'K')) << "the lock hotkey from the file";
  ASSERT_TRUE(WaitUntil([&] {
    return !WindowsOfProcess(again.pid(), [](HWND h) { return GetDlgItem(h, 1029) != nullptr; }).empty();
  }));
  EXPECT_TRUE(WaitUntil([] { return !HotkeyIsFree(MOD_ALT | MOD_SHIFT, 'M'); })) << "the mask hotkey from the file";
  EXPECT_EQ(again.Exit(), 0u);
  EXPECT_EQ(ReadBytes(ini), std::string(kKnownIni));
}

TEST(Faults, TwoCopiesStartedTogetherOneRunsAndOneIsRefused) {
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    TempDir dirA, dirB;
    AppIn a(dirA.path(), true), b(dirB.path(), true);
    ASSERT_TRUE(a.process() && b.process());
    // Both were created suspended, so they reach the guard together.
    a.Resume();
    b.Resume();

    AppIn* refused = nullptr;
    AppIn* running = nullptr;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      for (AppIn* app : {&a, &b}) {
        if (HWND found = FindAppMessageBox(app->pid())) {
          refused = app;
          box = found;
        }
      }
      running = refused == &a ? &b : &a;
      return refused && FindController(running->pid()) && TrayIconPresent(FindController(running->pid()));
    }, 15000)) << "one copy shows the refusal, the other starts";

    EXPECT_EQ(MessageBoxText(box), L"已经有一个程序在运行！");
    EXPECT_EQ(FindController(refused->pid()), nullptr);
    EXPECT_EQ(FindAppMessageBox(running->pid()), nullptr);
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
  nid.uID = 128;
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
