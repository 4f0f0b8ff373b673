#include "mask/follow_win32.h"

#include <oleacc.h>

#include "common/ids.h"

namespace {

// The one listener the system's event hooks and timer report to: only one
// mask is ever shown.
FollowSources* g_listener = nullptr;

// After a key, a click or the wheel the caret may move a moment later, when
// the program has handled the input: it is read every 30 ms until it has
// stayed put for a quarter of a second. At rest, the tick reads it.
constexpr UINT kCaretReadMs = 30;
constexpr int kCaretStillReads = 8;

bool SamePoint(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

// The Win32 caret of the window's thread, which standard edit controls and
// many editors keep, when it lies in that window's top-level window.
std::optional<RECT> ThreadCaret(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndCaret) return std::nullopt;
  if (GetAncestor(info.hwndCaret, GA_ROOT) != GetAncestor(window, GA_ROOT)) return std::nullopt;
  RECT caret = info.rcCaret;
  MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&caret), 2);
  return caret;
}

// The caret object an event names, as programs that draw their own caret
// (browsers, word processors) report it to accessibility clients.
std::optional<RECT> AccessibleCaret(HWND hwnd, LONG object, LONG child) {
  static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  IAccessible* accessible = nullptr;
  VARIANT item;
  if (!com || FAILED(AccessibleObjectFromEvent(hwnd, object, child, &accessible, &item))) return std::nullopt;
  long x = 0, y = 0, width = 0, height = 0;
  const HRESULT located = accessible->accLocation(&x, &y, &width, &height, item);
  accessible->Release();
  VariantClear(&item);
  if (located != S_OK) return std::nullopt;
  return RECT{x, y, x + width, y + height};
}

}  // namespace

void FollowSources::Sync(bool shown) {
  const FollowMode mode = FollowModeOf(m_settings);
  if (shown == m_listening && (!shown || mode == m_mode)) return;
  ListenToInput(false);
  m_foregroundHook.reset();
  m_targetHook.reset();
  m_targetProcess = 0;
  if (m_mask) KillTimer(m_mask, ID_TIMER_CARET);
  m_caretReadsLeft = 0;
  m_pointerFollowed.reset();
  m_caretFollowed.reset();
  m_accessibleCaret.reset();
  m_listening = shown && m_mask != nullptr;
  m_mode = mode;
  g_listener = m_listening ? this : nullptr;
  if (!m_listening) return;

  ListenToInput(mode != FollowMode::Drag);
  // Where the system reports them as they happen (Windows; Wine reports
  // neither), another window in front and moves of the covered window and
  // its caret are handled at once; otherwise the tick finds them.
  m_foregroundHook.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnWinEvent, 0, 0,
                                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
  WatchTargetProcess();
}

void FollowSources::ListenToInput(bool listen) {
  // The pointer mostly rests in the band's opening, whose moves go to the
  // window below, and keys go to the window being read: raw input reaches
  // the mask all the same, costs nothing while nothing moves and, unlike a
  // low-level hook, never holds the input up (under Wine a low-level mouse
  // hook of another process even keeps injected moves from the pointer).
  const DWORD flags = listen ? RIDEV_INPUTSINK : RIDEV_REMOVE;
  RAWINPUTDEVICE devices[] = {{0x01, 0x02, flags, listen ? m_mask : nullptr},
                              {0x01, 0x06, flags, listen ? m_mask : nullptr}};
  // The keyboard only for the caret; the mouse in both modes: a click into
  // the text or the wheel may move the caret too.
  const UINT count = listen ? (m_mode == FollowMode::Caret ? 2 : 1) : m_inputDevices;
  if (count && RegisterRawInputDevices(devices, count, sizeof devices[0])) m_inputDevices = listen ? count : 0;
}

