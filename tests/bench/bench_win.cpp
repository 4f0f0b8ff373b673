// Measures the real softveil.exe under the window system: how long a drag
// move takes to reach the screen, what a tracking tick and idling cost, its
// memory and its start-up, next to a reference window of our own that does
// the bare minimum a drag move needs.
//
// Usage: bench.exe [floor] [start] [follow] [softveil] runs those parts (all
// four by default); bench.exe compare A.exe B.exe ... sets builds of softveil side by
// side instead (see Compare below), and bench.exe calls times single calls. SOFTVEIL_EXE names the program,
// SOFTVEIL_BENCH_IDLE_SECONDS shortens the idle measurements, and
// SOFTVEIL_BENCH_DEBUG=1 describes each move that got lost. One line per
// figure on standard output:
//   name <TAB> median <TAB> worst <TAB> unit <TAB> note
// where worst is "-" when a figure has only one value. Progress goes to stderr.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "mask/band.h"
#include "mask/guide_region_win32.h"
#include "mask/guide_shape.h"
#include "mask/follow.h"
#include "mask/monitors.h"
#include "tests/e2e/harness.h"

namespace {

constexpr int kBandHeight = 200;  // the default, which the benchmark's INI leaves alone
constexpr int kDragMoves = 1000;
constexpr int kTicksPerRound = 2000;
constexpr int kTickRounds = 5;
constexpr int kStarts = 10;
constexpr int kStepPx = 5;
constexpr double kPollTimeoutMs = 500;

double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / perMs;
}

// What Linux knows of the process behind a Windows process under Wine. Wine
// answers GetProcessTimes for another process with zero CPU time and leaves
// PrivateUsage empty, so the figures come from /proc (Wine's Z: drive is the
// Unix root), found by the program's path in the command line.
class UnixProcess {
 public:
  // The newest living process whose command line holds `exePath`.
  explicit UnixProcess(const std::wstring& exePath);
  bool found() const { return pid_ != 0; }
  // CPU time of all its threads, from the scheduler's nanosecond account.
  double CpuMs() const;
  // A field of /proc/PID/status in MB ("RssAnon", "VmRSS", ...).
  double StatusMb(const char* field) const;

 private:
  unsigned long pid_ = 0;
};

std::string ReadWholeFile(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return text;
}

