#include "tests/e2e/harness.h"

#include <commctrl.h>
#include <shellapi.h>

#include "tests/e2e/menu_probe.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Waits on `handle` (or just for `ms`) while answering the messages sent to
// this thread, as any desktop program does: the system sends this thread's
// hidden windows messages when another program's window closes, and a
// thread that does not answer makes that program wait.
DWORD PumpingWait(HANDLE handle, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return WAIT_TIMEOUT;
    const DWORD count = handle ? 1 : 0;
    const DWORD r = MsgWaitForMultipleObjects(count, &handle, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
    if (handle && r == WAIT_OBJECT_0) return WAIT_OBJECT_0;
  }
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return done();
    PumpingWait(nullptr, pollMs);
  }
  return true;
}

void Pause(int ms) { PumpingWait(nullptr, ms); }

bool WaitGone(HWND hwnd, int timeoutMs) {
  return WaitUntil([&] { return !IsWindow(hwnd); }, timeoutMs);
}

TempDir::TempDir() {
  std::random_device rd;
  path_ = fs::temp_directory_path() / ("softveil-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                                       std::to_string(rd()));
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::optional<std::string> ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::wstring WinePath(std::wstring path) {
  if (path.empty() || path[0] != L'/') return path;
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  return L"Z:" + path;
}

std::wstring SoftveilExePath() {
  if (const char* env = std::getenv("SOFTVEIL_EXE"); env && *env) {
    const std::string path = env;
    return WinePath(std::wstring(path.begin(), path.end()));
  }
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return (fs::path(self).parent_path() / L"softveil.exe").wstring();
}

std::string CommandLineOption(const std::string& name) {
  const std::string prefix = "--" + name + "=";
  for (int i = 1; i < __argc; ++i) {
    const std::string arg = __argv[i];
    if (arg.starts_with(prefix)) return arg.substr(prefix.size());
  }
  return "";
}

namespace {

bool IsMask(HWND hwnd) {
  return ClassName(hwnd) == L"#32770" && GetDlgItem(hwnd, IDC_CLOCK_LABEL) && GetDlgItem(hwnd, IDC_LOCK_LABEL);
}

}  // namespace

Softveil::Softveil(std::optional<std::string> ini) : ownDir_(std::in_place), dir_(ownDir_->path()) {
  if (ini) WriteBytes(IniPath(), *ini);
  Launch(Start::Ready);
}

std::wstring SoftveilCommand(const std::wstring& arguments) {
  const std::wstring quoted = L"\"" + SoftveilExePath() + L"\"";
  return arguments.empty() ? quoted : quoted + L" " + arguments;
}

Softveil::Softveil(const fs::path& dir, Start start) : dir_(dir) { Launch(start); }

Softveil::Softveil(const fs::path& dir, const std::wstring& commandLine, Start start)
    : dir_(dir), commandLine_(commandLine) {
  Launch(start);
}

void Softveil::Launch(Start start) {
  // With a command line of its own, the system takes the program from it.
  const std::wstring exe = commandLine_.empty() ? SoftveilExePath() : std::wstring();
  std::wstring cmd = commandLine_.empty() ? SoftveilCommand() : commandLine_;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  const DWORD flags = start == Start::Suspended ? CREATE_SUSPENDED : 0;
  if (!CreateProcessW(exe.empty() ? nullptr : exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, flags, nullptr,
                      dir_.wstring().c_str(), &si, &pi_)) {
    pi_ = {};
    return;
  }
  if (start == Start::Ready) WaitForStartUp();
}

Softveil::~Softveil() {
  if (!pi_.hProcess) return;
  if (Running()) {
    TerminateProcess(pi_.hProcess, 1);
    WaitExit(5000);
  }
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

bool Softveil::StartedUp() {
  if (!controller_) controller_ = FindController();
  return controller_ && TrayIconPresent(controller_);
}

bool Softveil::WaitForStartUp(int timeoutMs) {
  return pi_.hProcess && WaitUntil([&] { return StartedUp(); }, timeoutMs);
}

HWND Softveil::FindController() const {
  // The settings dialog has an edit box 1000 and an OK button too, but it is
  // visible and has the trackbar.
  auto found = WindowsOfProcess(pid(), [](HWND h) {
    return ClassName(h) == L"#32770" && !IsWindowVisible(h) && GetDlgItem(h, IDC_CONTROL_EDIT) &&
           GetDlgItem(h, IDOK) && !GetDlgItem(h, IDC_TRANSPARENCY);
  });
  return found.empty() ? nullptr : found.front();
}

HWND Softveil::FindMask() const {
  auto found = WindowsOfProcess(pid(), IsMask);
  return found.empty() ? nullptr : found.front();
}

HWND Softveil::WaitForMask(int timeoutMs) const {
  HWND mask = nullptr;
  WaitUntil([&] { return (mask = FindMask()) != nullptr; }, timeoutMs);
  return mask && Answers(mask) ? mask : nullptr;  // answered: initialised, its hotkey held
}

bool Softveil::Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Softveil::WaitExit(int timeoutMs) const {
  if (!pi_.hProcess || PumpingWait(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

std::optional<DWORD> Softveil::Exit() {
  Command(ID_MENU_CLOSE);
  return WaitExit();
}

void Softveil::Command(UINT id) const { PostMessageW(controller_, WM_COMMAND, id, 0); }

HWND Softveil::FindDialog(const std::wstring& caption) const {
  auto found = WindowsOfProcess(pid(), [&](HWND h) { return IsWindowVisible(h) && WindowText(h) == caption; });
  return found.empty() ? nullptr : found.front();
}

HWND Softveil::WaitForDialog(const std::wstring& caption, int timeoutMs) const {
  HWND dlg = nullptr;
  WaitUntil([&] { return (dlg = FindDialog(caption)) != nullptr; }, timeoutMs);
  return dlg;
}

HWND Softveil::OpenDialog(UINT command, const std::wstring& caption) const {
  Command(command);
  return WaitForDialog(caption);
}

HWND Softveil::FindDialog(Dialog dialog) const {
  // The settings dialog has the trackbar; the about dialog the link's
  // placeholder, whose id the settings dialog gives a radio button; the
  // more-settings dialog the reading keys' boxes.
  auto found = WindowsOfProcess(pid(), [dialog](HWND h) {
    if (!IsWindowVisible(h) || ClassName(h) != L"#32770") return false;
    const bool settings = GetDlgItem(h, IDC_TRANSPARENCY) != nullptr;
    switch (dialog) {
      case Dialog::Settings:
        return settings;
      case Dialog::About:
        return !settings && GetDlgItem(h, IDC_LINK_PLACEHOLDER) != nullptr;
      case Dialog::MoreSettings:
        return GetDlgItem(h, IDC_KEY_NEXT) != nullptr;
    }
    return false;
  });
  return found.empty() ? nullptr : found.front();
}

HWND Softveil::WaitForDialog(Dialog dialog, int timeoutMs) const {
  HWND dlg = nullptr;
  WaitUntil([&] { return (dlg = FindDialog(dialog)) != nullptr; }, timeoutMs);
  return dlg;
}

HWND Softveil::OpenDialog(Dialog dialog) const {
  if (dialog == Dialog::MoreSettings) {
    HWND settings = OpenDialog(Dialog::Settings);
    return settings ? OpenMoreSettings(*this, settings) : nullptr;
  }
  Command(dialog == Dialog::Settings ? ID_MENU_SETTINGS : ID_MENU_AUTHOR);
  return WaitForDialog(dialog);
}

HWND Softveil::FindMessageBox() const {
  // A message box carries its text in static 0xFFFF and the program's title
  // as caption; the dialogs' unnamed labels have that id too.
  auto found = WindowsOfProcess(pid(), [](HWND h) {
    return IsWindowVisible(h) && ClassName(h) == L"#32770" && GetDlgItem(h, 0xFFFF) != nullptr &&
           WindowText(h) == kAppTitle;
  });
  return found.empty() ? nullptr : found.front();
}

std::vector<HWND> Softveil::OpenDialogs() const {
  return WindowsOfProcess(pid(), [](HWND h) { return IsWindowVisible(h) && ClassName(h) == L"#32770" && !IsMask(h); });
}

bool Softveil::OpenTrayMenu() const {
  PostMessageW(controller_, WM_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONUP);
  return WaitUntil([] { return FindPopupMenu() != nullptr; });
}

std::vector<HWND> WindowsOfProcess(DWORD pid, const std::function<bool(HWND)>& match) {
  struct Search {
    DWORD pid;
    const std::function<bool(HWND)>* match;
    std::vector<HWND> found;
  } search{pid, &match, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid && (*s->match)(hwnd)) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowText(HWND hwnd) {
  wchar_t text[1024] = {};
  // WM_GETTEXT works across processes for the standard controls.
  SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                      nullptr);
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, std::size(name));
  return name;
}

std::wstring MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

bool Answers(HWND hwnd) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

namespace {

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONDOWN) {
    if (auto* clicks = reinterpret_cast<std::atomic<int>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) ++*clicks;
  }
  if (HWND edit = GetWindow(hwnd, GW_CHILD); msg == WM_SETFOCUS && edit) {
    SetFocus(edit);
    return 0;
  }
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    // A page in the reader's language, as the pictures of the demo show it.
    static const wchar_t* const kLine =
        PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE
            ? L"第一章　山中岁月。夜读长卷，灯下一行一行地看过去，眼睛也不累。"
            : L"Chapter One. Years in the hills: a long book read by lamplight, line after line, and the eyes never tire.";
    for (int y = 8, n = 1; y < rc.bottom; y += 24, ++n) {
      std::wstring line = std::to_wstring(n) + L"  " + kLine;
      TextOutW(dc, 16, y, line.c_str(), static_cast<int>(line.size()));
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

TestWindow::TestWindow(const RECT& rect, const wchar_t* title, const wchar_t* editText) {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this, rect, title, editText, ready] {
    static const bool registered = [] {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = TestWindowProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.lpszClassName = L"SoftveilTestWindow";
      return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    hwnd_ = CreateWindowExW(0, L"SoftveilTestWindow", title, WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&clicks_));
    if (editText) {
      edit_ = CreateWindowExW(0, L"EDIT", editText, WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 0, 0,
                              rect.right - rect.left, rect.bottom - rect.top, hwnd_, nullptr, nullptr, nullptr);
      SetFocus(edit_);
    }
    SetEvent(ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  });
  WaitForSingleObject(ready, 5000);
  CloseHandle(ready);
  // A new window is activated, and a window manager gives it the focus a
  // moment later; let that happen now rather than in the middle of a test,
  // where it would close a menu that had the focus.
  WaitUntil([&] { return GetForegroundWindow() == hwnd_; }, 2000);
}

TestWindow::~TestWindow() {
  DWORD thread = GetWindowThreadProcessId(hwnd_, nullptr);
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  PostThreadMessageW(thread, WM_QUIT, 0, 0);
  thread_.join();
}

void TestWindow::Move(const RECT& rect) {
  SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TestWindow::Rect() const {
  RECT rc;
  GetWindowRect(hwnd_, &rc);
  return rc;
}

POINT TestWindow::Center() const {
  RECT rc = Rect();
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

ProgramWindow::ProgramWindow(const std::wstring& exe, const std::wstring& arguments, const RECT& rect) {
  std::wstring cmd = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return;
  WaitUntil([&] {
    const auto shown = WindowsOfProcess(pi_.dwProcessId, [](HWND h) { return IsWindowVisible(h) != FALSE; });
    return (hwnd_ = shown.empty() ? nullptr : shown.front()) != nullptr;
  }, 10000);
  SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER);
  WaitUntil([&] { return GetForegroundWindow() == hwnd_; }, 2000);
}

ProgramWindow::~ProgramWindow() {
  if (!pi_.hProcess) return;
  TerminateProcess(pi_.hProcess, 0);
  WaitForSingleObject(pi_.hProcess, 5000);
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

std::vector<RECT> MonitorRects() {
  std::vector<RECT> rects;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM lp) -> BOOL {
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(lp)->push_back(info.rcMonitor);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&rects));
  return rects;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

void SendPointerTo(int x, int y) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  // Absolute coordinates run 0..65535 over the whole virtual screen, so that
  // monitors left of or above the primary (negative coordinates) are reached;
  // the system scales them by the screen size and truncates, so round up to
  // land on the pixel exactly.
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  in.mi.dx = static_cast<LONG>(((x - left) * 65536LL + width - 1) / width);
  in.mi.dy = static_cast<LONG>(((y - top) * 65536LL + height - 1) / height);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  SendInput(1, &in, sizeof in);
}

void MovePointer(int x, int y) {
  SendPointerTo(x, y);
  // SendInput may lag behind; make sure the position has arrived.
  WaitUntil([&] {
    POINT p;
    GetCursorPos(&p);
    return p.x == x && p.y == y;
  }, 1000);
  if (POINT p; GetCursorPos(&p) && (p.x != x || p.y != y)) SetCursorPos(x, y);
}

void MovePointerSettled(HWND window, int x, int y) {
  MovePointer(x, y);
  // Past Wine's 100 ms cursor cache GetCursorPos asks the X server, which has
  // then handled the warp and sent its echo; two calls into the window's
  // thread let it read the echo from its X connection and queue it.
  Pause(150);
  POINT ignored;
  GetCursorPos(&ignored);
  for (int i = 0; i < 2; ++i) {
    DWORD_PTR result;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &result);
  }
}

void ClickLeft(bool down) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

void ClickRight() {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  SendInput(2, in, sizeof in[0]);
}

void PressKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  for (WORD k : keys) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = k;
    inputs.push_back(in);
  }
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *it;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void HoldKeys(const std::vector<WORD>& keys, bool down) {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki = {keys[down ? i : keys.size() - 1 - i], 0, down ? 0u : KEYEVENTF_KEYUP, 0, 0};
    SendInput(1, &in, sizeof in);
  }
}

void TapKey(WORD key, int times) {
  for (int i = 0; i < times; ++i) {
    PressKeys({key});
    Pause(50);
  }
}

namespace {

// Keys go to the thread with the keyboard focus, and under Wine the menu's
// thread gets it a moment after the menu shows (later still under load).
void WaitForMenuKeyboard() {
  if (HWND menu = FindPopupMenu()) {
    const DWORD menuThread = GetWindowThreadProcessId(menu, nullptr);
    WaitUntil([&] {
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      return GetGUIThreadInfo(menuThread, &info) && (info.flags & GUI_INMENUMODE) &&
             GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == menuThread;
    }, 2000);
  }
}

}  // namespace

void PickMenuItem(int n) {
  WaitForMenuKeyboard();
  TapKey(VK_DOWN, n);
  TapKey(VK_RETURN);
}

bool CloseMenu() {
  WaitForMenuKeyboard();
  TapKey(VK_ESCAPE);
  return WaitUntil([] { return FindPopupMenu() == nullptr; });
}

bool RegionContains(HWND hwnd, int x, int y) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(hwnd, rgn);
  bool inside;
  if (kind == ERROR) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    inside = x >= 0 && y >= 0 && x < rc.right - rc.left && y < rc.bottom - rc.top;
  } else {
    inside = PtInRegion(rgn, x, y) != FALSE;
  }
  DeleteObject(rgn);
  return inside;
}

