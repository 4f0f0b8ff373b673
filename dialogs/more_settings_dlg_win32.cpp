#include "dialogs/more_settings_dlg_win32.h"

#include <commctrl.h>

#include <string>
#include <variant>

#include "common/language_win32.h"
#include "common/settings_file_win32.h"
#include "res/resource.h"
#include "settings/ascii_text.h"
#include "settings/key_combo.h"

namespace {

// The hotkey controls, in the order of kReadingKeys.
constexpr int kKeyIds[] = {IDC_KEY_NEXT, IDC_KEY_PREVIOUS, IDC_KEY_THICKER, IDC_KEY_THINNER, IDC_KEY_STYLE};
static_assert(std::size(kKeyIds) == std::size(kReadingKeys));

// Five digits hold every length up to kMaxReadingLength.
constexpr int kLengthDigits = 5;

}  // namespace

INT_PTR CMoreSettingsDlg::DoModal(HWND owner) { return RunModal(IDD_MORE_SETTINGS, owner); }

INT_PTR CMoreSettingsDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(LOWORD(wp), HIWORD(wp));
    default:
      return FALSE;
  }
}

BOOL CMoreSettingsDlg::OnInitDialog() {
  for (int id : kKeyIds) {
    // A key alone, or with Shift alone, would be taken from every program
    // while the mask shows: the control adds Ctrl+Alt to such a choice.
    SendDlgItemMessageW(hwnd_, id, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
  }
  for (int id : {IDC_STEP, IDC_OVERLAP, IDC_FINE_STEP, IDC_THICKNESS_STEP}) {
    SendDlgItemMessageW(hwnd_, id, EM_LIMITTEXT, kLengthDigits, 0);
  }
  // The languages by their names, in the order of LanguageChoiceIndex.
  for (UINT name : {IDS_LANGUAGE_AUTO, IDS_LANGUAGE_CHINESE, IDS_LANGUAGE_ENGLISH}) {
    SendDlgItemMessageW(hwnd_, IDC_LANGUAGE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(name).c_str()));
  }
  // The styles by their names, in the order of kGuideStyles.
  for (UINT name : {IDS_STYLE_MASK, IDS_STYLE_BAR, IDS_STYLE_UNDERLINE, IDS_STYLE_TINT}) {
    SendDlgItemMessageW(hwnd_, IDC_STYLE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(name).c_str()));
  }
  // In the order of FollowMode.
  for (UINT name : {IDS_FOLLOW_DRAG, IDS_FOLLOW_POINTER, IDS_FOLLOW_CARET}) {
    SendDlgItemMessageW(hwnd_, IDC_FOLLOW, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(name).c_str()));
  }
  SendDlgItemMessageW(hwnd_, IDC_POINTER_OFFSET, EM_LIMITTEXT, kLengthDigits, 0);
  SendDlgItemMessageW(hwnd_, IDC_EXCLUDE, EM_LIMITTEXT, kSettingsListSize - 1, 0);
  m_shown = MoreFormFromSettings(m_settings);
  ShowForm(m_shown);
  m_autostart.Show(hwnd_);
  return TRUE;  // the dialog manager sets the first focus
}

void CMoreSettingsDlg::ShowForm(const MoreSettingsForm& form) {
  for (std::size_t i = 0; i < std::size(kKeyIds); ++i) {
    SendDlgItemMessageW(hwnd_, kKeyIds[i], HKM_SETHOTKEY, HotkeyControlValue(form.combos[i]), 0);
  }
  SetDlgItemTextW(hwnd_, IDC_STEP, Widen(form.stepText).c_str());
  SetDlgItemTextW(hwnd_, IDC_OVERLAP, Widen(form.overlapText).c_str());
  SetDlgItemTextW(hwnd_, IDC_FINE_STEP, Widen(form.fineStepText).c_str());
  SetDlgItemTextW(hwnd_, IDC_THICKNESS_STEP, Widen(form.thicknessStepText).c_str());
  SendDlgItemMessageW(hwnd_, IDC_LANGUAGE, CB_SETCURSEL, form.languageChoice, 0);
  SendDlgItemMessageW(hwnd_, IDC_STYLE, CB_SETCURSEL, form.styleChoice, 0);
  SendDlgItemMessageW(hwnd_, IDC_FOLLOW, CB_SETCURSEL, form.followChoice, 0);
  SetDlgItemTextW(hwnd_, IDC_POINTER_OFFSET, Widen(form.pointerOffsetText).c_str());
  SetDlgItemTextW(hwnd_, IDC_EXCLUDE, FromAnsi(form.excludeText).c_str());
}

MoreSettingsForm CMoreSettingsDlg::ReadForm() const {
  const auto text = [this](int id) {
    wchar_t buffer[kLengthDigits + 16] = {};
    GetDlgItemTextW(hwnd_, id, buffer, static_cast<int>(std::size(buffer)));
    return NarrowToAscii(buffer);
  };
  MoreSettingsForm form;
  for (std::size_t i = 0; i < std::size(kKeyIds); ++i) {
    const LRESULT value = SendDlgItemMessageW(hwnd_, kKeyIds[i], HKM_GETHOTKEY, 0, 0);
    form.combos[i] = HotkeySpecFromControl(static_cast<std::uint16_t>(value));
  }
  form.stepText = text(IDC_STEP);
  form.overlapText = text(IDC_OVERLAP);
  form.fineStepText = text(IDC_FINE_STEP);
  form.thicknessStepText = text(IDC_THICKNESS_STEP);
  form.languageChoice = static_cast<int>(SendDlgItemMessageW(hwnd_, IDC_LANGUAGE, CB_GETCURSEL, 0, 0));
  form.styleChoice = static_cast<int>(SendDlgItemMessageW(hwnd_, IDC_STYLE, CB_GETCURSEL, 0, 0));
  form.followChoice = static_cast<int>(SendDlgItemMessageW(hwnd_, IDC_FOLLOW, CB_GETCURSEL, 0, 0));
  form.pointerOffsetText = text(IDC_POINTER_OFFSET);
  std::wstring programs(GetWindowTextLengthW(GetDlgItem(hwnd_, IDC_EXCLUDE)) + 1, L'\0');
  programs.resize(GetDlgItemTextW(hwnd_, IDC_EXCLUDE, programs.data(), static_cast<int>(programs.size())));
  form.excludeText = ToAnsi(programs);
  return form;
}

INT_PTR CMoreSettingsDlg::OnCommand(WORD id, WORD code) {
  if (m_autostart.OnCommand(hwnd_, id, code)) return TRUE;
  switch (id) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:  // the button, Esc and the close box
      EndDialog(hwnd_, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

void CMoreSettingsDlg::OnOK() {
  const auto result = SettingsFromMoreForm(ReadForm(), m_shown, m_settings);
  if (const auto* unnamed = std::get_if<UnnamedKey>(&result)) {
    ShowAppMessage(hwnd_, FormatResourceText(IDS_UNUSABLE_KEY, {Widen(KeyComboDisplayName(unnamed->combo))}));
    return;
  }
  const MaskSettings& updated = std::get<MaskSettings>(result);
  // Checked before the record is touched, as the settings dialog does: a
  // refused OK followed by Cancel leaves the record as it was.
  if (FindSharedCombination(updated)) {
    ShowAppMessage(hwnd_, LoadText(IDS_DUPLICATE_HOTKEYS));
    return;
  }
  m_settings = updated;
  SaveSettingsOrSay(hwnd_, m_settings);
  m_autostart.Apply(hwnd_);
  EndDialog(hwnd_, IDOK);
}
