// The settings dialog: band thickness, transparency, orientation, colour and
// the two hotkeys, written back into the settings record on OK.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

#include "common/dialog_base_win32.h"
#include "dialogs/color_swatch_win32.h"
#include "settings/mask_settings.h"
#include "settings/settings_form.h"

class CSettingsDlg : public DialogBase {
 public:
  // OK writes the new values into `settings` and saves them.
  // `editingKeys` is told true when the more-settings dialog opens and false
  // when it closes, so the reading keys can be let go meanwhile.
  explicit CSettingsDlg(MaskSettings& settings, std::function<void(bool)> editingKeys = {})
      : m_settings(settings), m_editingKeys(std::move(editingKeys)) {}

  // IDOK only after the record was written and saved (or the failed save was
  // reported to the user); IDCANCEL leaves the record untouched.
  INT_PTR DoModal(HWND owner);
  // Whether "更多…" opened the more-settings dialog and that saved the
  // record, whatever this dialog ends with.
  bool MoreSettingsSaved() const { return m_moreSaved; }
  // The reading keys changed the thickness while the dialog is open: the
  // height box follows, unless the reader has typed into it.
  void ShowHeight(int height);

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnWindowGone() override { m_pSwatch.reset(); }

 private:
  BOOL OnInitDialog();
  INT_PTR OnCommand(WORD id, WORD code);
  INT_PTR OnNotify(const NMHDR& header);
  INT_PTR OnCtlColor(UINT msg, WPARAM wp, LPARAM lp);
  void OnTransparencyReleased();
  // Whether a dialog is open over this one; it is brought to the front.
  bool DialogOverThisInFront() const;
  void OnColorButton();
  void OnMoreButton();
  void OnOK();

  void ShowForm(const SettingsForm& form);
  SettingsForm ReadForm() const;
  void CreateSwatch();

  COLORREF m_color = 0;  // the colour chosen in this opening, saved on OK
  GuideStyle m_style = GuideStyle::Mask;  // the style whose colour and opacity it shows
  MaskSettings& m_settings;
  std::unique_ptr<CColorSwatch> m_pSwatch;
  bool m_moreSaved = false;
  bool m_dialogOver = false;  // the colour chooser or more settings is open over this one
  std::function<void(bool)> m_editingKeys;
};
