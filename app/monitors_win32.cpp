#include "app/monitors_win32.h"

#include <windows.h>

namespace {

// GetDpiForMonitor lives in shcore.dll from Windows 8.1 on; looked up at run
// time so that softveil still starts on older systems.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

GetDpiForMonitorFn DpiForMonitorFunction() {
  static const GetDpiForMonitorFn function = [] {
    HMODULE shcore = LoadLibraryW(L"shcore.dll");  // kept for the life of the process
    return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  return function;
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

std::vector<Monitor> ReadMonitors() {
  struct Gathered {
    std::vector<Monitor> monitors;
    GetDpiForMonitorFn dpiFor;
    int systemDpi;
  } gathered{{}, DpiForMonitorFunction(), SystemDpi()};
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR handle, HDC, LPRECT, LPARAM lp) -> BOOL {
        auto* g = reinterpret_cast<Gathered*>(lp);
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoW(handle, &info)) return TRUE;
        UINT dpiX = 0, dpiY = 0;
        const bool ownDpi = g->dpiFor && SUCCEEDED(g->dpiFor(handle, kEffectiveDpi, &dpiX, &dpiY)) && dpiY > 0;
        const RECT& r = info.rcMonitor;
        g->monitors.push_back({{r.left, r.top, r.right, r.bottom}, ownDpi ? static_cast<int>(dpiY) : g->systemDpi});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&gathered));
  return gathered.monitors;
}
