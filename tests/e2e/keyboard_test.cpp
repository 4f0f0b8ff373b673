// Reading with the keyboard: the reading keys step the band through the
// window and change its thickness, held only while the mask is shown; a key
// another program holds is told once.
#include "tests/e2e/reader_test.h"

namespace {

// A reading window of 800 x 800 at (200, 100); a band of 200 is centred at
// 300..500 in either orientation, the step is 200 - 200 / 8 = 175 and the
// fine step 20.
constexpr RECT kReader{200, 100, 1000, 900};

constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;

class KeyboardReading : public ReaderTest {
 protected:
  void StartShown(std::optional<std::string> ini = std::nullopt) {
    Start(kReader, std::move(ini));
    SwitchOn();
    ASSERT_TRUE(WaitShownForKeys());
  }

  static void Ctrl_Alt(WORD key) { PressKeys({VK_CONTROL, VK_MENU, key}); }
  static void Ctrl_Alt_Shift(WORD key) { PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, key}); }
  // Every combination the default reading keys of a horizontal band use.
  static bool DefaultKeysFree() {
    return HotkeyIsFree(kCtrlAlt, VK_DOWN) && HotkeyIsFree(kCtrlAlt, VK_UP) &&
           HotkeyIsFree(kCtrlAlt | MOD_SHIFT, VK_DOWN) && HotkeyIsFree(kCtrlAlt | MOD_SHIFT, VK_UP) &&
           HotkeyIsFree(kCtrlAlt, VK_NEXT) && HotkeyIsFree(kCtrlAlt, VK_PRIOR);
  }
  static bool DefaultKeysHeld() {
    return !HotkeyIsFree(kCtrlAlt, VK_DOWN) && !HotkeyIsFree(kCtrlAlt, VK_UP) &&
           !HotkeyIsFree(kCtrlAlt | MOD_SHIFT, VK_DOWN) && !HotkeyIsFree(kCtrlAlt | MOD_SHIFT, VK_UP) &&
           !HotkeyIsFree(kCtrlAlt, VK_NEXT) && !HotkeyIsFree(kCtrlAlt, VK_PRIOR);
  }
};

TEST_F(KeyboardReading, NextAndPreviousStepTheBandAndStopAtTheEdges) {
  StartShown();
  ASSERT_TRUE(WaitBand(true, 300, 500));
  Ctrl_Alt(VK_DOWN);
  EXPECT_TRUE(WaitBand(true, 475, 675)) << "a step is the band less an eighth of it";
  Ctrl_Alt_Shift(VK_DOWN);
  EXPECT_TRUE(WaitBand(true, 495, 695)) << "the fine step";
  Ctrl_Alt(VK_DOWN);
  EXPECT_TRUE(WaitBand(true, 600, 800)) << "stops at the bottom edge";
  Ctrl_Alt(VK_DOWN);
  OneTick();
  EXPECT_TRUE(WaitBand(true, 600, 800, 0)) << "and stays there, tick after tick";
  Ctrl_Alt_Shift(VK_UP);
  EXPECT_TRUE(WaitBand(true, 580, 780));
  for (int top : {405, 230, 55}) {
    Ctrl_Alt(VK_UP);
    EXPECT_TRUE(WaitBand(true, top, top + 200));
  }
  Ctrl_Alt(VK_UP);
  EXPECT_TRUE(WaitBand(true, 1, 201)) << "stops at the top, where a drag stops";
  Ctrl_Alt(VK_UP);
  OneTick();
  EXPECT_TRUE(WaitBand(true, 1, 201, 0));
  EXPECT_FALSE(std::filesystem::exists(app_->IniPath())) << "moving the band saves nothing";
}

TEST_F(KeyboardReading, AVerticalBandStepsWithRightAndLeft) {
  StartShown("[settings]\r\nhorizontal=0\r\n");
  ASSERT_TRUE(WaitBand(false, 300, 500));
  EXPECT_TRUE(HotkeyIsFree(kCtrlAlt, VK_DOWN)) << "Down is not a vertical band's key";
  EXPECT_FALSE(HotkeyIsFree(kCtrlAlt, VK_RIGHT));
  Ctrl_Alt(VK_RIGHT);
  EXPECT_TRUE(WaitBand(false, 475, 675));
  Ctrl_Alt_Shift(VK_RIGHT);
  EXPECT_TRUE(WaitBand(false, 495, 695));
  Ctrl_Alt(VK_RIGHT);
  EXPECT_TRUE(WaitBand(false, 600, 800)) << "stops at the right edge";
  Ctrl_Alt(VK_LEFT);
  EXPECT_TRUE(WaitBand(false, 425, 625));
  Ctrl_Alt_Shift(VK_LEFT);
  EXPECT_TRUE(WaitBand(false, 405, 605));
  Ctrl_Alt(VK_PRIOR);
  EXPECT_TRUE(WaitBand(false, 405, 595)) << "thinner across a vertical band";
}

