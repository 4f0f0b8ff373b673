// The mask: a layered, topmost, frameless popup filled with the mask colour
// whose window region is the target area minus the clear band.
#pragma once
#include <windows.h>

#include "common/dialog_base_win32.h"
#include "common/handles_win32.h"
#include "mask/band.h"
#include "settings/mask_settings.h"

class CMaskDlg : public DialogBase {
 public:
  CMaskDlg();

  // Creates the window hidden from its template, owned by `owner`.
  bool Create(HWND owner);
  // Releases the mask's resources and destroys its window; harmless when
  // there is no window (never created, or already gone).
  void DestroyWindow();

  // Clamps to the primary screen of the given size (the caller has it at hand).
  void SetTargetArea(int left, int top, int right, int bottom, int screenW, int screenH);
  void SetHorizontalBand(int top, int bottom);
  void SetVerticalBand(int left, int right);

  // (Re)registers the mask hotkey from the settings. Returns false only when
  // the system refused the combination; without a window it does nothing.
  bool RegisterMaskHotkey();
  void SwitchMaskOn();
  // Applies the settings' opacity and colour at once (after the settings
  // dialog is confirmed), instead of at the next show or repaint.
  void RefreshAppearance();

  MaskSettings* m_pSettings = nullptr;
  int m_nBandHeight = 100;
  Rect m_rcTarget;

 private:
  using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnInitDialog();
  void OnShowWindow();
  void OnPaint();
  void OnMaskTrack();
  void OnMouseMove(LPARAM lp);
  void OnRButtonUp(LPARAM lp);
  void OnCommand(WPARAM wp, LPARAM lp);
  void OnHotkey(WPARAM wp);
  void OnClockTimer();
  void PlaceLabels();
  void PositionBand();
  void ApplyRegion(const Rect& client, const std::optional<Rect>& hole);
  Rect ClientRect() const;

  UniqueModule m_hUser32;
  SetLayeredFn m_pfnSetLayeredWindowAttributes = nullptr;
  UniqueMenu m_menu;
  HWND m_lockLabel = nullptr;
  HWND m_clockLabel = nullptr;
  // The rectangles of the region last handed to the system, so that a tick
  // that changes nothing neither rebuilds the region nor repaints the mask.
  struct AppliedRegion {
    Rect client;
    std::optional<Rect> hole;
  };
  std::optional<AppliedRegion> m_appliedRegion;
};
