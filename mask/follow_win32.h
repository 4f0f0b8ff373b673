// What the band follows, gathered from the system while the mask is shown:
// the pointer's moves, the text caret of the window under the mask, and the
// moves of that window. The mask asks for what moved and places the band
// through the core (mask/follow.h).
#pragma once
#include <windows.h>

#include <optional>

#include "common/handles_win32.h"
#include "settings/follow.h"
#include "settings/mask_settings.h"

class FollowSources {
 public:
  // The mode is read from `settings` whenever the mask shows or is tracked.
  explicit FollowSources(const MaskSettings& settings) : m_settings(settings) {}
  ~FollowSources() { Sync(false); }
  FollowSources(const FollowSources&) = delete;
  FollowSources& operator=(const FollowSources&) = delete;

  // The mask, which receives the reader's input (WM_INPUT) while the band
  // follows and is told (WM_FOLLOW_CARET) when the caret may have moved;
  // its owner is told (WM_TRACK_NOW) when the covered window moves or
  // another comes to the front.
  void Attach(HWND mask) { m_mask = mask; }
  // Listens exactly while the mask is shown, in the mode the settings now
  // name; hidden, it stops and forgets where the band last followed to.
  void Sync(bool shown);
  // The window the mask now covers, from each tracking tick.
  void SetTarget(HWND window);

  // WM_INPUT: a key, a click or the wheel may move the caret (which is then
  // read closely a while). True when the pointer moved and the band
  // follows it.
  bool OnInput(LPARAM lp);
  // Where the pointer is, if it moved since the band last followed it: at
  // `seen` (a tick's position), else where the system has it now.
  std::optional<POINT> TakePointer(std::optional<POINT> seen = std::nullopt);
  // The caret of the covered window on the screen, if it moved since the
  // band last followed it (or the band never did).
  std::optional<RECT> TakeCaret();

 private:
  void ListenToInput(bool listen);
  static void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD);
  static void CALLBACK OnCaretTimer(HWND, UINT, UINT_PTR, DWORD);
  void WatchTargetProcess();
  void ReadCaretSoon();

  const MaskSettings& m_settings;
  HWND m_mask = nullptr;
  HWND m_target = nullptr;
  bool m_listening = false;
  FollowMode m_mode = FollowMode::Drag;
  int m_inputDevices = 0;  // raw input taken: the mouse, and the keyboard
  UniqueWinEventHook m_foregroundHook;
  UniqueWinEventHook m_targetHook;
  DWORD m_targetProcess = 0;

  std::optional<POINT> m_pointerFollowed;
  // A caret that only the accessibility interface reports (programs that
  // draw their own), from the latest location event.
  std::optional<RECT> m_accessibleCaret;
  std::optional<RECT> m_caretFollowed;
  int m_caretReadsLeft = 0;
};