TEST_F(KeyboardReading, ThickerAndThinnerChangeTheOpeningAndTheSavedHeight) {
  constexpr char kIni[] = "[settings]\r\ntransparence=180\r\n[notes]\r\nkeep=1\r\n";
  StartShown(kIni);
  ASSERT_TRUE(WaitBand(true, 300, 500));
  // A held key repeats: its run is saved once, when it is let go.
  HoldKeys({VK_CONTROL, VK_MENU, VK_NEXT}, true);
  EXPECT_TRUE(WaitBand(true, 300, 510));
  Pause(1000);
  EXPECT_EQ(ReadBytes(app_->IniPath()), kIni) << "saved while the key is held";
  HoldKeys({VK_CONTROL, VK_MENU, VK_NEXT}, false);
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(app_->IniPath()).value_or("").find("height=210") != std::string::npos; }));
  // Saved as a confirmed setting is: the file's own keys stay where they are.
  EXPECT_EQ(ReadBytes(app_->IniPath()),
            "[settings]\r\ntransparence=180\r\nheight=210\r\nhorizontal=1\r\n"
            "hotkey_mask_open=CTRL|ALT|O\r\nhotkey_lock_open=CTRL|ALT|L\r\ncolor=0\r\n[notes]\r\nkeep=1\r\n");
  Ctrl_Alt(VK_PRIOR);
  EXPECT_TRUE(WaitBand(true, 300, 500));
  Ctrl_Alt(VK_PRIOR);
  EXPECT_TRUE(WaitBand(true, 300, 490));
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(app_->IniPath()).value_or("").find("height=190") != std::string::npos; }));
  OneTick();
  EXPECT_TRUE(WaitBand(true, 300, 490, 0)) << "the next tick keeps the new thickness";

  // The new thickness is the setting from now on: a step moves by 190 - 23,
  // and the settings dialog shows it.
  Ctrl_Alt(VK_DOWN);
  EXPECT_TRUE(WaitBand(true, 467, 657));
  HWND dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  EXPECT_EQ(ItemText(dlg, IDC_HEIGHT), L"190");
  // Made thicker while the dialog is open: it shows that, and OK keeps it.
  Ctrl_Alt(VK_NEXT);
  EXPECT_TRUE(WaitUntil([&] { return ItemText(dlg, IDC_HEIGHT) == L"200"; }));
  PressButton(dlg, IDOK);
  ASSERT_TRUE(WaitGone(dlg));
  EXPECT_NE(ReadBytes(app_->IniPath()).value_or("").find("height=200"), std::string::npos);
}

TEST_F(KeyboardReading, KeysAreHeldOnlyWhileTheMaskIsShown) {
  Start(kReader);
  OneTick();
  EXPECT_TRUE(DefaultKeysFree()) << "the mask is not switched on yet";
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  EXPECT_TRUE(DefaultKeysHeld());

  // Switched off: another program may have the keys.
  Ctrl_Alt('O');
  ASSERT_TRUE(WaitHidden());
  EXPECT_TRUE(WaitUntil(DefaultKeysFree, 1000));
  // Not held, so a press reaches the window being read and the band stays.
  Ctrl_Alt(VK_DOWN);
  Ctrl_Alt('O');
  ASSERT_TRUE(WaitShownForKeys());
  EXPECT_TRUE(DefaultKeysHeld());
  EXPECT_TRUE(WaitBand(true, 300, 500));

  // Lock mode with the pointer over another window hides the mask too.
  Ctrl_Alt('L');
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(LockLabel()) != FALSE; }));
  TestWindow other(RECT{1100, 150, 1700, 950}, L"other");
  PointAt(other.Center());
  ASSERT_TRUE(WaitHidden());
  EXPECT_TRUE(WaitUntil(DefaultKeysFree, 1000));
  PointAt(reader_->Center());
  ASSERT_TRUE(WaitShownForKeys());
  EXPECT_TRUE(DefaultKeysHeld());
  Ctrl_Alt(VK_DOWN);
  EXPECT_TRUE(WaitBand(true, 475, 675));
}

