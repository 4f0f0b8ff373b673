// Drives the real softveil.exe from outside, as a user and as other programs
// would: processes, windows, dialogs, input and files. The end-to-end suite,
// the soak, the demo and the benchmark share it.
#pragma once
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "common/ids.h"
#include "res/resource.h"

// Message boxes carry the program's title in every language. The dialogs'
// captions are those of the Chinese softveil, which the suite runs unless it
// is told otherwise (--language=en); Dialog finds them in any language.
inline constexpr wchar_t kAppTitle[] = L"softveil";
inline constexpr wchar_t kSettingsCaption[] = L"设置";
inline constexpr wchar_t kAboutCaption[] = L"关于 softveil";
inline constexpr wchar_t kDuplicateMessage[] = L"您设置的快捷键有重复的，请检查一下！";

// softveil's dialogs, told apart by their controls.
enum class Dialog { Settings, About, MoreSettings };

// Polls `done` every `pollMs` until it holds or `timeoutMs` passes, answering
// the messages sent to this thread meanwhile.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000, int pollMs = 20);
void Pause(int ms);
// Waits until the window is destroyed.
bool WaitGone(HWND hwnd, int timeoutMs = 5000);

// A fresh directory under the temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::optional<std::string> ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// A Unix path as Wine's Z: drive names it; any other path as it is.
std::wstring WinePath(std::wstring path);
// The Unix path behind a Windows path under Wine; nothing elsewhere.
std::optional<std::string> UnixPath(const std::filesystem::path& path);
// The softveil.exe to start: SOFTVEIL_EXE (a Unix path or a Windows one),
// else softveil.exe beside the running program, where the build puts both.
std::wstring SoftveilExePath();
// The value of --name= on the test program's command line, or "".
std::string CommandLineOption(const std::string& name);
// A command line that starts softveil.exe, quoted, with `arguments`.
std::wstring SoftveilCommand(const std::wstring& arguments = {});

// One running softveil.exe and its working directory.
class Softveil {
 public:
  enum class Start {
    Ready,      // returns once the controller and the tray icon are there
    NoWait,     // returns once the process is created
    Suspended,  // created suspended; Resume() lets it run
  };

  // Starts the program in a fresh directory, after writing `ini` as its
  // softveil.ini when given, and waits until it is ready.
  explicit Softveil(std::optional<std::string> ini = std::nullopt);
  // Starts the program in `dir`, which the caller owns.
  Softveil(const std::filesystem::path& dir, Start start);
  // Starts `commandLine` in `dir` as the system starts a Run entry or a
  // shortcut: CreateProcess takes the program from the command line.
  Softveil(const std::filesystem::path& dir, const std::wstring& commandLine, Start start = Start::Ready);
  ~Softveil();
  Softveil(const Softveil&) = delete;
  Softveil& operator=(const Softveil&) = delete;

  DWORD pid() const { return pi_.dwProcessId; }
  HANDLE process() const { return pi_.hProcess; }
  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path IniPath() const { return dir_ / "softveil.ini"; }

  void Resume() const { ResumeThread(pi_.hThread); }
  // Whether start-up is complete: the controller is there and, as the last
  // thing it sets up, the tray icon. Remembers the controller once found.
  bool StartedUp();
  bool WaitForStartUp(int timeoutMs = 15000);

  // The controller as start-up found it.
  HWND controller() const { return controller_; }
  // The hidden controller window, searched afresh.
  HWND FindController() const;
  // The mask window once the tracker has created it, else null.
  HWND FindMask() const;
  HWND WaitForMask(int timeoutMs = 5000) const;

  bool Running() const;
  // Waits for the process to end; its exit code, or nothing on a time-out.
  std::optional<DWORD> WaitExit(int timeoutMs = 10000) const;
  // The tray menu's "关闭" by its command; returns the exit code.
  std::optional<DWORD> Exit();

  // A command of the tray menu, posted to the controller.
  void Command(UINT id) const;
  // The visible window of the program with this caption: the settings
  // dialog, the about dialog, or (kAppTitle) a message box.
  HWND FindDialog(const std::wstring& caption) const;
  HWND WaitForDialog(const std::wstring& caption, int timeoutMs = 5000) const;
  // Posts a command and waits for the dialog it opens.
  HWND OpenDialog(UINT command, const std::wstring& caption) const;
  // The same for a dialog in whatever language it speaks.
  HWND FindDialog(Dialog dialog) const;
  HWND WaitForDialog(Dialog dialog, int timeoutMs = 5000) const;
  // The more-settings dialog opens over the settings dialog it comes from.
  HWND OpenDialog(Dialog dialog) const;
  HWND FindMessageBox() const;
  // Every visible dialog of the program, message boxes and the colour
  // chooser included; the mask is not one.
  std::vector<HWND> OpenDialogs() const;
  // Opens the tray icon's menu as a right click on the icon does.
  bool OpenTrayMenu() const;

