// The "更多设置" (more settings) dialog: the reading keys and their lengths,
// the guide's style, the language and starting with Windows. OK writes them into the settings
// record and saves it.
#pragma once
#include <windows.h>

#include "common/dialog_base_win32.h"
#include "dialogs/autostart_box_win32.h"
#include "res/resource.h"
#include "settings/mask_settings.h"
#include "settings/more_settings_form.h"

class CMoreSettingsDlg : public DialogBase {
 public:
  explicit CMoreSettingsDlg(MaskSettings& settings) : m_settings(settings) {}

  // IDOK once the record was written and saved (or the failed save was
  // told); IDCANCEL leaves the record and the autostart entry untouched.
  INT_PTR DoModal(HWND owner);

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  BOOL OnInitDialog();
  INT_PTR OnCommand(WORD id, WORD code);
  void OnOK();

  void ShowForm(const MoreSettingsForm& form);
  MoreSettingsForm ReadForm() const;

  MaskSettings& m_settings;
  MoreSettingsForm m_shown;  // the form as the dialog opened
  AutostartBox m_autostart{IDC_AUTOSTART};
};
