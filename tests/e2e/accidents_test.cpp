// What an everyday slip must not do: Enter, Esc and Alt+F4 wherever the
// invisible controller or the mask holds the foreground, messages that close
// the mask, and the two hotkeys swapped in the settings dialog.
#include "tests/e2e/harness.h"

#include <gtest/gtest.h>

namespace {

bool StillWorking(const Softveil& app) { return app.Running() && TrayIconPresent(app.controller()); }

void PressAltF4() { PressKeys({VK_MENU, VK_F4}); }

TEST(AccidentalExit, EscAndEnterAfterTheTrayMenuCloses) {
  Softveil app;
  ASSERT_TRUE(app.controller());
  ASSERT_TRUE(app.OpenTrayMenu());
  TapKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([] { return FindPopupMenu() == nullptr; }));
  // The menu left the controller in the foreground: these keys reach it.
  EXPECT_EQ(GetForegroundWindow(), app.controller());
  TapKey(VK_ESCAPE);
  TapKey(VK_RETURN);
  PressAltF4();
  Pause(500);
  EXPECT_TRUE(StillWorking(app));
  EXPECT_EQ(app.Exit(), 0u);
}

TEST(AccidentalExit, EscAndEnterAfterTheDialogsClose) {
  Softveil app;
  ASSERT_TRUE(app.controller());
  HWND about = app.OpenDialog(ID_MENU_AUTHOR, kAboutCaption);
  ASSERT_TRUE(about);
  SetForegroundWindow(about);
  TapKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  TapKey(VK_ESCAPE);
  TapKey(VK_RETURN);
  Pause(500);
  EXPECT_TRUE(StillWorking(app));

  HWND settings = app.OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(settings);
  SetForegroundWindow(settings);
  TapKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
  EXPECT_TRUE(ReadBytes(app.IniPath()).has_value()) << "Enter confirmed the settings";
  TapKey(VK_RETURN);
  PressAltF4();
  Pause(500);
  EXPECT_TRUE(StillWorking(app));
  EXPECT_EQ(app.Exit(), 0u);
}

TEST(AccidentalExit, ClosingTheMaskOnlyHidesItUntilTheNextTick) {
  TestWindow reader(RECT{200, 100, 1000, 900});
  MovePointer(600, 500);
  Softveil app;
  HWND mask = app.WaitForMask();
  ASSERT_TRUE(mask);
  app.Command(ID_MENU_MASK_ON);
  const auto backOverTheReader = [&] {
    return WaitUntil([&] {
      RECT rc;
      GetWindowRect(mask, &rc);
      return IsWindowVisible(mask) && rc.left == 200 && rc.top == 100 && rc.right == 1000 && rc.bottom == 900;
    }, 3000);
  };
  ASSERT_TRUE(backOverTheReader());

  // A click on the masked area (above the band) makes the mask active.
  MovePointer(600, 150);
  ClickLeft(true);
  ClickLeft(false);
  PressAltF4();
  Pause(300);
  EXPECT_TRUE(StillWorking(app));
  EXPECT_TRUE(backOverTheReader());

  for (const auto& [msg, wp] : {std::pair<UINT, WPARAM>{WM_CLOSE, 0}, {WM_COMMAND, IDOK}, {WM_COMMAND, IDCANCEL}}) {
    SCOPED_TRACE(testing::Message() << "message " << msg << ", wParam " << wp);
    PostMessageW(mask, msg, wp, 0);
    Pause(300);
    EXPECT_TRUE(StillWorking(app));
    EXPECT_TRUE(backOverTheReader());
  }
  EXPECT_EQ(app.Exit(), 0u);
}

// Sets the two key boxes of the open settings dialog and presses OK.
void ConfirmHotkeyLetters(HWND settings, const wchar_t* maskKey, const wchar_t* lockKey) {
  SetItemText(settings, IDC_MASK_KEY, maskKey);
  SetItemText(settings, IDC_LOCK_KEY, lockKey);
  PostMessageW(settings, WM_COMMAND, IDOK, 0);
}

TEST(HotkeySwap, BothCombinationsAreHeldAndDoTheirNewJobs) {
  TestWindow reader(RECT{200, 100, 1000, 900});
  MovePointer(600, 500);
  Softveil app;
  HWND mask = app.WaitForMask();
  ASSERT_TRUE(mask);
  HWND settings = app.OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(settings);
  ConfirmHotkeyLetters(settings, L"L", L"O");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
  Pause(500);
  EXPECT_EQ(app.FindMessageBox(), nullptr) << "softveil held both combinations itself";
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'L'));
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'O'));

  PressKeys({VK_CONTROL, VK_MENU, 'L'});  // now the mask hotkey
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(mask); }, 3000));
  HWND lockLabel = GetDlgItem(mask, IDC_LOCK_LABEL);
  EXPECT_FALSE(IsWindowVisible(lockLabel));
  PressKeys({VK_CONTROL, VK_MENU, 'O'});  // now the lock hotkey
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(lockLabel); }, 3000));
  EXPECT_EQ(app.Exit(), 0u);
}

TEST(HotkeySwap, RefusalConfirmedBeforeTheMaskExistsIsReportedWhenItIsCreated) {
  // Under the pointer only a window too short for a band: no mask yet.
  TestWindow shortWindow(RECT{0, 0, 400, 60}, L"toolbar");
  MovePointer(200, 30);
  // Another program holds Ctrl+Alt+Q.
  constexpr int kOtherId = 0x2001;
  ASSERT_TRUE(RegisterHotKey(nullptr, kOtherId, MOD_CONTROL | MOD_ALT, 'Q'));
  Softveil app;
  ASSERT_TRUE(app.controller());
  HWND settings = app.OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(settings);
  ConfirmHotkeyLetters(settings, L"Q", L"L");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
  Pause(1200);
  EXPECT_EQ(app.FindMask(), nullptr);
  EXPECT_EQ(app.FindMessageBox(), nullptr) << "nothing to say before the mask exists";

  TestWindow reader(RECT{200, 100, 1000, 900});
  MovePointer(600, 500);
  ASSERT_TRUE(app.WaitForMask());
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = app.FindMessageBox()) != nullptr; }, 3000));
  EXPECT_NE(MessageBoxText(box).find(L"Ctrl+Alt+Q"), std::wstring::npos) << testing::PrintToString(MessageBoxText(box));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  UnregisterHotKey(nullptr, kOtherId);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(app.Exit(), 0u);
}

}  // namespace