 private:
  void Launch(Start start);

  std::optional<TempDir> ownDir_;
  std::filesystem::path dir_;
  std::wstring commandLine_;  // empty: softveil.exe without arguments
  PROCESS_INFORMATION pi_ = {};
  HWND controller_ = nullptr;
};

// Top-level windows of a process that satisfy `match`.
std::vector<HWND> WindowsOfProcess(DWORD pid, const std::function<bool(HWND)>& match);
std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
std::wstring MessageBoxText(HWND box);
// Whether the window's thread answers within 5 s.
bool Answers(HWND hwnd);

// A plain top-level window of the test program, pumped by its own thread,
// for the mask to cover.
class TestWindow {
 public:
  // With `editText`, a standard multi-line edit control holding it fills
  // the window and has the focus whenever the window has.
  TestWindow(const RECT& rect, const wchar_t* title = L"reading", const wchar_t* editText = nullptr);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND hwnd() const { return hwnd_; }
  void Move(const RECT& rect);
  RECT Rect() const;
  POINT Center() const;
  // The left-button presses the window has received.
  int Clicks() const { return clicks_; }
  HWND edit() const { return edit_; }

 private:
  std::thread thread_;
  HWND hwnd_ = nullptr;
  std::atomic<int> clicks_{0};
  HWND edit_ = nullptr;
};

// Another program's window: `exe` started with `arguments`, its first
// visible window placed at `rect`; the program ends with the object.
class ProgramWindow {
 public:
  ProgramWindow(const std::wstring& exe, const std::wstring& arguments, const RECT& rect);
  ~ProgramWindow();
  ProgramWindow(const ProgramWindow&) = delete;
  ProgramWindow& operator=(const ProgramWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  PROCESS_INFORMATION pi_ = {};
  HWND hwnd_ = nullptr;
};

struct MenuProbeRecord;

// The items of softveil's popup menus, as its own process sees them: a hook
// loads menu_probe.dll (built beside the test programs) into the thread of
// `window`, which records each menu as it opens.
class MenuProbe {
 public:
  explicit MenuProbe(HWND window);
  ~MenuProbe();
  MenuProbe(const MenuProbe&) = delete;
  MenuProbe& operator=(const MenuProbe&) = delete;
  bool ready() const { return hook_ != nullptr; }
  // Runs `open`, which opens a menu, and returns that menu's item texts (a
  // separator as ""), or nothing when no menu opened in time.
  std::optional<std::vector<std::wstring>> ItemsOf(const std::function<void()>& open, int timeoutMs = 5000);

