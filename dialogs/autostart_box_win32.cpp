#include "dialogs/autostart_box_win32.h"

#include "common/autostart_win32.h"
#include "common/dialog_base_win32.h"
#include "common/language_win32.h"
#include "res/resource.h"

namespace {

UINT ButtonState(CheckboxState state) {
  switch (state) {
    case CheckboxState::Checked:
      return BST_CHECKED;
    case CheckboxState::Indeterminate:
      return BST_INDETERMINATE;
    case CheckboxState::Unchecked:
      break;
  }
  return BST_UNCHECKED;
}

CheckboxState FromButtonState(UINT state) {
  if (state == BST_CHECKED) return CheckboxState::Checked;
  return state == BST_INDETERMINATE ? CheckboxState::Indeterminate : CheckboxState::Unchecked;
}

}  // namespace

void AutostartBox::Show(HWND dialog) {
  m_shown = ReadAutostartState();
  CheckDlgButton(dialog, m_id, ButtonState(CheckboxFor(m_shown)));
}

bool AutostartBox::OnCommand(HWND dialog, WORD id, WORD code) {
  if (id != m_id || code != BN_CLICKED) return false;
  // A three-state box cycles through the filled state; ours reaches it only
  // from the registry.
  const bool ticked = IsDlgButtonChecked(dialog, m_id) == BST_CHECKED;
  CheckDlgButton(dialog, m_id, ticked ? BST_UNCHECKED : BST_CHECKED);
  return true;
}

void AutostartBox::Apply(HWND dialog) const {
  const AutostartChange change = DecideAutostartChange(m_shown, FromButtonState(IsDlgButtonChecked(dialog, m_id)));
  if (!ApplyAutostartChange(change)) ShowAppMessage(dialog, LoadText(IDS_AUTOSTART_FAILED));
}
