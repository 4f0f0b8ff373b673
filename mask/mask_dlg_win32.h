// The mask: a layered, topmost, frameless popup filled with the colour of
// the style in force, whose window region is that style's guide over the
// target area (mask/guide_shape.h): in the mask style, the area minus the
// clear band.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/dialog_base_win32.h"
#include "common/handles_win32.h"
#include "mask/band.h"
#include "mask/band_keys.h"
#include "mask/guide_shape.h"
#include "mask/follow_win32.h"
#include "mask/mask_surface_win32.h"
#include "mask/monitors.h"
#include "mask/reading_hotkeys_win32.h"
#include "settings/mask_settings.h"

class CMaskDlg : public DialogBase {
 public:
  // The mask reads `settings` whenever it reshapes, repaints or shows. The
  // record is its owner's: a thickness the reading keys make (pixels at 96
  // DPI) goes to `thicknessChanged`, a call no other program can make.
  CMaskDlg(const MaskSettings& settings, std::function<void(int)> thicknessChanged);

  // Creates the window hidden from its template, owned by `owner`.
  bool Create(HWND owner);
  // Releases the mask's resources and destroys its window; harmless when
  // there is no window (never created, or already gone).
  void DestroyWindow();

  // The area to cover at the next WM_MASK_TRACK, already cut to its monitor,
  // and that monitor's DPI.
  void SetTargetArea(const TargetArea& area) {
    m_rcTarget = area.rect;
    m_nTargetDpi = area.dpi;
  }
  void SetHorizontalBand(int top, int bottom);
  void SetVerticalBand(int left, int right);

  // (Re)registers the mask hotkey from the settings. Returns false only when
  // the system refused the combination; without a window it does nothing.
  bool RegisterMaskHotkey();
  void UnregisterMaskHotkey();
  void SwitchMaskOn();
  // The settings dialog was confirmed: the band height follows the settings,
  // and a new style, colour and opacity show at once rather than at the
  // next show.
  void ApplySettings();
  // The style key asks `choose` to make the next style the one in force
  // (the settings record is the controller's), then shows it.
  void SetStyleChooser(std::function<void(GuideStyle)> choose) { m_chooseStyle = std::move(choose); }
  // `switched` is called after the mask was switched on or off, whoever
  // asked, and after its window is gone.
  void SetSwitchWatcher(std::function<void()> switched) { m_switched = std::move(switched); }
  // Whether `hwnd` is one of the mask's windows that take the pointer: the
  // mask, or the handle beside a thin guide.
  bool IsGuideWindow(HWND hwnd) const { return hwnd && (hwnd == hwnd_ || m_surface.IsGrabHandle(hwnd)); }

  // The reading keys are held exactly while the mask is shown. Release lets
  // them go now (before other hotkeys are registered anew); Sync takes them
  // again, as the settings now say, if the mask is shown.
  void ReleaseReadingKeys();
  void SyncReadingKeys();
  // While the keys are being set in the more-settings dialog they are let
  // go, so that they can be typed into its boxes, shown mask or not.
  void PauseReadingKeys(bool paused);

  // Shows the time since start if it changed since it was last shown, while
  // the mask is shown. The tracking tick calls it: the clock needs no wakeup
  // of its own, and is right the moment the mask shows.
  void UpdateClock();

  // The thickness windows are measured against and the band is dragged and
  // placed with, in 96-DPI pixels: 100 until the window exists, then the
  // settings' height.
  int BandHeight() const { return m_nBandHeight; }

 private:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnWindowGone() override;
  void OnInitDialog();
  void KeepSizeAcrossDpiChanges();
  void OnShowWindow();
  void OnPaint();
  void OnMaskTrack(HWND under);
  void FollowTargetDpi();
  bool PlaceOverTarget(bool force);
  // A change of the mask's place among the windows becomes one right below
  // softveil's own windows on top.
  void KeepBelowOwnWindows(WINDOWPOS& pos) const;
  // The window the mask belongs right below: the lowest of softveil's own
  // windows shown on top (its dialogs and messages, which the reader must
  // reach), or HWND_TOPMOST, over every window, when none is shown.
  HWND OwnWindowsAbove() const;
  // Whether the first window shown above the mask is `below` (nothing shown
  // above it, for HWND_TOPMOST).
  bool DirectlyBelow(HWND below) const;
  void ShowLockLabel();
  void OnLButtonDown(LPARAM lp);
  void OnMouseMove(WPARAM wp, LPARAM lp);
  void OnDragTimer();
  void DragTo(POINT at);
  void EndDrag();
  void OnRButtonUp(LPARAM lp);
  void OnCommand(WPARAM wp, LPARAM lp);
  void OnHotkey(WPARAM wp);
  void OnReadingKey(BandKey key);
  void SetMaskOff(int off);
  void OnStyleKey();
  // The style in force shown: its opacity, shape and colour.
  void Restyle();
  // The band follows the pointer or the caret (settings/follow.h): at a
  // tick, when the first is seen or the mode has just changed, and as they move.
  void FollowOnTick();
  void FollowPointer(POINT at);
  void FollowCaret(const RECT& caret);
  void ApplyBand(const Band& band);
  void PlaceClockLabel();
  // The band's thickness in pixels on the monitor the mask is shown on.
  int ShownBandHeight() const;
  void PositionBand();
  // The guide of the style in force over the band of the orientation in force.
  void ShowGuide();
  std::vector<Rect> ShownLabels() const;
  Rect ClientRect() const;

  const MaskSettings& m_settings;
  std::function<void(int)> m_thicknessChanged;
  std::function<void()> m_switched;
  int m_nBandHeight = 100;
  Rect m_rcTarget;
  int m_nTargetDpi = kBaseDpi;
  // The DPI the mask was last shown at: the stored bands are physical pixels
  // at this DPI, and dragging scales the band height for it.
  int m_nShownDpi = kBaseDpi;
  // Each orientation keeps its own band, so switching the orientation and
  // back finds the band where it was; a start of 0 means not placed yet.
  Band m_horizontalBand;
  Band m_verticalBand;
  bool m_bDragging = false;  // the band follows the pointer
  GuideGrab m_grab;          // where a carried guide was taken
  GuideShape m_shape;        // the guide as last shown
  std::function<void(GuideStyle)> m_chooseStyle;

  MaskSurface m_surface;
  ReadingHotkeys m_readingKeys;
  FollowSources m_follow;
  HWND m_lockLabel = nullptr;
  HWND m_clockLabel = nullptr;
  std::optional<std::int64_t> m_clockShown;  // the seconds the clock shows
  std::wstring m_clockPattern;  // the clock's text with %1 h, %2 min, %3 s
};
