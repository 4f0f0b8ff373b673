#include "dialogs/settings_dlg_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <array>
#include <string>

#include "common/language_win32.h"
#include "common/settings_file_win32.h"
#include "dialogs/more_settings_dlg_win32.h"
#include "res/resource.h"
#include "settings/ascii_text.h"
#include "settings/reading_keys.h"

namespace {

struct HotkeyRowIds {
  int alt;
  int ctrl;
  int shift;
  int key;
};
constexpr HotkeyRowIds kMaskRowIds{IDC_MASK_ALT, IDC_MASK_CTRL, IDC_MASK_SHIFT, IDC_MASK_KEY};
constexpr HotkeyRowIds kLockRowIds{IDC_LOCK_ALT, IDC_LOCK_CTRL, IDC_LOCK_SHIFT, IDC_LOCK_KEY};

// The record's text fields hold 49 characters; longer input is cut there.
constexpr int kMaxTextChars = static_cast<int>(kSettingsTextSize) - 1;

// The colour chooser's DLL is loaded when the chooser is first asked for:
// linked in, it would load at start with the printing support it brings
// (under Wine about 0.8 MB of private memory) for a dialog most runs never
// open. Once loaded it stays, as a linked DLL would.
BOOL ChooseColorFromSystem(CHOOSECOLORW* chooser) {
  static const auto choose = [] {
    HMODULE dll = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC proc = dll ? GetProcAddress(dll, "ChooseColorW") : nullptr;
    return reinterpret_cast<decltype(&ChooseColorW)>(reinterpret_cast<void*>(proc));
  }();
  return choose && choose(chooser);
}

// A box the record does not tick keeps the template's unticked state.
void ShowHotkeyRow(HWND dialog, const HotkeyRow& row, const HotkeyRowIds& ids) {
  if (row.alt) CheckDlgButton(dialog, ids.alt, BST_CHECKED);
  if (row.ctrl) CheckDlgButton(dialog, ids.ctrl, BST_CHECKED);
  if (row.shift) CheckDlgButton(dialog, ids.shift, BST_CHECKED);
  SetDlgItemTextW(dialog, ids.key, Widen(row.key).c_str());
}

// One set of custom colours for the whole run, white at first, so colours
// mixed in one opening of the chooser are offered again in the next.
COLORREF* CustomColors() {
  static std::array<COLORREF, 16> colors = [] {
    std::array<COLORREF, 16> white;
    white.fill(RGB(255, 255, 255));
    return white;
  }();
  return colors.data();
}

}  // namespace

INT_PTR CSettingsDlg::DoModal(HWND owner) { return RunModal(IDD_SETTINGS, owner); }

INT_PTR CSettingsDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(LOWORD(wp), HIWORD(wp));
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return OnCtlColor(msg, wp, lp);
    default:
      return FALSE;
  }
}

BOOL CSettingsDlg::OnInitDialog() {
  ShowForm(FormFromSettings(m_settings));
  CreateSwatch();
  return TRUE;  // the dialog manager sets the first focus
}

void CSettingsDlg::ShowForm(const SettingsForm& form) {
  // Set the range quietly and draw once, at the position.
  SendDlgItemMessageW(hwnd_, IDC_TRANSPARENCY, TBM_SETRANGEMIN, FALSE, kTransparencyMin);
  SendDlgItemMessageW(hwnd_, IDC_TRANSPARENCY, TBM_SETRANGEMAX, FALSE, kTransparencyMax);
  SendDlgItemMessageW(hwnd_, IDC_TRANSPARENCY, TBM_SETPOS, TRUE, form.trackbarPos);
  // The label shows the stored number even where the trackbar had to clamp it.
  SetDlgItemTextW(hwnd_, IDC_TRANSPARENCY_LABEL, Widen(form.transparencyLabel).c_str());
  SetDlgItemTextW(hwnd_, IDC_HEIGHT, Widen(form.heightText).c_str());

  ShowHotkeyRow(hwnd_, form.maskRow, kMaskRowIds);
  ShowHotkeyRow(hwnd_, form.lockRow, kLockRowIds);
  CheckDlgButton(hwnd_, form.horizontal ? IDC_HORIZONTAL : IDC_VERTICAL, BST_CHECKED);

  const HWND colorButton = GetDlgItem(hwnd_, IDC_COLOR_BUTTON);
  SendMessageW(colorButton, BM_SETSTYLE, WS_CHILD | WS_VISIBLE | BS_ICON, TRUE);
  SendMessageW(colorButton, BM_SETIMAGE, IMAGE_ICON,
               reinterpret_cast<LPARAM>(LoadIconW(AppInstance(), MAKEINTRESOURCEW(IDI_COLORS))));

  m_color = form.color;
  m_style = form.style;
}

void CSettingsDlg::ShowHeight(int height) {
  // Setting the text clears the box's modified flag; typing sets it.
  if (!hwnd_ || SendDlgItemMessageW(hwnd_, IDC_HEIGHT, EM_GETMODIFY, 0, 0)) return;
  SetDlgItemTextW(hwnd_, IDC_HEIGHT, std::to_wstring(height).c_str());
}

void CSettingsDlg::CreateSwatch() {
  m_pSwatch = std::make_unique<CColorSwatch>();
  m_pSwatch->m_crFill = m_color;
  // Without the swatch the dialog still works.
  m_pSwatch->CreateChild(GetDlgItem(hwnd_, IDC_SWATCH_PLACEHOLDER));
}

