// Start-up, the single instance, the tray and exiting.
#include "tests/e2e/harness.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>

namespace {

TEST(Startup, ControllerIsHiddenWithoutTaskbarButtonAndLeavesNoIni) {
  Softveil app;
  ASSERT_TRUE(app.controller());
  Pause(800);  // past the first tracking tick
  EXPECT_FALSE(IsWindowVisible(app.controller()));
  const LONG ex = GetWindowLongW(app.controller(), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(ex & WS_EX_APPWINDOW);
  EXPECT_TRUE(TrayIconPresent(app.controller()));
  const auto tips = TrayTooltips();
  EXPECT_NE(std::find(tips.begin(), tips.end(), L"softveil__quorvane"), tips.end()) << testing::PrintToString(tips);
  EXPECT_EQ(app.Exit(), 0u);
  EXPECT_FALSE(std::filesystem::exists(app.IniPath()));
}

TEST(Startup, SecondCopyIsRefusedAndTheFirstKeepsRunning) {
  Softveil first;
  ASSERT_TRUE(first.controller());
  TempDir otherDir;
  Softveil second(otherDir.path(), Softveil::Start::NoWait);
  ASSERT_TRUE(second.process());

  // Any box of the second copy; that it carries the program's title is checked.
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    auto found = WindowsOfProcess(second.pid(), [](HWND h) {
      return IsWindowVisible(h) && GetDlgItem(h, 0xFFFF) != nullptr;
    });
    box = found.empty() ? nullptr : found.front();
    return box != nullptr;
  }));
  EXPECT_EQ(MessageBoxText(box), L"已经有一个程序在运行！");
  EXPECT_EQ(WindowText(box), kAppTitle);
  EXPECT_TRUE(
      WindowsOfProcess(second.pid(), [](HWND h) { return GetDlgItem(h, IDC_CONTROL_EDIT) != nullptr; }).empty());
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  const std::optional<DWORD> code = second.WaitExit(5000);
  ASSERT_TRUE(code) << "the second copy does not end";
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(std::filesystem::exists(otherDir.path() / "softveil.ini"));

  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(TrayIconPresent(first.controller()));
  EXPECT_EQ(first.Exit(), 0u);
}

TEST(Startup, StartsAgainAfterAnExitAndAfterBeingKilled) {
  {
    Softveil app;
    ASSERT_TRUE(app.controller());
    EXPECT_EQ(app.Exit(), 0u);
  }
  {
    Softveil app;
    ASSERT_TRUE(app.controller());
    TerminateProcess(app.process(), 1);
    app.WaitExit();
  }
  Softveil again;
  ASSERT_TRUE(again.controller());
  EXPECT_EQ(again.Exit(), 0u);
}

TEST(Exit, CloseFromTheTrayMenuRemovesTheIconAndExitsWithZero) {
  Softveil app;
  HWND controller = app.controller();
  ASSERT_TRUE(controller);
  ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(controller); }));
  ASSERT_TRUE(app.OpenTrayMenu());
  PickMenuItem(4);  // 开启遮挡, 帮助, 设置, 关闭: separators are skipped
  EXPECT_EQ(app.WaitExit(), 0u);
  EXPECT_FALSE(TrayIconPresent(controller));
}

TEST(Exit, WmCloseFromAnotherProgramExitsWithZero) {
  Softveil app;
  ASSERT_TRUE(app.controller());
  PostMessageW(app.controller(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app.WaitExit(), 0u);
  EXPECT_FALSE(std::filesystem::exists(app.IniPath()));
}

TEST(Tray, LeftClicksAndOtherIconsOpenNothing) {
  Softveil app;
  ASSERT_TRUE(app.controller());
  for (LPARAM mouse : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_RBUTTONDOWN}) {
    PostMessageW(app.controller(), WM_TRAY_NOTIFY, kTrayIconId, mouse);
  }
  PostMessageW(app.controller(), WM_TRAY_NOTIFY, kTrayIconId + 1, WM_RBUTTONUP);
  Pause(500);
  EXPECT_EQ(FindPopupMenu(), nullptr);
  EXPECT_EQ(app.Exit(), 0u);
}

TEST(Tray, RightClickMenuHasTheFourItemsInOrder) {
  // The menu's items cannot be read from another process, so each item is
  // picked by position and recognised by what it does.
  Softveil app;
  ASSERT_TRUE(app.controller());
  // Second item: 帮助 opens the about dialog; third: 设置 the settings dialog.
  for (const auto& [item, caption] : {std::pair{2, kAboutCaption}, std::pair{3, kSettingsCaption}}) {
    SCOPED_TRACE(item);
    ASSERT_TRUE(app.OpenTrayMenu());
    PickMenuItem(item);
    HWND dlg = app.WaitForDialog(caption);
    ASSERT_TRUE(dlg);
    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitGone(dlg));
  }
  // Escape closes the menu without a command; the program keeps running.
  ASSERT_TRUE(app.OpenTrayMenu());
  TapKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([] { return FindPopupMenu() == nullptr; }));
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(app.Exit(), 0u);
}

TEST(Hotkeys, LockHotkeyFromTheIniIsHeldWhileRunningAndFreedAtExit) {
  Softveil app("[settings]\r\nhotkey_lock_open=SHIFT|ALT|K\r\n");
  ASSERT_TRUE(app.controller());
  EXPECT_FALSE(HotkeyIsFree(MOD_SHIFT | MOD_ALT, 'K'));
  EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'L'));  // the default is not taken
  EXPECT_EQ(app.Exit(), 0u);
  EXPECT_TRUE(HotkeyIsFree(MOD_SHIFT | MOD_ALT, 'K'));
}

TEST(Exit, CloseWhileTheSettingsDialogIsOpenEndsEverything) {
  Softveil app;
  ASSERT_TRUE(app.controller());
  ASSERT_TRUE(app.OpenDialog(ID_MENU_SETTINGS, kSettingsCaption));
  app.Command(ID_MENU_CLOSE);
  EXPECT_EQ(app.WaitExit(), 0u);
  EXPECT_FALSE(std::filesystem::exists(app.IniPath()));
}

}  // namespace