HWND FindPopupMenu() {
  HWND menu = FindWindowW(L"#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

bool HotkeyIsFree(UINT modifiers, UINT vk) {
  static int id = 0x3000;
  ++id;
  if (!RegisterHotKey(nullptr, id, modifiers, vk)) return false;
  UnregisterHotKey(nullptr, id);
  return true;
}

bool TrayIconPresent(HWND controller) {
  // The shell answers a modify of an icon it holds and refuses one it does not.
  NOTIFYICONDATAW nid = {};
  nid.cbSize = sizeof nid;
  nid.hWnd = controller;
  nid.uID = kTrayIconId;
  return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

HWND FindChildOfClass(HWND parent, const std::wstring& className) {
  struct Search {
    const std::wstring* className;
    HWND found;
  } search{&className, nullptr};
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (ClassName(hwnd) != *s->className) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<std::wstring> ChildTexts(HWND parent) {
  std::vector<std::wstring> texts;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(WindowText(hwnd));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

std::wstring ItemText(HWND dlg, int id) { return WindowText(GetDlgItem(dlg, id)); }

void SetItemText(HWND dlg, int id, const wchar_t* text) {
  SendMessageTimeoutW(GetDlgItem(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                      nullptr);
}

void PressButton(HWND dlg, int id) { PostMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

LRESULT ButtonState(HWND dlg, int id) { return SendDlgItemMessageW(dlg, id, BM_GETCHECK, 0, 0); }

WORD HotkeyControlOf(HWND dlg, int id) {
  DWORD_PTR value = 0;
  SendMessageTimeoutW(GetDlgItem(dlg, id), HKM_GETHOTKEY, 0, 0, SMTO_ABORTIFHUNG, 2000, &value);
  return static_cast<WORD>(value);
}

void SetHotkeyControl(HWND dlg, int id, WORD value) {
  SendMessageTimeoutW(GetDlgItem(dlg, id), HKM_SETHOTKEY, value, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
}

HWND OpenMoreSettings(const Softveil& app, HWND settings) {
  PressButton(settings, IDC_MORE_BUTTON);
  return app.WaitForDialog(Dialog::MoreSettings);
}

POINT WindowCenter(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

bool FollowsPlaceholder(HWND child, HWND placeholder) {
  RECT place = {}, was = {}, now = {};
  GetWindowRect(child, &was);
  GetWindowRect(placeholder, &place);
  MapWindowPoints(nullptr, GetParent(placeholder), reinterpret_cast<POINT*>(&place), 2);
  MoveWindow(placeholder, place.left + 7, place.top + 3, place.right - place.left + 5, place.bottom - place.top, FALSE);
  SendMessageTimeoutW(child, WM_DPICHANGED_AFTERPARENT, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  GetWindowRect(placeholder, &place);
  GetWindowRect(child, &now);
  return SameRect(place, now) && !SameRect(was, now);
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return color;
}

std::optional<std::string> UnixPath(const fs::path& path) {
  // Wine's own export; a real Windows has no such function.
  using ToUnix = char*(CDECL*)(const wchar_t*);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto toUnix = kernel ? reinterpret_cast<ToUnix>(
                             reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
                       : nullptr;
  if (!toUnix) return std::nullopt;
  char* unixPath = toUnix(path.wstring().c_str());
  if (!unixPath) return std::nullopt;
  std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

std::vector<std::wstring> TrayTooltips() {
  // The shell keeps the icons' tips in tooltip controls of its own process;
  // their tools are read through a buffer placed in that process.
  std::vector<std::wstring> tips;
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  DWORD shell = 0;
  if (!tray || !GetWindowThreadProcessId(tray, &shell)) return tips;
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shell);
  if (!process) return tips;
  constexpr SIZE_T kTextChars = 256;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(TTTOOLINFOW) + kTextChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  for (HWND tip : WindowsOfProcess(shell, [](HWND h) { return ClassName(h) == L"tooltips_class32"; })) {
    for (WPARAM i = 0;; ++i) {
      TTTOOLINFOW info = {};
      info.cbSize = sizeof info;
      info.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof info);
      const wchar_t none = 0;
      WriteProcessMemory(process, remote, &info, sizeof info, nullptr);
      WriteProcessMemory(process, remote + sizeof info, &none, sizeof none, nullptr);
      if (!SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote))) break;
      wchar_t text[kTextChars] = {};
      ReadProcessMemory(process, remote + sizeof info, text, sizeof text - sizeof(wchar_t), nullptr);
      tips.emplace_back(text);
    }
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return tips;
}

MenuProbe::MenuProbe(HWND window) {
  memory_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(MenuProbeRecord),
                               kMenuProbeMemory);
  if (!memory_) return;
  record_ = static_cast<MenuProbeRecord*>(MapViewOfFile(memory_, FILE_MAP_WRITE, 0, 0, 0));
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  module_ = LoadLibraryW((fs::path(self).parent_path() / L"menu_probe.dll").c_str());
  const auto proc = module_ ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_, kMenuProbeHook)))
                            : nullptr;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (record_ && proc && thread) hook_ = SetWindowsHookExW(WH_CALLWNDPROC, proc, module_, thread);
}

MenuProbe::~MenuProbe() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (module_) FreeLibrary(module_);
  if (record_) UnmapViewOfFile(record_);
  if (memory_) CloseHandle(memory_);
}

std::optional<std::vector<std::wstring>> MenuProbe::ItemsOf(const std::function<void()>& open, int timeoutMs) {
  if (!ready()) return std::nullopt;
  const LONG before = record_->menus;
  open();
  if (!WaitUntil([&] { return record_->menus != before; }, timeoutMs)) return std::nullopt;
  std::vector<std::wstring> items;
  std::wstring_view rest(record_->items);
  for (std::size_t end; (end = rest.find(L'\n')) != std::wstring_view::npos; rest.remove_prefix(end + 1)) {
    items.emplace_back(rest.substr(0, end));
  }
  return items;
}

namespace {

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

bool Checked(HWND dlg, int id) { return SendDlgItemMessageW(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

HotkeyRowView ReadRow(HWND dlg, int ctrl, int alt, int shift, int key) {
  return {Checked(dlg, ctrl), Checked(dlg, alt), Checked(dlg, shift), ItemText(dlg, key)};
}

}  // namespace

void PrintTo(const HotkeyRowView& row, std::ostream* os) {
  *os << (row.ctrl ? "CTRL+" : "") << (row.alt ? "ALT+" : "") << (row.shift ? "SHIFT+" : "") << "["
      << Narrow(row.key) << "]";
}

void PrintTo(const SettingsView& v, std::ostream* os) {
  *os << "{height " << Narrow(v.height) << ", trackbar " << v.trackbarPos << " in " << v.trackbarMin << ".."
      << v.trackbarMax << ", label " << Narrow(v.transparencyLabel) << ", horizontal " << v.horizontal
      << ", vertical " << v.vertical << ", mask ";
  PrintTo(v.maskRow, os);
  *os << ", lock ";
  PrintTo(v.lockRow, os);
  *os << ", swatch 0x" << std::hex << v.swatch << std::dec << "}";
}

SettingsView DefaultSettingsView() {
  SettingsView v;
  v.height = L"200";
  v.trackbarPos = 200;
  v.trackbarMin = 10;
  v.trackbarMax = 255;
  v.transparencyLabel = L"200";
  v.horizontal = true;
  v.maskRow = {true, true, false, L"O"};
  v.lockRow = {true, true, false, L"L"};
  v.swatch = RGB(0, 0, 0);
  return v;
}

SettingsView ReadSettingsDialog(HWND dlg) {
  SettingsView v;
  v.height = ItemText(dlg, IDC_HEIGHT);
  v.trackbarPos = static_cast<int>(SendDlgItemMessageW(dlg, IDC_TRANSPARENCY, TBM_GETPOS, 0, 0));
  v.trackbarMin = static_cast<int>(SendDlgItemMessageW(dlg, IDC_TRANSPARENCY, TBM_GETRANGEMIN, 0, 0));
  v.trackbarMax = static_cast<int>(SendDlgItemMessageW(dlg, IDC_TRANSPARENCY, TBM_GETRANGEMAX, 0, 0));
  v.transparencyLabel = ItemText(dlg, IDC_TRANSPARENCY_LABEL);
  v.horizontal = Checked(dlg, IDC_HORIZONTAL);
  v.vertical = Checked(dlg, IDC_VERTICAL);
  v.maskRow = ReadRow(dlg, IDC_MASK_CTRL, IDC_MASK_ALT, IDC_MASK_SHIFT, IDC_MASK_KEY);
  v.lockRow = ReadRow(dlg, IDC_LOCK_CTRL, IDC_LOCK_ALT, IDC_LOCK_SHIFT, IDC_LOCK_KEY);
  v.swatch = SwatchColor(dlg);
  return v;
}

SettingsView SettingsDialogShowing(HWND dlg, const SettingsView& expected, int timeoutMs) {
  SettingsView shown;
  WaitUntil([&] { return (shown = ReadSettingsDialog(dlg)) == expected; }, timeoutMs);
  return shown;
}

HWND Swatch(HWND settings) { return FindChildOfClass(settings, L"SoftveilChild"); }

COLORREF SwatchColor(HWND settings) {
  HWND swatch = Swatch(settings);
  if (!swatch) return CLR_INVALID;
  const POINT c = WindowCenter(swatch);
  return ScreenPixel(c.x, c.y);
}

HWND ConfirmHeight(const Softveil& app, HWND dlg, const wchar_t* height) {
  SetItemText(dlg, IDC_HEIGHT, height);
  PostMessageW(dlg, WM_COMMAND, IDOK, 0);
  HWND box = nullptr;
  WaitUntil([&] { return (box = app.FindMessageBox()) != nullptr || !IsWindow(dlg); });
  return box;
}

DirSnapshot TakeSnapshot(const fs::path& dir) {
  DirSnapshot shot;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    std::string value = (attributes & FILE_ATTRIBUTE_READONLY) ? "read-only " : "";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      value += "<directory>";
    } else {
      value += ReadBytes(entry.path()).value_or("<unreadable>");
    }
    shot[fs::relative(entry.path(), dir).wstring()] = value;
  }
  return shot;
}

bool CanCreateFileIn(const fs::path& dir) {
  const fs::path probe = dir / "probe.tmp";
  HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  DeleteFileW(probe.c_str());
  return true;
}

bool SetImmutable(const fs::path& dir, bool on) {
  const std::optional<std::string> unix = UnixPath(dir);
  if (!unix) return false;
  // Wine starts Unix programs itself, without a process handle to wait on,
  // so the effect is polled.
  std::wstring cmd = std::wstring(L"/usr/bin/chattr ") + (on ? L"+i " : L"-i ") +
                     std::wstring(unix->begin(), unix->end());
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  if (pi.hProcess) CloseHandle(pi.hProcess);
  if (pi.hThread) CloseHandle(pi.hThread);
  return WaitUntil([&] { return CanCreateFileIn(dir) != on; }, 5000);
}

std::vector<std::string> ControlsCutShort(HWND dialog, int dpi, int* checked) {
  std::vector<std::string> problems;
  RECT client;
  GetClientRect(dialog, &client);
  MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
  // The dialogs' font as this (equally DPI-aware) program makes it.
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontW(-MulDiv(11, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
  HGDIOBJ old = SelectObject(screen, font);
  int measured = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT rc;
    GetWindowRect(child, &rc);
    const std::wstring text = WindowText(child);
    const std::string what = "control " + std::to_string(GetDlgCtrlID(child)) + " (" + std::to_string(rc.left) + "," +
                             std::to_string(rc.top) + ")-(" + std::to_string(rc.right) + "," +
                             std::to_string(rc.bottom) + ")";
    if (rc.left < client.left || rc.top < client.top || rc.right > client.right || rc.bottom > client.bottom) {
      problems.push_back(what + " reaches out of the dialog");
    }
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    const bool label = ClassName(child) == L"Static" && (style & SS_TYPEMASK) <= SS_RIGHT;
    const LONG kind = style & BS_TYPEMASK;
    const bool box = ClassName(child) == L"Button" &&
                     (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_CHECKBOX);
    if (text.empty() || !(label || box)) continue;
    SIZE extent;
    GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
    // A check box or radio button draws its box (13 px at 96 DPI) and a gap first.
    const int room = (rc.right - rc.left) - (box ? MulDiv(13 + 3, dpi, 96) : 0);
    if (extent.cx > room) problems.push_back(what + " cuts off its text");
    ++measured;
  }
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  if (checked) *checked = measured;
  return problems;
}