std::vector<std::wstring> ListDirectory(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (data.cFileName[0] != L'.') names.push_back(data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

UnixProcess::UnixProcess(const std::wstring& exePath) {
  const std::wstring wanted = Lower(exePath);
  unsigned long long newest = 0;
  for (const std::wstring& name : ListDirectory(L"Z:\\proc")) {
    if (name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    std::string cmdline = ReadWholeFile(L"Z:\\proc\\" + name + L"\\cmdline");
    std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
    if (Lower(std::wstring(cmdline.begin(), cmdline.end())).find(wanted) == std::wstring::npos) continue;
    // Field 22 of stat, after the parenthesised name: the start time.
    const std::string stat = ReadWholeFile(L"Z:\\proc\\" + name + L"\\stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::size_t pos = close + 2;
    const char state = stat.size() > pos ? stat[pos] : 'Z';
    if (state == 'Z') continue;  // ended, not yet reaped
    for (int field = 3; field < 22 && pos != std::string::npos; ++field) pos = stat.find(' ', pos + 1);
    const unsigned long long started =
        pos == std::string::npos ? 0 : std::strtoull(stat.c_str() + pos + 1, nullptr, 10);
    if (started >= newest) {
      newest = started;
      pid_ = std::wcstoul(name.c_str(), nullptr, 10);
    }
  }
}

double UnixProcess::CpuMs() const {
  if (!pid_) return -1;
  const std::wstring tasks = L"Z:\\proc\\" + std::to_wstring(pid_) + L"\\task";
  double ns = 0;
  for (const std::wstring& tid : ListDirectory(tasks)) {
    ns += std::strtod(ReadWholeFile(tasks + L"\\" + tid + L"\\schedstat").c_str(), nullptr);
  }
  return ns / 1e6;
}

double UnixProcess::StatusMb(const char* field) const {
  const std::string status = ReadWholeFile(L"Z:\\proc\\" + std::to_wstring(pid_) + L"\\status");
  const std::size_t at = status.find(std::string(field) + ":");
  if (at == std::string::npos) return 0;
  return std::strtod(status.c_str() + at + std::strlen(field) + 1, nullptr) / 1024.0;  // the file says kB
}

// No process, no figure: the reference window's CPU is mixed with ours.
double CpuMsOf(const UnixProcess* process) { return process ? process->CpuMs() : 0; }

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Worst(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

void Row(const std::string& name, double median, const std::string& worst, const char* unit,
         const std::string& note = "") {
  std::printf("%s\t%.3f\t%s\t%s\t%s\n", name.c_str(), median, worst.c_str(), unit, note.c_str());
  std::fflush(stdout);
}

std::string Fixed(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

void RowOf(const std::string& name, const std::vector<double>& values, const char* unit, const std::string& note = "") {
  Row(name, Median(values), Fixed(Worst(values)), unit, note);
}

void Progress(const char* text) {
  std::fprintf(stderr, "bench: %s\n", text);
  std::fflush(stderr);
}

int IdleSeconds() {
  const char* text = std::getenv("SOFTVEIL_BENCH_IDLE_SECONDS");
  const int seconds = text ? std::atoi(text) : 0;
  return seconds > 0 ? seconds : 60;
}

// The mask's region for a band: the client rectangle less the opening.
HRGN MaskRegion(bool horizontal, const Rect& client, const Band& band) {
  HRGN region = CreateRectRgn(client.left, client.top, client.right, client.bottom);
  if (const auto hole = HoleRect(horizontal, client, band, kBaseDpi)) {
    HRGN cut = CreateRectRgn(hole->left, hole->top, hole->right, hole->bottom);
    CombineRgn(region, region, cut, RGN_DIFF);
    DeleteObject(cut);
  }
  return region;
}

// The region softveil shows for `band` in `style`, with `labels` where it keeps them.
HRGN ExpectedRegion(GuideStyle style, bool horizontal, const Rect& client, const Band& band,
                    const std::vector<Rect>& labels = {}) {
  return GuideRegion(GuideShapeOf({style, horizontal, client, band, kBaseDpi, kUnderlineWidthDefault, labels})).release();
}

// Polls the window's region until it equals `expected`; the time it took
// from `since`, or a negative value on a time-out. Between polls the thread
// gives way briefly, so the poll does not starve the program it watches on
// a small machine.
double WaitForRegion(HWND hwnd, HRGN expected, double since) {
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  double found = -1;
  for (;;) {
    const int kind = GetWindowRgn(hwnd, current);
    const double now = NowMs();
    if (kind != ERROR && EqualRgn(current, expected)) {
      found = now - since;
      break;
    }
    if (now - since > kPollTimeoutMs) break;
    SwitchToThread();
  }
  DeleteObject(current);
  return found;
}

// The pointer's walk during a drag. It moves kStepPx at a time and always
// stays on the masked area, so that every move reaches the mask and changes
// its region: pulling the band's far edge while moving forward, pushing its
// near edge while moving back, turning round near the ends of the area. A
// carried guide (a bar, an underline) is taken at `grab` along the band and
// goes with the pointer, turning round near the ends.
class DragWalk {
 public:
  DragWalk(bool horizontal, int extent, Band band, std::optional<int> grab = std::nullopt)
      : horizontal_(horizontal),
        extent_(extent),
        band_(band),
        pointer_(grab.value_or(band.end)),
        carried_(grab.has_value()),
        grab_{pointer_, band} {}

  bool horizontal() const { return horizontal_; }
  int pointer() const { return pointer_; }
  const Band& band() const { return band_; }

  // The next pointer position along the band's axis; the band follows it.
  int Step() {
    if (carried_) return CarryStep();
    int next;
    if (pulling_) {
      next = pointer_ + kStepPx;
      if (next > extent_ - 2) {
        pulling_ = false;
        next = band_.start - kStepPx;  // above the band: its start comes here
      }
    } else {
      next = pointer_ - kStepPx;
      if (next < 6) {
        pulling_ = true;
        next = band_.end + kStepPx;  // past the band: its end comes here
      }
    }
    pointer_ = next;
    band_ = DragBand(next, band_.start, kBandHeight);
    return next;
  }

 private:
  int CarryStep() {
    if (pulling_ && band_.end + kStepPx > extent_ - 1) pulling_ = false;
    if (!pulling_ && band_.start - kStepPx < 6) pulling_ = true;
    pointer_ += pulling_ ? kStepPx : -kStepPx;
    band_ = DraggedBand(true, grab_, band_, pointer_, kBandHeight, extent_);
    return pointer_;
  }

  bool horizontal_;
  int extent_;
  Band band_;
  int pointer_;
  bool carried_;
  GuideGrab grab_;
  bool pulling_ = true;
};

// What the window's region holds after a move that never arrived.
void DescribeMiss(HWND hwnd, int move, POINT sent, const Band& band) {
  HRGN seen = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(hwnd, seen);
  std::fprintf(stderr, "move %d to (%ld,%ld) for the band %d..%d never arrived; the region holds:\n", move, sent.x,
               sent.y, band.start, band.end);
  const DWORD size = GetRegionData(seen, 0, nullptr);
  std::vector<char> data(size);
  if (size && GetRegionData(seen, size, reinterpret_cast<RGNDATA*>(data.data()))) {
    const auto* rd = reinterpret_cast<const RGNDATA*>(data.data());
    const auto* r = reinterpret_cast<const RECT*>(rd->Buffer);
    for (DWORD k = 0; k < rd->rdh.nCount; ++k) {
      std::fprintf(stderr, "  %ld,%ld - %ld,%ld\n", r[k].left, r[k].top, r[k].right, r[k].bottom);
    }
  }
  DeleteObject(seen);
}

struct DragResult {
  std::vector<double> latencies;
  int misses = 0;
  double cpuPerMoveMs = -1;  // the dragged program's, where we can see it
};

// Drags over `hwnd`, a window covering the whole screen whose region is the
// guide of `style` over the band `start` (the mask: the band cut out of it),
// and times each move until its region is seen. With `owner`, also the CPU
// time its program spends per move; `labels` are the mask's shown labels.
DragResult Drag(HWND hwnd, bool horizontal, Band start, int moves, const UnixProcess* owner = nullptr,
                GuideStyle style = GuideStyle::Mask, const std::vector<Rect>& labels = {}) {
  const Rect client{0, 0, ScreenWidth(), ScreenHeight()};
  const int across = horizontal ? client.right / 2 : client.bottom / 2;
  std::optional<int> grab;  // the bar in its middle, the underline on its line
  if (style == GuideStyle::Bar) grab = (start.start + start.end) / 2;
  if (style == GuideStyle::Underline) grab = start.end - 2;
  DragWalk walk(horizontal, horizontal ? client.bottom : client.right, start, grab);
  auto at = [&](int along) { return horizontal ? POINT{across, along} : POINT{along, across}; };

  DragResult result;
  const POINT press = at(walk.pointer());
  MovePointer(press.x, press.y);
  ClickLeft(true);
  Pause(200);
  const double cpu0 = CpuMsOf(owner);
  for (int i = 0; i < moves; ++i) {
    const POINT p = at(walk.Step());
    HRGN expected = ExpectedRegion(style, horizontal, client, walk.band(), labels);
    const double sent = NowMs();  // SendPointerTo does not wait: the measurement starts here
    SendPointerTo(p.x, p.y);
    const double latency = WaitForRegion(hwnd, expected, sent);
    if (latency < 0) {
      // Now and then Wine's input path drops a move (the reference window
      // loses them too). Count it, and send it again, untimed, to stay in
      // step: one pixel across the band, so it is a move, at the same place along it.
      ++result.misses;
      if (std::getenv("SOFTVEIL_BENCH_DEBUG")) DescribeMiss(hwnd, i, p, walk.band());
      SendPointerTo(p.x + (horizontal ? 1 : 0), p.y + (horizontal ? 0 : 1));
      const bool inStep = WaitForRegion(hwnd, expected, NowMs()) >= 0;
      DeleteObject(expected);
      if (!inStep) break;
      continue;
    }
    DeleteObject(expected);
    result.latencies.push_back(latency);
  }
  if (owner) result.cpuPerMoveMs = (CpuMsOf(owner) - cpu0) / moves;
  ClickLeft(false);
  Pause(200);
  return result;
}

void ReportDrag(const std::string& name, const DragResult& drag, const std::string& note = "") {
  std::string text = std::to_string(drag.latencies.size()) + " moves";
  if (drag.misses) text += ", " + std::to_string(drag.misses) + " lost by the input path";
  if (drag.cpuPerMoveMs >= 0) text += "; " + Fixed(drag.cpuPerMoveMs) + " ms CPU per move";
  if (!note.empty()) text += "; " + note;
  RowOf(name, drag.latencies, "ms", text);
}

// A full-screen layered window of our own, pumped by its own thread, that
// does for each mouse move only what a drag needs: two rectangle regions, one
// combine and SetWindowRgn. With `redraw` the system repaints it (a plain
// fill), as it would any window whose region changed.
class ReferenceWindow {
 public:
  ReferenceWindow(bool horizontal, bool redraw) : horizontal_(horizontal), redraw_(redraw) {
    const Rect client{0, 0, ScreenWidth(), ScreenHeight()};
    band_ = PlaceBand({}, horizontal ? client.bottom : client.right, kBandHeight);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready, client] {
      static const bool registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"SoftveilBenchReference";
        return RegisterClassW(&wc) != 0;
      }();
      (void)registered;
      hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"SoftveilBenchReference", L"floor",
                              WS_POPUP, 0, 0, client.right, client.bottom, nullptr, nullptr, GetModuleHandleW(nullptr),
                              this);
      SetLayeredWindowAttributes(hwnd_, 0, 200, LWA_ALPHA);
      SetWindowRgn(hwnd_, MaskRegion(horizontal_, client, band_), FALSE);
      ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
      UpdateWindow(hwnd_);
      SetEvent(ready);
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    });
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
    Pause(300);
  }
  ~ReferenceWindow() {
    const DWORD thread = GetWindowThreadProcessId(hwnd_, nullptr);
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    PostThreadMessageW(thread, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND hwnd() const { return hwnd_; }
  Band band() const { return band_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<ReferenceWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
      case WM_MOUSEMOVE: {
        const int along = self->horizontal_ ? GET_Y_LPARAM(lp) : GET_X_LPARAM(lp);
        self->band_ = DragBand(along, self->band_.start, kBandHeight);
        RECT rc;
        GetClientRect(hwnd, &rc);
        SetWindowRgn(hwnd, MaskRegion(self->horizontal_, {rc.left, rc.top, rc.right, rc.bottom}, self->band_),
                     self->redraw_);
        return 0;
      }
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_ERASEBKGND:
        return 1;
      case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
      default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
  }

  bool horizontal_;
  bool redraw_;
  Band band_;
  std::thread thread_;
  HWND hwnd_ = nullptr;
};

void MeasureFloor(bool horizontal, bool redraw) {
  ReferenceWindow window(horizontal, redraw);
  const std::string name = std::string("floor: SetWindowRgn") + (redraw ? "" : " without redraw") + " (" +
                           (horizontal ? "horizontal" : "vertical") + ")";
  ReportDrag(name, Drag(window.hwnd(), horizontal, window.band(), kDragMoves),
             redraw ? "our own layered window, same size and moves" : "lower bound: no repaint at all");
}

// An idle empty program: no timer, softveil's 500 ms timer, or that timer
// and what a visible seconds clock needs at the least (a small label on a
// layered topmost window, its text set when the second changes):
// "bench.exe idle-reference [timer|clock]".
constexpr wchar_t kIdleClass[] = L"SoftveilBenchIdle";
enum class Floor { Empty, Timer, Clock };
constexpr const wchar_t* kFloorNames[] = {L"empty", L"timer", L"clock"};

int RunIdleReference(Floor floor) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kIdleClass;
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  RegisterClassW(&wc);
  const bool clock = floor == Floor::Clock;
  HWND hwnd = CreateWindowExW(clock ? WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE : 0,
                              kIdleClass, kFloorNames[static_cast<int>(floor)], WS_POPUP, 0, 0, 120, 20, nullptr,
                              nullptr, wc.hInstance, nullptr);
  HWND label = nullptr;
  if (clock) {
    label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 120, 20, hwnd, nullptr, nullptr, nullptr);
    SetLayeredWindowAttributes(hwnd, 0, 150, LWA_ALPHA);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  }
  if (floor != Floor::Empty) SetTimer(hwnd, ID_TIMER_TRACK, kTrackPeriodMs, nullptr);
  ULONGLONG shown = 0;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_CLOSE) break;
    if (label && msg.message == WM_TIMER && GetTickCount64() / 1000 != shown) {
      shown = GetTickCount64() / 1000;
      SetWindowTextW(label, (std::to_wstring(shown) + L"秒").c_str());
    }
    DispatchMessageW(&msg);
  }
  return 0;
}

