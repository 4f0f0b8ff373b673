// Drives the real softveil.exe from outside, as a user and as other programs
// would: processes, windows, input and files.
#pragma once
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Polls `done` until it holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);
void Pause(int ms);

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

// One running softveil.exe with its own working directory.
class Softveil {
 public:
  // Starts the program in a fresh directory, after writing `ini` as its
  // softveil.ini when given.
  explicit Softveil(std::optional<std::string> ini = std::nullopt);
  // Starts the program in `dir`, which the caller owns.
  static PROCESS_INFORMATION Launch(const std::filesystem::path& dir);
  ~Softveil();
  Softveil(const Softveil&) = delete;
  Softveil& operator=(const Softveil&) = delete;

  DWORD pid() const { return pi_.dwProcessId; }
  HANDLE process() const { return pi_.hProcess; }
  const std::filesystem::path& dir() const { return dir_.path(); }
  std::filesystem::path IniPath() const { return dir() / "softveil.ini"; }

  HWND controller() const { return controller_; }
  // The mask window once the tracker has created it, else null.
  HWND FindMask() const;
  HWND WaitForMask(int timeoutMs = 5000) const;

  bool Running() const;
  // Waits for the process to end; its exit code, or nothing on a time-out.
  std::optional<DWORD> WaitExit(int timeoutMs = 5000) const;
  // The tray menu's "关闭" by its command; returns the exit code.
  std::optional<DWORD> Exit();

  // The settings dialog, the about dialog or a message box of the program.
  HWND FindDialog(const std::wstring& caption) const;
  HWND FindMessageBox() const;

 private:
  TempDir dir_;
  PROCESS_INFORMATION pi_ = {};
  HWND controller_ = nullptr;
};

// Top-level windows of a process that satisfy `match`.
std::vector<HWND> WindowsOfProcess(DWORD pid, const std::function<bool(HWND)>& match);
std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
std::wstring MessageBoxText(HWND box);

// A plain top-level window of the test program, pumped by its own thread,
// for the mask to cover.
class TestWindow {
 public:
  TestWindow(const RECT& rect, const wchar_t* title = L"reading");
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND hwnd() const { return hwnd_; }
  void Move(const RECT& rect);
  RECT Rect() const;
  POINT Center() const;

 private:
  std::thread thread_;
  HWND hwnd_ = nullptr;
};

// Input, as a user gives it.
void MovePointer(int x, int y);  // absolute, through SendInput
void ClickLeft(bool down);
void ClickRight();
void PressKeys(const std::vector<WORD>& keys);  // held together, released in reverse
void TapKey(WORD key, int times = 1);

// Screen size of the primary monitor.
int ScreenWidth();
int ScreenHeight();

// Every monitor's rectangle, in the order the system lists them.
std::vector<RECT> MonitorRects();

// Is (x, y), in window coordinates, inside the window's region?
bool RegionContains(HWND hwnd, int x, int y);

// The visible popup menu, if any.
HWND FindPopupMenu();

// Whether the shell holds softveil's tray icon (id 128 on the controller).
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

// The centre of a window's rectangle, in screen coordinates.
POINT WindowCenter(HWND hwnd);

// The colour shown on the screen at (x, y), as 0x00BBGGRR.
COLORREF ScreenPixel(int x, int y);

// The Unix path behind a Windows path under Wine; nothing elsewhere.
std::optional<std::string> UnixPath(const std::filesystem::path& path);
