// Entry point: a single instance guarded by a named mutex, then the hidden
// controller's modal run for the whole life of the program.
#include <windows.h>
#include <commctrl.h>

#include <ctime>

#include "app/control_dlg_win32.h"
#include "common/globals.h"
#include "common/handles_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  UniqueKernelHandle mutex(CreateMutexW(nullptr, TRUE, L"softveil.exe"));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    ReleaseMutex(mutex.get());  // not ours; changes nothing
    ShowAppMessage(nullptr, L"已经有一个程序在运行！");
    return 0;
  }
  // The reading clock counts from here, after the single-instance check.
  g_tStart = static_cast<std::int64_t>(std::time(nullptr));

  // The settings dialog's trackbar needs the bar classes registered first.
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  {
    CControlDlg controller;
    controller.DoModal();
  }
  if (mutex) ReleaseMutex(mutex.get());
  return 0;
}