 private:
  HANDLE memory_ = nullptr;
  MenuProbeRecord* record_ = nullptr;
  HMODULE module_ = nullptr;
  HHOOK hook_ = nullptr;
};

// Input, as a user gives it.
void SendPointerTo(int x, int y);  // an absolute move through SendInput; does not wait for it
void MovePointer(int x, int y);    // the same, and waits until the pointer is there
// MovePointer for a drag over `window`: Wine warps the X pointer for every
// injected move, and the X server echoes the warp back to the window under
// the pointer as a move of its own. Under load that echo can come after the
// next input and undo it (a press then drags to where the pointer already
// was, or a drag step is lost). This waits until `window` has taken the echo.
void MovePointerSettled(HWND window, int x, int y);
void ClickLeft(bool down);
void ClickRight();
void PressKeys(const std::vector<WORD>& keys);  // held together, released in reverse
void HoldKeys(const std::vector<WORD>& keys, bool down);  // pressed in order, or released in reverse
void TapKey(WORD key, int times = 1);
// Picks the n-th item of the open popup menu (separators are skipped).
void PickMenuItem(int n);
// Closes the open popup menu with Esc; whether it is gone.
bool CloseMenu();

// Screen size of the primary monitor.
int ScreenWidth();
int ScreenHeight();
bool SameRect(const RECT& a, const RECT& b);

// Every monitor's rectangle, in the order the system lists them.
std::vector<RECT> MonitorRects();

// Is (x, y), in window coordinates, inside the window's region?
bool RegionContains(HWND hwnd, int x, int y);

// The visible popup menu, if any.
HWND FindPopupMenu();

// Whether the shell holds softveil's tray icon.
bool TrayIconPresent(HWND controller);

// The texts of the tray's tooltips, read from the shell's tooltip windows.
std::vector<std::wstring> TrayTooltips();

// Whether a hotkey combination is free: RegisterHotKey succeeds (then it is
// unregistered again at once).
bool HotkeyIsFree(UINT modifiers, UINT vk);

// The first descendant of `parent` of window class `className`, or null.
HWND FindChildOfClass(HWND parent, const std::wstring& className);

// The texts of every descendant of `parent`, in the order the system lists them.
std::vector<std::wstring> ChildTexts(HWND parent);
std::wstring ItemText(HWND dlg, int id);
// Sets a control's text; sent with a time-out, so a hung program cannot hold the test.
void SetItemText(HWND dlg, int id, const wchar_t* text);
// Clicks a button of a dialog. Posted: OK may open a message box and a
// button another dialog, whose modal runs would hold a sent message.
void PressButton(HWND dlg, int id);
// The check state of a button (BST_CHECKED, BST_UNCHECKED, BST_INDETERMINATE).
LRESULT ButtonState(HWND dlg, int id);

// A standard hotkey control's value (key in the low byte, the control's
// modifier bits in the high byte), read and set from outside.
WORD HotkeyControlOf(HWND dlg, int id);
void SetHotkeyControl(HWND dlg, int id, WORD value);

// The centre of a window's rectangle, in screen coordinates.
POINT WindowCenter(HWND hwnd);

// Whether a custom `child` follows its `placeholder` moved as for a new scale (Wine cannot scale).
bool FollowsPlaceholder(HWND child, HWND placeholder);

// The colour shown on the screen at (x, y), as 0x00BBGGRR.
COLORREF ScreenPixel(int x, int y);

// Opens the more-settings dialog from the open settings dialog's "更多…".
HWND OpenMoreSettings(const Softveil& app, HWND settings);

// Types `height` into the open settings dialog and presses OK. Returns the
// message box the program then shows, or null once the dialog closed
// without one.
HWND ConfirmHeight(const Softveil& app, HWND dlg, const wchar_t* height);

// Everything under a directory: file bytes, directories, and the read-only
// and directory attributes, keyed by relative path.
using DirSnapshot = std::map<std::wstring, std::string>;
DirSnapshot TakeSnapshot(const std::filesystem::path& dir);

// Whether a new file can be created in `dir` (tried, then removed).
bool CanCreateFileIn(const std::filesystem::path& dir);

// Sets or clears the immutable attribute of a directory (chattr, through
// Wine): neither the read-only attribute nor an access-control list stops
// root from creating files under Wine, an immutable directory does. False
// when that cannot be done here.
bool SetImmutable(const std::filesystem::path& dir, bool on);

// The visible controls of a dialog that reach out of it, and the labels,
// check boxes and radio buttons too narrow for their text in the dialogs'
// font (11-point 宋体) at `dpi`, each described; `checked` counts the texts
// measured.
std::vector<std::string> ControlsCutShort(HWND dialog, int dpi, int* checked = nullptr);

// What the settings dialog shows, read from outside.
struct HotkeyRowView {
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  std::wstring key;
  friend bool operator==(const HotkeyRowView&, const HotkeyRowView&) = default;
};

struct SettingsView {
  std::wstring height;
  int trackbarPos = 0;
  int trackbarMin = 0;
  int trackbarMax = 0;
  std::wstring transparencyLabel;
  bool horizontal = false;
  bool vertical = false;
  HotkeyRowView maskRow;
  HotkeyRowView lockRow;
  COLORREF swatch = CLR_INVALID;
  friend bool operator==(const SettingsView&, const SettingsView&) = default;
};

void PrintTo(const HotkeyRowView& row, std::ostream* os);
void PrintTo(const SettingsView& view, std::ostream* os);

// What the settings dialog shows without a settings file.
SettingsView DefaultSettingsView();
SettingsView ReadSettingsDialog(HWND dlg);
// The swatch paints a moment after the dialog appears, the rest is there at
// once: waits until the dialog shows `expected` and returns what it shows.
SettingsView SettingsDialogShowing(HWND dlg, const SettingsView& expected, int timeoutMs = 2000);
// The settings dialog's colour swatch, and the colour it shows on the screen.
HWND Swatch(HWND settings);
COLORREF SwatchColor(HWND settings);