// bench.exe in its idle-reference part: started, its window found.
struct IdleReference {
  explicit IdleReference(Floor floor = Floor::Empty) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    path = self;
    const wchar_t* name = kFloorNames[static_cast<int>(floor)];
    std::wstring cmd = L"\"" + path + L"\" idle-reference " + name;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    const double t0 = NowMs();
    if (!CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    if (WaitUntil([&] { return (hwnd = FindWindowW(kIdleClass, name)) != nullptr; }, 10000, 1)) {
      startMs = NowMs() - t0;
    }
  }
  ~IdleReference() {
    if (!pi.hProcess) return;
    if (hwnd) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  std::wstring path;
  PROCESS_INFORMATION pi = {};
  HWND hwnd = nullptr;
  double startMs = -1;
};

void MeasureIdleFloor() {
  std::vector<double> starts;
  for (int i = 0; i < kStarts; ++i) {
    IdleReference reference;
    if (reference.startMs >= 0) starts.push_back(reference.startMs);
  }
  RowOf("floor: start of an empty Wine program", starts, "ms",
        "CreateProcess to its first window; " + std::to_string(starts.size()) + " starts");

  IdleReference reference;
  if (!reference.hwnd) return;
  Pause(1000);
  const UnixProcess unix(reference.path);  // the newest bench.exe: this one
  if (!unix.found()) return;
  Row("floor: private memory of that program", unix.StatusMb("RssAnon") + unix.StatusMb("VmSwap"), "-", "MB",
      "what Wine itself takes in a process (static runtime too)");
}

const char* Orientation(bool horizontal) { return horizontal ? "horizontal" : "vertical"; }

// softveil over the full-screen reading window, the mask switched on and
// shown with its band centred; the pointer rests in the band.
struct Session {
  // `extra`: more lines of softveil.ini.
  explicit Session(bool horizontal, GuideStyle style = GuideStyle::Mask, const std::string& extra = "")
      : horizontal(horizontal), style(style), app(Ini(horizontal, style, extra)), unix(SoftveilExePath()) {
    mask = app.WaitForMask(5000);
    lockLabel = GetDlgItem(mask, IDC_LOCK_LABEL);
  }
  static std::optional<std::string> Ini(bool horizontal, GuideStyle style, const std::string& extra) {
    if (horizontal && style == GuideStyle::Mask && extra.empty()) return std::nullopt;
    std::string ini = "[settings]\r\n";
    if (!horizontal) ini += "horizontal=0\r\n";
    if (style != GuideStyle::Mask) ini += "style=" + std::string(GuideStyleName(style)) + "\r\n";
    return ini + extra;
  }
  // The clock, which a bar or an underline keeps, in the mask's client coordinates.
  std::vector<Rect> Labels() const {
    RECT window, clock;
    GetWindowRect(mask, &window);
    GetWindowRect(GetDlgItem(mask, IDC_CLOCK_LABEL), &clock);
    return {{clock.left - window.left, clock.top - window.top, clock.right - window.left, clock.bottom - window.top}};
  }
  bool SwitchOn() {
    app.Command(ID_MENU_MASK_ON);
    if (!WaitUntil([&] { return IsWindowVisible(mask) != FALSE; }, 3000)) return false;
    Pause(700);  // one more tick: the band is placed
    return true;
  }
  Band StartBand() const { return PlaceBand({}, horizontal ? ScreenHeight() : ScreenWidth(), kBandHeight); }
  bool BandIsCentred() const {
    HRGN expected = ExpectedRegion(style, horizontal, {0, 0, ScreenWidth(), ScreenHeight()}, StartBand(), Labels());
    const bool same = WaitForRegion(mask, expected, NowMs()) >= 0;
    DeleteObject(expected);
    return same;
  }

