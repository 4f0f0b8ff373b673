#include "dialogs/about_dlg_win32.h"

#include "common/language_win32.h"
#include "res/resource.h"

INT_PTR CAboutDlg::DoModal(HWND owner) { return RunModal(IDD_ABOUT, owner); }

INT_PTR CAboutDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(hwnd_, LOWORD(wp));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

BOOL CAboutDlg::OnInitDialog() {
  m_pLink = std::make_unique<CLinkLabel>();
  m_pLink->SetLinkText(LoadText(IDS_LINK_TEXT));
  m_pLink->SetLinkTarget(kHomePageUrl);
  // Without the link the dialog is still useful.
  m_pLink->CreateChild(GetDlgItem(hwnd_, IDC_LINK_PLACEHOLDER));
  return TRUE;  // the dialog manager focuses "确定"
}
