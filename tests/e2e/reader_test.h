// The fixture of the tests that need the mask: a reading window with the
// pointer over it, and softveil started over it.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/harness.h"

class ReaderTest : public testing::Test {
 protected:
  // Opens the reading window at `readerRect`, points at its centre, starts
  // softveil (after writing `ini` as its settings file when given) and waits
  // for the mask, which the first tracking tick over a tall window creates.
  // With `editText` the reading window is a standard edit control holding it.
  void Start(const RECT& readerRect, std::optional<std::string> ini = std::nullopt,
             const wchar_t* editText = nullptr);
  // Closes whatever a test that stopped half-way left open (the exit command
  // waits for the modal runs of menus and dialogs), then expects a clean exit.
  void TearDown() override;

  // The tray menu's 开启遮挡, by its command.
  void SwitchOn() const;
  // Shown, and placed over the reading window (cut to the screen): the mask
  // appears first and moves into place within the same tick.
  bool WaitShown(int timeoutMs = 3000) const;
  bool WaitHidden(int timeoutMs = 3000) const;
  // WaitShown, then a moment before the test presses a key the mask holds:
  // under Wine a key pressed in the first moments after the mask appears is
  // now and then lost before it reaches any hotkey (seen on a loaded
  // machine: no WM_HOTKEY arrives at all, though the combination is held).
  bool WaitShownForKeys() const;
  RECT MaskRect() const;
  // Where the mask belongs: over the reading window as the window system
  // placed it, cut to the screen.
  RECT ReaderAreaOnScreen() const;
  HWND LockLabel() const { return GetDlgItem(mask_, IDC_LOCK_LABEL); }
  // Waits until the region shows the band stored from `start` to `end`
  // (mask client coordinates, along the band's direction): the opening runs
  // from start + 5 up to end, seen across the middle of the mask.
  bool WaitBand(bool horizontal, int start, int end, int timeoutMs = 3000) const;

  // The rows of a horizontal band's opening across the middle of the mask,
  // from its first to past its last.
  std::pair<int, int> Opening() const;
  // The text caret of `window`'s thread lies in the band, its line in the
  // lower half of the opening, and the opening's edges fall between lines
  // (where it does not run past the mask).
  bool CaretLineInBand(HWND window) const;

  static void PointAt(POINT p) { MovePointer(p.x, p.y); }
  // PointAt during a drag on the mask: the mask has taken the move, echo included.
  void DragTo(POINT p) const { MovePointerSettled(mask_, p.x, p.y); }
  // Lets at least one tracking tick pass.
  static void OneTick() { Pause(700); }

  std::unique_ptr<TestWindow> reader_;
  std::unique_ptr<Softveil> app_;
  HWND mask_ = nullptr;
};