TEST_F(KeyboardReading, AKeyAnotherProgramHoldsIsToldOnceAndTheOthersWork) {
  Start(kReader);
  // This test program holds Ctrl+Alt+Down before softveil shows the mask.
  constexpr int kOurs = 0x2F00;
  ASSERT_TRUE(RegisterHotKey(nullptr, kOurs, kCtrlAlt, VK_DOWN));
  SwitchOn();
  ASSERT_TRUE(WaitShownForKeys());
  HWND box = app_->WaitForDialog(kAppTitle);
  ASSERT_TRUE(box) << "the refusal is told";
  const std::wstring text = MessageBoxText(box);
  EXPECT_NE(text.find(L"Ctrl+Alt+Down"), std::wstring::npos) << testing::PrintToString(text);
  EXPECT_EQ(text.find(L"Up"), std::wstring::npos) << "only the key refused: " << testing::PrintToString(text);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(box));

  // The other keys work, the fine step with Down included.
  Ctrl_Alt(VK_UP);
  EXPECT_TRUE(WaitBand(true, 125, 325));
  Ctrl_Alt_Shift(VK_DOWN);
  EXPECT_TRUE(WaitBand(true, 145, 345));

  // Shown again, still refused: not told a second time.
  Ctrl_Alt('O');
  ASSERT_TRUE(WaitHidden());
  Ctrl_Alt('O');
  ASSERT_TRUE(WaitShown());
  Pause(1500);
  EXPECT_EQ(app_->FindMessageBox(), nullptr);

  // Once we let it go, the next show takes it.
  UnregisterHotKey(nullptr, kOurs);
  Ctrl_Alt('O');
  ASSERT_TRUE(WaitHidden());
  Ctrl_Alt('O');
  ASSERT_TRUE(WaitShownForKeys());
  EXPECT_FALSE(HotkeyIsFree(kCtrlAlt, VK_DOWN));
  Ctrl_Alt(VK_DOWN);
  EXPECT_TRUE(WaitBand(true, 320, 520));
  EXPECT_EQ(app_->FindMessageBox(), nullptr);
}

TEST_F(KeyboardReading, AFileHeldByAnotherProgramAtStartIsToldReadWhenFreeAndKept) {
  std::string ini = "[settings]\r\nheight=150\r\nhorizontal=1\r\ntransparence=120\r\nhotkey_mask_open=ALT|M\r\n"
                    "hotkey_lock_open=CTRL|ALT|L\r\ncolor=255\r\nstep=100\r\n[notes]\r\nkeep=1\r\n";
  TempDir work;
  const std::filesystem::path file = work.path() / "softveil.ini";
  WriteBytes(file, ini);
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  reader_ = std::make_unique<TestWindow>(kReader);
  PointAt(reader_->Center());
  app_ = std::make_unique<Softveil>(work.path(), Softveil::Start::Ready);
  HWND box = app_->WaitForDialog(kAppTitle);
  CloseHandle(held);
  ASSERT_TRUE(box && MessageBoxText(box).starts_with(L"无法读取设置文件 " + file.wstring())) << "told, naming the file";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  mask_ = app_->WaitForMask();
  // Read as the mask is switched on, in force at once, and every key kept.
  SwitchOn();
  ASSERT_TRUE(WaitShownForKeys());
  Ctrl_Alt(VK_NEXT);
  ini.replace(ini.find("150"), 3, "160");
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(file) == ini; })) << ReadBytes(file).value_or("");
}

TEST_F(KeyboardReading, AThicknessThatCannotBeSavedIsToldOnceAndHoldsForTheRun) {
  // The settings file in a folder that does not exist.
  TempDir work, home;
  const std::filesystem::path file = home.path() / L"不存在" / L"softveil.ini";
  reader_ = std::make_unique<TestWindow>(kReader);
  PointAt(reader_->Center());
  app_ = std::make_unique<Softveil>(work.path(), SoftveilCommand(L"--settings \"" + file.wstring() + L"\""));
  ASSERT_TRUE(app_->controller());
  mask_ = app_->WaitForMask();
  ASSERT_TRUE(mask_);
  SwitchOn();
  ASSERT_TRUE(WaitShownForKeys());
  ASSERT_TRUE(WaitBand(true, 300, 500));

  Ctrl_Alt(VK_NEXT);
  EXPECT_TRUE(WaitBand(true, 300, 510)) << "thicker all the same";
  HWND box = app_->WaitForDialog(kAppTitle);
  ASSERT_TRUE(box) << "the failed save is told";
  const std::wstring text = MessageBoxText(box);
  EXPECT_TRUE(text.starts_with(L"无法保存设置文件 " + file.wstring())) << testing::PrintToString(text);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(box));

  // Each press tries again, but tells it no more.
  Ctrl_Alt(VK_NEXT);
  EXPECT_TRUE(WaitBand(true, 300, 520));
  Pause(1000);
  EXPECT_EQ(app_->FindMessageBox(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(file.parent_path()));
  EXPECT_TRUE(std::filesystem::is_empty(work.path())) << "nothing written anywhere else";

  HWND dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  EXPECT_EQ(ItemText(dlg, IDC_HEIGHT), L"220") << "the thickness holds for the run";
  PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitGone(dlg));
}

}  // namespace
