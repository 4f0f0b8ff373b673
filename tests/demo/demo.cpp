// A short demo for a headless machine: a text window, softveil's mask over
// it, a dragged band, lock mode, the bar, the underline and the tint, the
// two dialogs and the more-settings dialog, and the band following the caret
// in Notepad, each saved as a screenshot.
// Usage: demo.exe <softveil.exe> <screenshot folder> [monitors]
// softveil and the text window speak the language of the locale the demo
// runs in; the dialogs are found by their controls, whatever their captions.
// With "monitors", on a desktop of two monitors: the mask over a text window
// on the second one, beside another on the primary.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/harness.h"

namespace {

std::wstring g_folder;

// Saves the whole desktop, every monitor, as a 24-bit BMP.
void Screenshot(const wchar_t* name) {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, x, y, SRCCOPY);
  SelectObject(mem, old);
  const DWORD stride = ((w * 3 + 3) / 4) * 4, size = stride * h;
  BITMAPFILEHEADER fh = {0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0, 0,
                         static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
  const std::wstring path = g_folder + L"\\" + name + L".bmp";
  if (FILE* f = _wfopen(path.c_str(), L"wb")) {
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
    fwrite(bits, size, 1, f);
    fclose(f);
  }
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  wprintf(L"saved %ls\n", path.c_str());
}

constexpr char kDemoIni[] = "[settings]\r\ncolor=4210752\r\ntransparence=180\r\n";

// Switches the mask on and lets it settle over the window under the pointer.
HWND ShowMask(const Softveil& app) {
  HWND mask = app.WaitForMask();
  app.Command(ID_MENU_MASK_ON);
  WaitUntil([&] { return mask && IsWindowVisible(mask); }, 3000);
  Pause(1500);
  return mask;
}

int TwoMonitors() {
  RECT second = {};
  for (const RECT& r : MonitorRects()) {
    if (r.left != 0 || r.top != 0) second = r;  // the primary starts at (0, 0)
  }
  if (second.right <= second.left) {
    fwprintf(stderr, L"demo: there is no second monitor\n");
    return 1;
  }
  const int w = ScreenWidth(), h = ScreenHeight();
  TestWindow onPrimary(RECT{w / 8, h / 10, w * 7 / 8, h * 9 / 10}, L"primary");
  const RECT there = {second.left + 60, second.top + 40, second.right - 60, second.bottom - 40};
  TestWindow reader(there, L"reading");
  reader.Move(there);
  MovePointer(reader.Center().x, reader.Center().y);
  Softveil app(kDemoIni);
  if (!app.controller()) return 1;
  ShowMask(app);
  Screenshot(L"6-two-monitors");
  return app.Exit() == 0u ? 0 : 1;
}

// softveil following the caret in Wine's own Notepad, 25 lines into a text.
bool CaretOverNotepad() {
  TempDir dir;
  std::string text;
  for (int n = 1; n <= 200; ++n) text += "Line " + std::to_string(n) + ": the band keeps the caret's line in view.\r\n";
  WriteBytes(dir.path() / "book.txt", text);
  Softveil app(std::string(kDemoIni) + "follow=caret\r\n");
  wchar_t notepad[MAX_PATH] = {};
  ExpandEnvironmentStringsW(L"%SystemRoot%\\notepad.exe", notepad, MAX_PATH);
  ProgramWindow editor(notepad, (dir.path() / "book.txt").wstring(), RECT{160, 80, 1120, 720});
  MovePointer(640, 400);
  ShowMask(app);
  TapKey(VK_DOWN, 25);
  Pause(1000);
  Screenshot(L"8-caret-notepad");
  return app.Exit() == 0u;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: demo.exe <softveil.exe> <folder>\n");
    return 2;
  }
  const std::wstring exe = argv[1];
  g_folder = argv[2];
  SetEnvironmentVariableW(L"SOFTVEIL_EXE", exe.c_str());
  _wputenv_s(L"SOFTVEIL_EXE", exe.c_str());
  if (argc > 3 && std::wstring(argv[3]) == L"monitors") return TwoMonitors();

  const int w = ScreenWidth(), h = ScreenHeight();
  TestWindow reader(RECT{w / 8, h / 10, w * 7 / 8, h * 9 / 10}, L"reading");
  MovePointer(w / 2, h / 2);
  Softveil app(kDemoIni);
  if (!app.controller()) return 1;
  HWND mask = ShowMask(app);
  Screenshot(L"1-mask-horizontal");

  // Press above the band and move up: its top edge follows the pointer.
  const RECT area = reader.Rect();
  const int height = area.bottom - area.top;
  MovePointer(w / 2, area.top + height / 5);
  ClickLeft(true);
  for (int y = area.top + height / 5; y >= area.top + height / 20; y -= 10) MovePointer(w / 2, y);
  ClickLeft(false);
  Pause(600);
  Screenshot(L"2-band-dragged");

  PressKeys({VK_CONTROL, VK_MENU, 'L'});  // lock: the label shows
  Pause(1200);
  Screenshot(L"3-locked");
  PressKeys({VK_CONTROL, VK_MENU, 'L'});

  // The other reading guides in turn, with the style key, and the mask again.
  for (const wchar_t* shot : {L"8-bar", L"9-underline", L"10-tint"}) {
    PressKeys({VK_CONTROL, VK_MENU, 'S'});
    Pause(1200);
    Screenshot(shot);
  }
  PressKeys({VK_CONTROL, VK_MENU, 'S'});
  Pause(600);

  // The mask off again, so the dialogs are seen on their own.
  PressKeys({VK_CONTROL, VK_MENU, 'O'});
  WaitUntil([&] { return !IsWindowVisible(mask); }, 3000);
  const struct {
    Dialog dialog;
    const wchar_t* shot;
  } dialogs[] = {{Dialog::Settings, L"4-settings"}, {Dialog::About, L"5-about"}};
  for (const auto& d : dialogs) {
    HWND dlg = app.OpenDialog(d.dialog);
    Pause(800);
    Screenshot(d.shot);
    if (dlg && d.dialog == Dialog::Settings) {
      // Its "更多…" opens the more-settings dialog over it.
      if (HWND more = OpenMoreSettings(app, dlg)) {
        Pause(800);
        Screenshot(L"7-more-settings");
        PostMessageW(more, WM_COMMAND, IDCANCEL, 0);
        WaitGone(more);
      }
    }
    if (dlg) PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    WaitGone(dlg);
  }

  return app.Exit() == 0u && CaretOverNotepad() ? 0 : 1;
}
