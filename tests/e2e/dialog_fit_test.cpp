// Every text of softveil's windows fits its control, in both languages. Each
// template is taken from softveil.exe (loaded as data, in each language) and
// created here, hidden; each text is measured in its control's own font.
#include "tests/e2e/harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/format_text.h"
#include "common/language_win32.h"

namespace {

struct Language {
  const char* name;
  LANGID id;
};
const Language kLanguages[] = {{"Chinese", LanguageId(UiLanguage::Chinese)},
                               {"English", LanguageId(UiLanguage::English)}};

// The windows a user sees; the controller never shows.
const int kTemplates[] = {IDD_SETTINGS, IDD_MORE_SETTINGS, IDD_ABOUT, IDD_MASK};

INT_PTR CALLBACK Quiet(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

std::wstring TextOf(HWND hwnd) {
  wchar_t text[2048] = {};
  GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
  return text;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

RECT ClientOf(HWND hwnd) {
  RECT rc = {};
  GetClientRect(hwnd, &rc);
  return rc;
}

bool Shown(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// The size `text` takes in `font`: on one line, or wrapped at `wrapWidth`.
SIZE TextSize(HWND window, HFONT font, const std::wstring& text, UINT flags, int wrapWidth = 0) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  RECT rc = {0, 0, wrapWidth, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, flags | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

int Scaled(HWND window, int pixelsAt96) { return MulDiv(pixelsAt96, GetDpiForWindow(window), 96); }

// What a control lacks to show its whole text; empty when it fits.
std::string Overflow(HWND control) {
  const std::wstring text = TextOf(control);
  if (text.empty()) return {};
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  const RECT room = ClientOf(control);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  wchar_t className[64] = {};
  GetClassNameW(control, className, static_cast<int>(std::size(className)));
  const std::wstring kind = className;
  int width = room.right, height = room.bottom;
  SIZE need = {};
  if (kind == L"Static") {
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return {};
    const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    need = TextSize(control, font, text, DT_WORDBREAK | DT_EXPANDTABS | prefix, width);
  } else if (kind == L"Button") {
    if (style & (BS_ICON | BS_BITMAP)) return {};
    const LONG type = style & BS_TYPEMASK;
    need = TextSize(control, font, text, DT_SINGLELINE);
    switch (type) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        width -= 2 * Scaled(control, 4);  // the button's edges and focus rectangle
        break;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE:
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        width -= Scaled(control, 13 + 3);  // the box and the gap after it
        break;
      case BS_GROUPBOX:
        width -= 2 * Scaled(control, 8);  // the frame runs on left and right of the caption
        height = need.cy;                 // the caption sits on the frame's top edge
        break;
      default:
        return {};
    }
  } else {
    return {};
  }
  if (need.cx <= width && need.cy <= height) return {};
  return "\"" + Narrow(text) + "\" needs " + std::to_string(need.cx) + " x " + std::to_string(need.cy) +
         " px, has " + std::to_string(width) + " x " + std::to_string(height);
}

class DialogFit : public testing::Test {
 protected:
  void SetUp() override {
    // The settings template holds a trackbar, the more-settings one hotkey boxes.
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    module_ = LoadLibraryExW(SoftveilExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module_) << "cannot load softveil.exe as data";
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  HWND Create(const Language& language, int id) const {
    const DLGTEMPLATE* dialog = FindDialogTemplateIn(module_, language.id, id);
    return dialog ? CreateDialogIndirectParamW(module_, dialog, nullptr, Quiet, 0) : nullptr;
  }

  HMODULE module_ = nullptr;
};

TEST_F(DialogFit, EveryTextFitsItsControlInsideTheWindow) {
  for (const Language& language : kLanguages) {
    for (int id : kTemplates) {
      SCOPED_TRACE(std::string(language.name) + " template " + std::to_string(id));
      HWND dialog = Create(language, id);
      ASSERT_TRUE(dialog);
      const RECT client = ClientOf(dialog);
      int measured = 0;
      for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!Shown(child)) continue;
        RECT rc;
        GetWindowRect(child, &rc);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
        const std::string what = "control " + std::to_string(GetDlgCtrlID(child)) + " at " + Describe(rc);
        RECT inside;
        IntersectRect(&inside, &rc, &client);
        EXPECT_TRUE(EqualRect(&inside, &rc)) << what << " reaches out of the window " << Describe(client);
        const std::string overflow = Overflow(child);
        EXPECT_EQ(overflow, "") << what;
        if (!TextOf(child).empty()) ++measured;
      }
      EXPECT_GT(measured, 0);
      DestroyWindow(dialog);
    }
  }
}

// `text` on one line in `font` fits inside `place`'s client area.
void ExpectLineFits(HWND place, HFONT font, const std::wstring& text) {
  const SIZE size = TextSize(place, font, text, DT_SINGLELINE);
  EXPECT_LE(size.cx, ClientOf(place).right) << Narrow(text);
  EXPECT_LE(size.cy, ClientOf(place).bottom) << Narrow(text);
}

TEST_F(DialogFit, TextsSetAtRunTimeFitTheirPlaces) {
  for (const Language& language : kLanguages) {
    SCOPED_TRACE(language.name);
    // The link draws its text in the system font over the about dialog's
    // hidden placeholder.
    HWND about = Create(language, IDD_ABOUT);
    ASSERT_TRUE(about);
    HWND place = GetDlgItem(about, IDC_LINK_PLACEHOLDER);
    const std::wstring link = LoadTextFrom(module_, language.id, IDS_LINK_TEXT);
    ASSERT_FALSE(link.empty());
    ExpectLineFits(place, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), link);
    DestroyWindow(about);

    // The clock, up to 99 hours, in the mask's clock label.
    HWND mask = Create(language, IDD_MASK);
    ASSERT_TRUE(mask);
    HWND clock = GetDlgItem(mask, IDC_CLOCK_LABEL);
    const std::wstring text = FormatText(LoadTextFrom(module_, language.id, IDS_CLOCK), {L"99", L"59", L"59"});
    ExpectLineFits(clock, reinterpret_cast<HFONT>(SendMessageW(clock, WM_GETFONT, 0, 0)), text);
    DestroyWindow(mask);

    // The language drop-down's entries, beside its arrow button.
    HWND more = Create(language, IDD_MORE_SETTINGS);
    ASSERT_TRUE(more);
    HWND box = GetDlgItem(more, IDC_LANGUAGE);
    ASSERT_TRUE(box);
    const HFONT boxFont = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    const int room = ClientOf(box).right - GetSystemMetrics(SM_CXVSCROLL) - 2 * Scaled(box, 3);
    for (UINT id : {IDS_LANGUAGE_AUTO, IDS_LANGUAGE_CHINESE, IDS_LANGUAGE_ENGLISH}) {
      const std::wstring name = LoadTextFrom(module_, language.id, id);
      ASSERT_FALSE(name.empty());
      EXPECT_LE(TextSize(box, boxFont, name, DT_SINGLELINE).cx, room) << Narrow(name);
    }
    DestroyWindow(more);
  }
}

}  // namespace