INT_PTR CSettingsDlg::OnCommand(WORD id, WORD code) {
  switch (id) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:  // Esc and the close box
      EndDialog(hwnd_, IDCANCEL);
      return TRUE;
    case IDC_CANCEL_BUTTON:
      if (code != BN_CLICKED) return FALSE;
      EndDialog(hwnd_, IDCANCEL);
      return TRUE;
    case IDC_COLOR_BUTTON:
      if (code != BN_CLICKED) return FALSE;
      OnColorButton();
      return TRUE;
    case IDC_MORE_BUTTON:
      if (code != BN_CLICKED) return FALSE;
      OnMoreButton();
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CSettingsDlg::OnNotify(const NMHDR& header) {
  const bool released = header.code == static_cast<UINT>(NM_RELEASEDCAPTURE);
  if (header.idFrom != IDC_TRANSPARENCY || !released) return FALSE;
  OnTransparencyReleased();
  return TRUE;
}

void CSettingsDlg::OnTransparencyReleased() {
  // Only a mouse release updates the label; keyboard moves show at the next one.
  const LRESULT pos = SendDlgItemMessageW(hwnd_, IDC_TRANSPARENCY, TBM_GETPOS, 0, 0);
  SetDlgItemTextW(hwnd_, IDC_TRANSPARENCY_LABEL, std::to_wstring(static_cast<int>(pos)).c_str());
}

bool CSettingsDlg::DialogOverThisInFront() const {
  // This dialog is disabled behind the colour chooser or the more-settings
  // dialog, but its buttons can still be pressed from outside: a second
  // press brings the open one to the front rather than another over it.
  if (!m_dialogOver) return false;
  BringToFront();
  return true;
}

void CSettingsDlg::OnColorButton() {
  if (DialogOverThisInFront()) return;
  CHOOSECOLORW chooser{};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = hwnd_;
  chooser.lpCustColors = CustomColors();
  m_dialogOver = true;
  const BOOL chosen = ChooseColorFromSystem(&chooser);
  m_dialogOver = false;
  if (!chosen) return;
  m_color = chooser.rgbResult;
  if (m_pSwatch) m_pSwatch->SetColor(m_color);
}

void CSettingsDlg::OnMoreButton() {
  // The more-settings dialog saves what it holds on its own OK; what is
  // edited here waits for this dialog's OK.
  if (DialogOverThisInFront()) return;
  CMoreSettingsDlg more(m_settings);
  m_dialogOver = true;
  if (m_editingKeys) m_editingKeys(true);
  if (more.DoModal(hwnd_) == IDOK) m_moreSaved = true;
  m_dialogOver = false;
  // Taken again as they are now, the new ones at once.
  if (m_editingKeys) m_editingKeys(false);
}

INT_PTR CSettingsDlg::OnCtlColor(UINT msg, WPARAM wp, LPARAM lp) {
  // The default handler picks the brush and colours the dialog would use;
  // we keep its brush and force black text.
  const LRESULT brush = DefWindowProcW(hwnd_, msg, wp, lp);
  const HDC dc = reinterpret_cast<HDC>(wp);
  SetTextColor(dc, RGB(0, 0, 0));
  // An edit box draws its text over the old text without erasing it, so a
  // transparent background would leave the deleted characters on screen;
  // edit boxes keep the opaque window-colour background the default set.
  if (msg != WM_CTLCOLOREDIT) SetBkMode(dc, TRANSPARENT);
  return static_cast<INT_PTR>(brush);
}

SettingsForm CSettingsDlg::ReadForm() const {
  const auto text = [this](int id, int maxChars) {
    std::wstring buffer(maxChars + 1, L'\0');
    buffer.resize(GetDlgItemTextW(hwnd_, id, buffer.data(), maxChars + 1));
    return NarrowToAscii(buffer);
  };
  const auto ticked = [this](int id) { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; };
  const auto row = [&](const HotkeyRowIds& ids) {
    // Only the first character of a key box counts.
    return HotkeyRow{ticked(ids.ctrl), ticked(ids.alt), ticked(ids.shift), text(ids.key, 1)};
  };

  SettingsForm form;
  form.heightText = text(IDC_HEIGHT, kMaxTextChars);
  form.trackbarPos =
      static_cast<int>(SendDlgItemMessageW(hwnd_, IDC_TRANSPARENCY, TBM_GETPOS, 0, 0));
  form.horizontal = IsDlgButtonChecked(hwnd_, IDC_HORIZONTAL) != 0;
  form.maskRow = row(kMaskRowIds);
  form.lockRow = row(kLockRowIds);
  form.color = m_color;  // saved as its signed decimal text
  form.style = m_style;
  return form;
}

void CSettingsDlg::OnOK() {
  MaskSettings updated = SettingsFromForm(ReadForm(), m_settings);
  // Checked before the record is touched, so a refused OK followed by
  // Cancel leaves the record exactly as it was.
  // The reading keys are held too while the mask shows: a hotkey on one of
  // them (or on next or previous of the orientation chosen now) is refused
  // the same way.
  if (updated.FindDuplicateHotkey() >= 0 || FindSharedCombination(updated)) {
    ShowAppMessage(hwnd_, LoadText(IDS_DUPLICATE_HOTKEYS));
    return;
  }
  m_settings = updated;
  SaveSettingsOrSay(hwnd_, m_settings);
  EndDialog(hwnd_, IDOK);
}