  bool horizontal;
  GuideStyle style;
  Softveil app;
  UnixProcess unix;
  HWND mask = nullptr;
  HWND lockLabel = nullptr;
};

void PointAtCentre() { MovePointer(ScreenWidth() / 2, ScreenHeight() / 2); }

// softveil's CPU time over `seconds` of doing nothing and, over the same
// seconds (so the machine's load falls on all alike), the floors', as shares
// of one core: an empty program with softveil's timer or none, and with the
// timer, one with a seconds clock too (clockFloor, negative when not measured).
struct IdleShares {
  double share, floor, clockFloor = -1;
};

IdleShares IdleShare(Session& s, int seconds, bool floorTimer) {
  IdleReference reference(floorTimer ? Floor::Timer : Floor::Empty);
  const UnixProcess floor(reference.path);  // the newest bench.exe: that one
  std::optional<IdleReference> clockReference;
  if (floorTimer) clockReference.emplace(Floor::Clock);
  const UnixProcess clockFloor(reference.path);  // the newest again
  Pause(1000);
  const double cpu0 = s.unix.CpuMs(), floor0 = floor.CpuMs(), clock0 = clockFloor.CpuMs(), t0 = NowMs();
  Pause(seconds * 1000);
  const double t = NowMs() - t0;
  auto share = [t](double cpu) { return 100.0 * cpu / t; };
  return {share(s.unix.CpuMs() - cpu0), share(floor.CpuMs() - floor0),
          clockReference ? share(clockFloor.CpuMs() - clock0) : -1};
}

void MeasureIdle(Session& s, const char* name, const std::string& note, bool floorTimer) {
  const int seconds = IdleSeconds();
  const IdleShares idle = IdleShare(s, seconds, floorTimer);
  Row(name, idle.share, "-", "% core",
      note + "; " + Fixed(idle.share * seconds * 10) + " ms CPU in " + std::to_string(seconds) + " s");
  Row(name + std::string(": floor"), idle.floor, "-", "% core", floorTimer ? "empty, softveil's timer" : "empty, no timer");
  if (idle.clockFloor >= 0) {
    Row(name + std::string(": floor with a clock"), idle.clockFloor, "-", "% core",
        "empty, softveil's timer and a seconds label");
  }
}

// Posts a tick and waits until it has run. The lock switch it carries shows
// or hides the lock label, which is the one thing we can see from outside;
// the tick itself costs what any other tick costs.
bool TickAndWait(Session& s, bool labelShown) {
  s.app.Command(ID_MENU_LOCK);
  PostMessageW(s.app.controller(), WM_TIMER, ID_TIMER_TRACK, 0);
  return WaitUntil([&] { return (IsWindowVisible(s.lockLabel) != FALSE) == labelShown; }, 60000);
}

// One round of posted ticks, closed by one that switches lock mode on and
// one that switches it off again; the real 500 ms ticks that fall in the
// round are counted in. The CPU time per tick, or a negative value.
double TickRound(Session& s) {
  Pause(300);
  const double cpu0 = s.unix.CpuMs(), t0 = NowMs();
  for (int i = 0; i < kTicksPerRound; ++i) {
    while (!PostMessageW(s.app.controller(), WM_TIMER, ID_TIMER_TRACK, 0)) Sleep(1);
  }
  if (!TickAndWait(s, true) || !TickAndWait(s, false)) {
    Progress("ticks: the round never finished");
    return -1;
  }
  const double cpu1 = s.unix.CpuMs(), t1 = NowMs();
  return (cpu1 - cpu0) / (kTicksPerRound + 2 + (t1 - t0) / 500.0);
}

void MeasureTicks(Session& s) {
  std::vector<double> perTick;
  for (int round = 0; round < kTickRounds; ++round) {
    const double cpu = TickRound(s);
    if (cpu < 0) return;
    perTick.push_back(cpu);
  }
  RowOf(std::string("tick (") + Orientation(s.horizontal) + ")", perTick, "ms CPU",
        std::to_string(kTickRounds) + " rounds of " + std::to_string(kTicksPerRound) +
            " posted ticks, mask shown, pointer in the band");
}

// Private memory as Wine itself counts it for its own process (anonymous
// resident memory and swap), and the resident set as the working set.
void ReportMemory(Session& s, const std::string& when) {
  Row("private memory " + when, s.unix.StatusMb("RssAnon") + s.unix.StatusMb("VmSwap"), "-", "MB");
  Row("working set " + when, s.unix.StatusMb("VmRSS"), "-", "MB",
      "of which shared (window surfaces, mapped files): " +
          Fixed(s.unix.StatusMb("RssShmem") + s.unix.StatusMb("RssFile")) + " MB");
}

void MeasureStarts() {
  std::vector<double> times;
  for (int i = 0; i < kStarts; ++i) {
    TempDir dir;
    const double t0 = NowMs();
    Softveil app(dir.path(), Softveil::Start::NoWait);
    if (!app.process()) {
      Progress("start: CreateProcess failed");
      return;
    }
    const bool up = WaitUntil([&] { return app.StartedUp(); }, 10000, 1);  // polled every millisecond
    const double t1 = NowMs();
    if (up) times.push_back(t1 - t0);
    if (app.controller()) app.Exit();  // the destructor ends it otherwise
  }
  RowOf("start to tray icon", times, "ms", std::to_string(times.size()) + " starts");
}

// What the calls of an idle tick and of the clock cost under this platform,
// in the benchmark's own process: wall time per call over many calls.
void MeasureCalls(HWND reader) {
  constexpr int kCalls = 2000;
  auto time = [&](const char* name, const std::function<void()>& call) {
    const double t0 = NowMs();
    for (int i = 0; i < kCalls; ++i) call();
    Row(std::string("call: ") + name, (NowMs() - t0) * 1000 / kCalls, "-", "us", "wall time per call");
  };
  POINT pt = {ScreenWidth() / 2, ScreenHeight() / 2};
  RECT rc;
  time("GetCursorPos", [&] { GetCursorPos(&pt); });
  time("WindowFromPoint", [&] { WindowFromPoint(pt); });
  time("GetWindowRect", [&] { GetWindowRect(reader, &rc); });
  time("GetSystemMetrics(SM_CXSCREEN)", [&] { GetSystemMetrics(SM_CXSCREEN); });
  HWND hidden = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  HWND label =
      CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 80, 16, hidden, nullptr, nullptr, nullptr);
  int n = 0;
  time("ShowWindow(SW_HIDE) of a hidden window", [&] { ShowWindow(hidden, SW_HIDE); });
  time("SetWindowTextW of a label in a hidden window",
       [&] { SetWindowTextW(label, (std::to_wstring(++n) + L"秒").c_str()); });
  DestroyWindow(hidden);
}