bool FollowSources::OnInput(LPARAM lp) {
  RAWINPUT input;
  UINT size = sizeof input;
  if (!m_listening || GetRawInputData(reinterpret_cast<HRAWINPUT>(lp), RID_INPUT, &input, &size,
                                      sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1)) {
    return false;
  }
  const bool key = input.header.dwType == RIM_TYPEKEYBOARD && !(input.data.keyboard.Flags & RI_KEY_BREAK);
  const bool button = input.header.dwType == RIM_TYPEMOUSE && input.data.mouse.usButtonFlags != 0;
  if (m_mode == FollowMode::Caret && (key || button)) ReadCaretSoon();
  return m_mode == FollowMode::Pointer && input.header.dwType == RIM_TYPEMOUSE;
}

void FollowSources::SetTarget(HWND window) {
  if (window == m_target) return;
  m_target = window;
  m_accessibleCaret.reset();
  if (m_listening) WatchTargetProcess();
}

void FollowSources::WatchTargetProcess() {
  DWORD process = 0;
  if (m_target) GetWindowThreadProcessId(m_target, &process);
  if (process == m_targetProcess) return;
  m_targetProcess = process;
  m_targetHook.reset(process ? SetWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, nullptr,
                                               OnWinEvent, process, 0, WINEVENT_OUTOFCONTEXT)
                             : nullptr);
}

std::optional<POINT> FollowSources::TakePointer(std::optional<POINT> seen) {
  POINT at = {};
  if (seen) {
    at = *seen;
  } else if (!GetCursorPos(&at)) {
    return std::nullopt;
  }
  if (m_pointerFollowed && SamePoint(*m_pointerFollowed, at)) return std::nullopt;
  m_pointerFollowed = at;
  return at;
}

std::optional<RECT> FollowSources::TakeCaret() {
  if (!m_target) return std::nullopt;
  std::optional<RECT> caret = ThreadCaret(m_target);
  if (!caret) caret = m_accessibleCaret;
  // No caret: the band stays where it is.
  if (!caret || (m_caretFollowed && EqualRect(&*m_caretFollowed, &*caret))) return std::nullopt;
  m_caretFollowed = caret;
  // Still moving: keep reading it closely a while longer.
  if (m_caretReadsLeft > 0) m_caretReadsLeft = kCaretStillReads;
  return caret;
}

void FollowSources::ReadCaretSoon() {
  if (m_caretReadsLeft == 0) SetTimer(m_mask, ID_TIMER_CARET, kCaretReadMs, OnCaretTimer);
  m_caretReadsLeft = kCaretStillReads;
}

void CALLBACK FollowSources::OnCaretTimer(HWND mask, UINT, UINT_PTR id, DWORD) {
  if (!g_listener || --g_listener->m_caretReadsLeft <= 0) {
    KillTimer(mask, id);
    if (g_listener) g_listener->m_caretReadsLeft = 0;
  }
  SendMessageW(mask, WM_FOLLOW_CARET, 0, 0);
}

void CALLBACK FollowSources::OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                                        DWORD) {
  if (!g_listener) return;
  FollowSources& self = *g_listener;
  const HWND owner = GetWindow(self.m_mask, GW_OWNER);
  if (event == EVENT_SYSTEM_FOREGROUND) {
    PostMessageW(owner, WM_TRACK_NOW, 0, 0);
  } else if (object == OBJID_CARET && self.m_mode == FollowMode::Caret) {
    const bool ours = self.m_target && GetAncestor(hwnd, GA_ROOT) == GetAncestor(self.m_target, GA_ROOT);
    if (ours && !ThreadCaret(self.m_target)) self.m_accessibleCaret = AccessibleCaret(hwnd, object, child);
    PostMessageW(self.m_mask, WM_FOLLOW_CARET, 0, 0);
  } else if (object == OBJID_WINDOW && self.m_target && hwnd == GetAncestor(self.m_target, GA_ROOT)) {
    PostMessageW(owner, WM_TRACK_NOW, 0, 0);
  }
}
