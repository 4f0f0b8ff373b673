// The mask: a layered, topmost, frameless popup filled with the mask colour
// whose window region is the target area minus the clear band.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/dialog_base_win32.h"
#include "common/handles_win32.h"
#include "mask/band.h"
#include "mask/band_keys.h"
#include "mask/follow_win32.h"
#include "mask/mask_surface_win32.h"
#include "mask/monitors.h"
#include "mask/reading_hotkeys_win32.h"
#include "settings/mask_settings.h"

class CMaskDlg : public DialogBase {
 public:
  // The mask reads `settings` whenever it reshapes, repaints or shows.
  explicit CMaskDlg(const MaskSettings& settings);

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
  // and a new colour and opacity show at once rather than at the next show.
  void ApplySettings();

  // The reading keys are held exactly while the mask is shown. Release lets
  // them go now (before other hotkeys are registered anew); Sync takes them
  // again, as the settings now say, if the mask is shown.
  void ReleaseReadingKeys();
  void SyncReadingKeys();
  // While the keys are being set in the more-settings dialog they are let
  // go, so that they can be typed into its boxes, shown mask or not.
  void PauseReadingKeys(bool paused);

  // The thickness windows are measured against and the band is dragged and
  // placed with, in 96-DPI pixels: 100 until the window exists, then the
  // settings' height.
  int BandHeight() const { return m_nBandHeight; }

 private:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnInitDialog();
  void KeepSizeAcrossDpiChanges();
  void OnShowWindow();
  void OnPaint();
  void OnMaskTrack(HWND under);
  void FollowTargetDpi();
  bool PlaceOverTarget(bool force);
  bool NothingAbove() const;
  void ShowLockLabel();
  void OnMouseMove(LPARAM lp);
  void OnRButtonUp(LPARAM lp);
  void OnCommand(WPARAM wp, LPARAM lp);
  void OnHotkey(WPARAM wp);
  void OnReadingKey(BandKey key);
  void OnClockTimer();
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
  Rect ClientRect() const;

  const MaskSettings& m_settings;
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

  MaskSurface m_surface;
  ReadingHotkeys m_readingKeys;
  FollowSources m_follow;
  HWND m_lockLabel = nullptr;
  HWND m_clockLabel = nullptr;
  std::wstring m_clockPattern;  // the clock's text with %1 h, %2 min, %3 s
};