// The band following the pointer, which walks up and down the middle of the
// full-screen reader 5 px at a time, resting in the opening as a reader's
// does: each move timed until the region shows the band at the pointer.
DragResult FollowPointer(Session& s) {
  const Rect client{0, 0, ScreenWidth(), ScreenHeight()};
  DragResult result;
  for (int i = 0, y = client.bottom / 2; i < kDragMoves; ++i) {
    y += i / 100 % 2 ? -kStepPx : kStepPx;
    HRGN expected = MaskRegion(true, client, BandAtPoint(y, kBandHeight, FollowOffset(-1, kBandHeight, kBaseDpi)));
    const double sent = NowMs();
    SendPointerTo(client.right / 2, y);
    const double latency = WaitForRegion(s.mask, expected, sent);
    DeleteObject(expected);
    if (latency >= 0) result.latencies.push_back(latency);
    result.misses += latency < 0;
  }
  return result;
}

// The pointer followed, and what a shown mask costs while nothing moves when
// it follows the pointer, and the caret of a full-screen edit control (next
// to the mask that only may be dragged, over the same control).
void MeasureFollowing() {
  for (const char* mode : {"pointer", "drag", "caret"}) {
    Progress(mode);
    PointAtCentre();
    std::optional<TestWindow> editor;
    if (mode[0] != 'p') editor.emplace(RECT{0, 0, ScreenWidth(), ScreenHeight()}, L"editor", L"one\r\ntwo\r\nthree");
    Session s(true, GuideStyle::Mask, std::string("follow=") + mode + "\r\n");
    if (!s.mask || !s.SwitchOn()) return Progress("the mask did not show");
    MeasureIdle(s, (std::string("idle, follow=") + mode + (editor ? " over an edit control" : "")).c_str(),
                "mask shown, pointer and caret still", true);
    if (!editor) ReportDrag("pointer following (horizontal)", FollowPointer(s));
    s.app.Exit();
  }
}

// Several builds of softveil side by side, for trying out a change: each
// round runs every build in turn, so that the machine's changing load falls
// on all of them alike. Usage: bench.exe compare A.exe B.exe ...; each build
// is named by its folder.
void Compare(const std::vector<std::wstring>& exes) {
  struct Figures {
    std::vector<double> memory, idleHidden, idleShown, tick, dragCpu, dragLatency;
  };
  std::vector<Figures> figures(exes.size());
  constexpr int kIdleSeconds = 10, kMoves = 300;
  // SOFTVEIL_BENCH_ROUNDS shortens a first look.
  const char* rounds = std::getenv("SOFTVEIL_BENCH_ROUNDS");
  const int kRounds = rounds && std::atoi(rounds) > 0 ? std::atoi(rounds) : 5;
  // The floor in every round too, so that its figures meet the same load.
  std::vector<double> floor, floorMemory;
  for (int round = 0; round < kRounds; ++round) {
    {
      IdleReference reference(Floor::Timer);
      if (!reference.hwnd) return;
      Pause(1000);
      const UnixProcess unix(reference.path);
      const double cpu0 = unix.CpuMs(), t0 = NowMs();
      Pause(kIdleSeconds * 1000);
      floor.push_back(100.0 * (unix.CpuMs() - cpu0) / (NowMs() - t0));
      floorMemory.push_back(unix.StatusMb("RssAnon") + unix.StatusMb("VmSwap"));
    }
    for (std::size_t v = 0; v < exes.size(); ++v) {
      std::fprintf(stderr, "bench: compare round %d, %ls\n", round + 1, exes[v].c_str());
      _wputenv_s(L"SOFTVEIL_EXE", exes[v].c_str());
      PointAtCentre();
      Session s(true);
      if (!s.unix.found() || !s.mask) return;
      Pause(3000);  // past the start-up: the first ticks, the tray, the system's own work
      Figures& f = figures[v];
      f.memory.push_back(s.unix.StatusMb("RssAnon") + s.unix.StatusMb("VmSwap"));
      f.idleHidden.push_back(IdleShare(s, kIdleSeconds, false).share);
      if (!s.SwitchOn()) return;
      f.idleShown.push_back(IdleShare(s, kIdleSeconds, true).share);
      f.tick.push_back(TickRound(s));
      const DragResult drag = Drag(s.mask, true, s.StartBand(), kMoves, &s.unix);
      f.dragCpu.push_back(drag.cpuPerMoveMs);
      f.dragLatency.push_back(Median(drag.latencies));
      PointAtCentre();
      s.app.Exit();
    }
  }
  RowOf("floor: idle Wine program, same timer", floor, "% core",
        "over " + std::to_string(kRounds) + " rounds of " + std::to_string(kIdleSeconds) + " s");
  RowOf("floor: private memory of that program", floorMemory, "MB", "over " + std::to_string(kRounds) + " rounds");
  for (std::size_t v = 0; v < exes.size(); ++v) {
    const std::filesystem::path exe(exes[v]);
    const std::string name = exe.parent_path().filename().string();
    const Figures& f = figures[v];
    const std::string over = "over " + std::to_string(kRounds) + " rounds";
    RowOf(name + ": private memory after start", f.memory, "MB", over);
    RowOf(name + ": idle, mask hidden", f.idleHidden, "% core", over + " of " + std::to_string(kIdleSeconds) + " s");
    RowOf(name + ": idle, mask shown, pointer still", f.idleShown, "% core",
          over + " of " + std::to_string(kIdleSeconds) + " s");
    RowOf(name + ": tick", f.tick, "ms CPU", over + " of " + std::to_string(kTicksPerRound) + " ticks");
    RowOf(name + ": drag CPU per move", f.dragCpu, "ms CPU", over + " of " + std::to_string(kMoves) + " moves");
    RowOf(name + ": drag latency (median of a round)", f.dragLatency, "ms", over);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Parts to run: "floor", "start", "softveil"; all of them by default.
  auto wanted = [&](const wchar_t* part) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i) {
      if (std::wcscmp(argv[i], part) == 0) return true;
    }
    return false;
  };
  if (argc > 1 && std::wcscmp(argv[1], L"idle-reference") == 0) {
    const std::wstring floor = argc > 2 ? argv[2] : L"empty";
    return RunIdleReference(floor == L"clock" ? Floor::Clock : floor == L"timer" ? Floor::Timer : Floor::Empty);
  }
  SetProcessDPIAware();
  TestWindow reader(RECT{0, 0, ScreenWidth(), ScreenHeight()});
  PointAtCentre();
  if (argc > 2 && std::wcscmp(argv[1], L"compare") == 0) {
    std::vector<std::wstring> exes;
    for (int i = 2; i < argc; ++i) exes.push_back(WinePath(argv[i]));
    Compare(exes);
    return 0;
  }

  if (wanted(L"floor")) {
    Progress("reference window");
    for (bool horizontal : {true, false}) MeasureFloor(horizontal, true);
    for (bool horizontal : {true, false}) MeasureFloor(horizontal, false);
    Progress("idle reference program");
    MeasureIdleFloor();
  }
  if (wanted(L"start")) {
    Progress("start-up");
    PointAtCentre();
    MeasureStarts();
  }
  if (argc > 1 && std::wcscmp(argv[1], L"calls") == 0) {
    MeasureCalls(reader.hwnd());  // only on request: not part of the table
    return 0;
  }
  if (wanted(L"follow")) MeasureFollowing();
  if (!wanted(L"softveil")) return 0;
  for (bool horizontal : {true, false}) {
    Progress(horizontal ? "horizontal session" : "vertical session");
    PointAtCentre();
    Session s(horizontal);
    if (!s.unix.found()) {
      Progress("softveil's process is not to be found in /proc");
      return 1;
    }
    if (!s.mask) {
      Progress("the mask never appeared");
      return 1;
    }
    if (horizontal) {
      Pause(1000);
      ReportMemory(s, "after start");
      Progress("idle, mask hidden");
      MeasureIdle(s, "idle, mask hidden", "created, switched off; pointer still", false);
    }
    if (!s.SwitchOn() || !s.BandIsCentred()) {
      Progress("the mask did not show with its band centred");
      return 1;
    }
    if (horizontal) {
      Progress("idle, mask shown");
      MeasureIdle(s, "idle, mask shown", "pointer still in the band", true);
    }
    Progress("ticks");
    MeasureTicks(s);
    if (!s.BandIsCentred()) {
      Progress("the band moved during the ticks");
      return 1;
    }
    Progress("drag");
    ReportDrag(std::string("drag (") + Orientation(horizontal) + ")",
               Drag(s.mask, horizontal, s.StartBand(), kDragMoves, &s.unix));
    if (horizontal) ReportMemory(s, "after " + std::to_string(kDragMoves) + " drags");
    PointAtCentre();
    if (s.app.Exit() != 0u) Progress("softveil did not exit cleanly");
  }
  // The bar and the underline are carried by the pointer; the tint takes no
  // click, so it has no drag to measure (table.py says so).
  for (GuideStyle style : {GuideStyle::Bar, GuideStyle::Underline}) {
    const std::string name(GuideStyleName(style));
    Progress(name.c_str());
    PointAtCentre();
    Session s(true, style);
    if (!s.mask || !s.SwitchOn() || !s.BandIsCentred()) {
      Progress("the guide did not show over its centred band");
      return 1;
    }
    ReportDrag("drag (" + name + ", horizontal)",
               Drag(s.mask, true, s.StartBand(), kDragMoves, &s.unix, s.style, s.Labels()));
    PointAtCentre();
    if (s.app.Exit() != 0u) Progress("softveil did not exit cleanly");
  }
  return 0;
}
