// The settings dialog and the about dialog, driven from outside: what they
// show, what OK and Cancel leave behind, the colour chooser, the web link,
// and the rest of the program working on while either dialog is open.
#include "tests/e2e/reader_test.h"

#include <algorithm>

namespace {

namespace fs = std::filesystem;

// The colour chooser's red, green and blue boxes.
constexpr int kChooserRed = 706, kChooserGreen = 707, kChooserBlue = 708;

constexpr char kHomePage[] = "https://softveil.quorvane.org/";

// The reading window lies left of both centred dialogs, so the topmost mask
// over it never hides a control the tests look at or click. 520 x 800.
constexpr RECT kReaderRect{40, 100, 560, 900};
// A point on the masked area, above the centred horizontal band, in the
// mask's client coordinates.
constexpr POINT kMaskedPoint{100, 150};

void ExpectShows(HWND dlg, const SettingsView& expected) {
  EXPECT_EQ(SettingsDialogShowing(dlg, expected), expected);
}

// Editing the settings dialog as a user would.

void SetCheck(HWND dlg, int id, bool on) {
  SendDlgItemMessageW(dlg, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
void SetRow(HWND dlg, int ctrlId, int altId, int shiftId, int keyId, const HotkeyRowView& row) {
  SetCheck(dlg, ctrlId, row.ctrl);
  SetCheck(dlg, altId, row.alt);
  SetCheck(dlg, shiftId, row.shift);
  SetItemText(dlg, keyId, row.key.c_str());
}
void SetMaskRow(HWND dlg, const HotkeyRowView& row) {
  SetRow(dlg, IDC_MASK_CTRL, IDC_MASK_ALT, IDC_MASK_SHIFT, IDC_MASK_KEY, row);
}
void SetLockRow(HWND dlg, const HotkeyRowView& row) {
  SetRow(dlg, IDC_LOCK_CTRL, IDC_LOCK_ALT, IDC_LOCK_SHIFT, IDC_LOCK_KEY, row);
}
// Posted: OK may open a message box and the colour button a chooser, whose
// modal runs would hold a sent message until they end.
void Press(HWND dlg, int id) { PostMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }
bool Checked(HWND dlg, int id) { return SendDlgItemMessageW(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Points Wine's browser launcher at a shell script of ours that writes down
// each address it is asked to open; the previous setting is put back after.
class BrowserRecorder {
 public:
  BrowserRecorder() {
    const std::optional<std::string> dir = UnixPath(dir_.path());
    if (!dir) return;
    log_ = dir_.path() / "opened.txt";
    WriteBytes(dir_.path() / "browser.sh", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + *dir + "/opened.txt'\n");
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    wchar_t old[1024] = {};
    DWORD size = sizeof old - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key_, L"Browsers", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
      old_ = old;
    }
    // The launcher splits each entry like a command line and adds the address.
    const std::string command = "/bin/sh \"" + *dir + "/browser.sh\"";
    const std::wstring value(command.begin(), command.end());
    ready_ = RegSetValueExW(key_, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  ~BrowserRecorder() {
    if (!key_) return;
    if (old_) {
      RegSetValueExW(key_, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_->c_str()),
                     static_cast<DWORD>((old_->size() + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key_, L"Browsers");
    }
    RegCloseKey(key_);
  }
  BrowserRecorder(const BrowserRecorder&) = delete;
  BrowserRecorder& operator=(const BrowserRecorder&) = delete;

  bool ready() const { return ready_; }
  // One line per address opened so far.
  std::string Opened() const { return ReadBytes(log_).value_or(""); }

 private:
  TempDir dir_;
  fs::path log_;
  HKEY key_ = nullptr;
  std::optional<std::wstring> old_;
  bool ready_ = false;
};

class DialogsTest : public ReaderTest {
 protected:
  void Start(std::optional<std::string> ini = std::nullopt) { ReaderTest::Start(kReaderRect, std::move(ini)); }

  // Picks the n-th item of the tray menu.
  HWND OpenFromTray(int item, const wchar_t* caption) {
    if (!app_->OpenTrayMenu()) return nullptr;
    PickMenuItem(item);
    return app_->WaitForDialog(caption);
  }
  HWND WaitForMessageBox() { return app_->WaitForDialog(kAppTitle); }
  // OK applies the settings once the dialog is gone; the controller answers
  // again when it has (hotkeys registered, the mask repainted).
  bool WaitApplied(HWND settings) { return WaitGone(settings) && Answers(app_->controller()); }

  // Waits for the horizontal band stored from `top`: the mask is in place
  // with its opening from top + 5 (until then it is small and has no hole).
  bool WaitHorizontalBandAt(int top) {
    return WaitUntil([&] { return RegionContains(mask_, 100, top + 4) && !RegionContains(mask_, 100, top + 5); }, 3000);
  }
  COLORREF MaskColorAt(POINT client) const {
    const RECT rc = MaskRect();
    return ScreenPixel(rc.left + client.x, rc.top + client.y);
  }

  // What must keep working while a modal dialog runs: the tick shows the
  // mask the hotkey asked for, the lock hotkey shows its label, the tray
  // menu opens, and the mask hotkey hides the mask again.
  void ExpectProgramKeepsWorking() {
    ASSERT_FALSE(IsWindowVisible(mask_));
    PressKeys({VK_CONTROL, VK_MENU, 'O'});
    ASSERT_TRUE(WaitShown()) << "mask hotkey and tick while a dialog is open: the mask is not over the reading window";
    PressKeys({VK_CONTROL, VK_MENU, 'L'});
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(LockLabel()) != FALSE; }, 3000)) << "lock hotkey";
    PressKeys({VK_CONTROL, VK_MENU, 'L'});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(LockLabel()); }, 3000));
    EXPECT_TRUE(app_->OpenTrayMenu()) << "tray menu while a dialog is open";
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([] { return FindPopupMenu() == nullptr; }));
    PressKeys({VK_CONTROL, VK_MENU, 'O'});
    EXPECT_TRUE(WaitHidden());
  }
};

TEST_F(DialogsTest, SettingsFromTheTrayShowTheDefaultsWhileTheProgramKeepsWorking) {
  Start();
  HWND dlg = OpenFromTray(3, kSettingsCaption);
  ASSERT_TRUE(dlg);
  ExpectShows(dlg, DefaultSettingsView());
  // The swatch lies exactly over its hidden placeholder.
  RECT swatch = {}, place = {};
  GetWindowRect(Swatch(dlg), &swatch);
  GetWindowRect(GetDlgItem(dlg, IDC_SWATCH_PLACEHOLDER), &place);
  EXPECT_TRUE(EqualRect(&swatch, &place));
  EXPECT_GT(swatch.right - swatch.left, 0);
  EXPECT_TRUE(FollowsPlaceholder(Swatch(dlg), GetDlgItem(dlg, IDC_SWATCH_PLACEHOLDER)));
  for (int hidden : {IDC_MASK_CLOSE_CTRL, IDC_MASK_CLOSE_ALT, IDC_MASK_CLOSE_SHIFT, IDC_MASK_CLOSE_KEY,
                     IDC_LOCK_CLOSE_CTRL, IDC_LOCK_CLOSE_ALT, IDC_LOCK_CLOSE_SHIFT, IDC_LOCK_CLOSE_KEY,
                     IDC_SWATCH_PLACEHOLDER}) {
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, hidden))) << hidden;
  }

  ExpectProgramKeepsWorking();
  EXPECT_TRUE(IsWindowVisible(dlg));

  Press(dlg, IDC_CANCEL_BUTTON);
  ASSERT_TRUE(WaitGone(dlg));
  EXPECT_FALSE(fs::exists(app_->IniPath())) << "cancel saves nothing";
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'O'));
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'L'));
}

TEST_F(DialogsTest, SettingsShowAHandWrittenIniAndOkRewritesOnlyWhatChanged) {
  const std::string ini =
      "[settings]\r\ntransparence=300\r\nhorizontal=0\r\ncolor=255\r\nheight=150\r\n"
      "hotkey_mask_open=SHIFT|Q\r\nhotkey_lock_open=ALT|SHIFT|K\r\n[other]\r\nkeep=1\r\n";
  Start(ini);
  HWND dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  SettingsView expected;
  expected.height = L"150";
  expected.trackbarPos = 255;  // the trackbar clamps 300 to its range
  expected.trackbarMin = 10;
  expected.trackbarMax = 255;
  expected.transparencyLabel = L"300";  // the label shows the stored number
  expected.vertical = true;
  expected.maskRow = {false, false, true, L"Q"};
  expected.lockRow = {false, true, true, L"K"};
  expected.swatch = RGB(255, 0, 0);  // 255 is red in the low byte
  ExpectShows(dlg, expected);

  // OK unchanged: the trackbar's 255 replaces 300 in place; every other value
  // is written back as it was, so the file keeps its order and its other section.
  Press(dlg, IDOK);
  ASSERT_TRUE(WaitApplied(dlg));
  EXPECT_EQ(ReadBytes(app_->IniPath()),
            "[settings]\r\ntransparence=255\r\nhorizontal=0\r\ncolor=255\r\nheight=150\r\n"
            "hotkey_mask_open=SHIFT|Q\r\nhotkey_lock_open=ALT|SHIFT|K\r\n[other]\r\nkeep=1\r\n");
  EXPECT_FALSE(HotkeyIsFree(MOD_SHIFT, 'Q'));
  EXPECT_FALSE(HotkeyIsFree(MOD_ALT | MOD_SHIFT, 'K'));
}

TEST_F(DialogsTest, ConfirmedChangesAreSavedAndTakeEffectAtOnce) {
  Start();
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  // Centred horizontal band of 200 in 800: 300..500.
  EXPECT_TRUE(WaitHorizontalBandAt(300));

  HWND dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  SetItemText(dlg, IDC_HEIGHT, L"120");
  SendDlgItemMessageW(dlg, IDC_VERTICAL, BM_CLICK, 0, 0);
  SetMaskRow(dlg, {false, true, true, L"m"});  // lower case counts as the letter
  SetLockRow(dlg, {true, true, true, L"k"});
  EXPECT_FALSE(Checked(dlg, IDC_HORIZONTAL)) << "the radio buttons are one group";
  Press(dlg, IDOK);
  ASSERT_TRUE(WaitApplied(dlg));

  // A new file lists the keys in the order they are saved.
  EXPECT_EQ(ReadBytes(app_->IniPath()),
            "[settings]\r\nheight=120\r\nhorizontal=0\r\ntransparence=200\r\n"
            "hotkey_mask_open=ALT|SHIFT|M\r\nhotkey_lock_open=ALT|CTRL|SHIFT|K\r\ncolor=0\r\n");
  EXPECT_FALSE(HotkeyIsFree(MOD_ALT | MOD_SHIFT, 'M'));
  EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'O'));
  EXPECT_FALSE(HotkeyIsFree(MOD_ALT | MOD_CONTROL | MOD_SHIFT, 'K'));
  EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'L'));

  // The next tick shows the vertical band, centred with the new thickness in
  // 520: 260 - 60 = 200 to 60 + 260 = 320; the opening x 205..320, y 5..795.
  ASSERT_TRUE(WaitUntil([&] { return RegionContains(mask_, 100, 400) && !RegionContains(mask_, 205, 400); }, 3000));
  EXPECT_TRUE(RegionContains(mask_, 204, 400));
  EXPECT_FALSE(RegionContains(mask_, 319, 400));
  EXPECT_TRUE(RegionContains(mask_, 320, 400));
  EXPECT_TRUE(RegionContains(mask_, 260, 4));
  EXPECT_FALSE(RegionContains(mask_, 260, 5));
  EXPECT_TRUE(RegionContains(mask_, 260, 795));

  // The old mask hotkey does nothing any more; the new one toggles.
  PressKeys({VK_CONTROL, VK_MENU, 'O'});
  OneTick();
  EXPECT_TRUE(IsWindowVisible(mask_));
  PressKeys({VK_MENU, VK_SHIFT, 'M'});
  ASSERT_TRUE(WaitHidden());
  PressKeys({VK_MENU, VK_SHIFT, 'M'});
  ASSERT_TRUE(WaitShown());
  PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'K'});
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(LockLabel()) != FALSE; }, 3000));
  PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'K'});
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(LockLabel()); }, 3000));

  // Dragging uses the new thickness. Pressed left of the band (stored at 200):
  // at 150 the band starts there, 150..270; at 400, past its start, it ends
  // there, 280..400. Each move stays off the current opening.
  RECT rc;
  GetWindowRect(mask_, &rc);
  const int y = rc.top + 400;
  DragTo({rc.left + 100, y});
  ClickLeft(true);
  DragTo({rc.left + 150, y});
  EXPECT_TRUE(WaitUntil([&] { return RegionContains(mask_, 154, 400) && !RegionContains(mask_, 155, 400); }));
  EXPECT_FALSE(RegionContains(mask_, 269, 400));
  EXPECT_TRUE(RegionContains(mask_, 270, 400));
  DragTo({rc.left + 400, y});
  EXPECT_TRUE(WaitUntil([&] { return RegionContains(mask_, 284, 400) && !RegionContains(mask_, 285, 400); }));
  EXPECT_FALSE(RegionContains(mask_, 399, 400));
  EXPECT_TRUE(RegionContains(mask_, 400, 400));
  ClickLeft(false);
}

TEST_F(DialogsTest, DuplicateHotkeysAreRefusedAndARefusalThenCancelChangesNothing) {
  const std::string ini = "[settings]\r\nheight=180\r\nhotkey_lock_open=CTRL|SHIFT|L\r\n";
  Start(ini);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  // Horizontal band of 180 centred in 800: 310..490, the opening y 315..490.
  const auto expectHorizontalBand = [&] {
    EXPECT_TRUE(RegionContains(mask_, 100, 314));
    EXPECT_FALSE(RegionContains(mask_, 100, 315));
    EXPECT_FALSE(RegionContains(mask_, 100, 489));
    EXPECT_TRUE(RegionContains(mask_, 100, 490));
  };
  ASSERT_TRUE(WaitHorizontalBandAt(310));
  expectHorizontalBand();

  // Refused, then cancelled.
  HWND dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  SetItemText(dlg, IDC_HEIGHT, L"50");
  SendDlgItemMessageW(dlg, IDC_VERTICAL, BM_CLICK, 0, 0);
  SetMaskRow(dlg, {true, true, false, L"Z"});
  SetLockRow(dlg, {true, true, false, L"z"});
  Press(dlg, IDOK);
  HWND box = WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), kDuplicateMessage);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(box));
  EXPECT_TRUE(IsWindowVisible(dlg)) << "the dialog stays open after the refusal";
  Press(dlg, IDC_CANCEL_BUTTON);
  ASSERT_TRUE(WaitGone(dlg));

  EXPECT_EQ(ReadBytes(app_->IniPath()), ini);
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'O'));
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_SHIFT, 'L'));
  EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'Z'));
  OneTick();
  expectHorizontalBand();
  // The record kept the old values: the next opening shows them.
  dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  SettingsView expected = DefaultSettingsView();
  expected.height = L"180";
  expected.lockRow = {true, false, true, L"L"};
  ExpectShows(dlg, expected);

  // Refused, then mended and confirmed.
  SetLockRow(dlg, {true, true, false, L"O"});
  Press(dlg, IDOK);
  box = WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), kDuplicateMessage);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(box));
  ASSERT_TRUE(IsWindowVisible(dlg));
  SetItemText(dlg, IDC_LOCK_KEY, L"P");
  Press(dlg, IDOK);
  ASSERT_TRUE(WaitApplied(dlg));
  EXPECT_EQ(app_->FindMessageBox(), nullptr);
  // The existing key is replaced in place, the missing ones are added at the
  // end of the section in the order they are saved.
  EXPECT_EQ(ReadBytes(app_->IniPath()),
            "[settings]\r\nheight=180\r\nhotkey_lock_open=ALT|CTRL|P\r\nhorizontal=1\r\ntransparence=200\r\n"
            "hotkey_mask_open=ALT|CTRL|O\r\ncolor=0\r\n");
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'P'));
  EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL | MOD_SHIFT, 'L'));
  EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, 'O'));
}

// The colour chooser of the program, once it is open.
HWND WaitForChooser(DWORD pid) {
  HWND chooser = nullptr;
  WaitUntil([&] {
    auto found = WindowsOfProcess(pid, [](HWND h) { return IsWindowVisible(h) && GetDlgItem(h, kChooserRed); });
    chooser = found.empty() ? nullptr : found.front();
    return chooser != nullptr;
  });
  return chooser;
}

// Opens the chooser from the colour button, types a colour and answers with `command`.
bool PickColor(HWND settings, DWORD pid, int r, int g, int b, UINT command) {
  Press(settings, IDC_COLOR_BUTTON);
  HWND chooser = WaitForChooser(pid);
  if (!chooser) return false;
  SetItemText(chooser, kChooserRed, std::to_wstring(r).c_str());
  SetItemText(chooser, kChooserGreen, std::to_wstring(g).c_str());
  SetItemText(chooser, kChooserBlue, std::to_wstring(b).c_str());
  PostMessageW(chooser, WM_COMMAND, command, 0);
  return WaitGone(chooser);
}

TEST_F(DialogsTest, ColourFromTheChooserRepaintsTheSwatchAndAfterOkTheMask) {
  Start();
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  ASSERT_TRUE(WaitHorizontalBandAt(300)) << "the mask is in place";
  EXPECT_TRUE(WaitUntil([&] { return MaskColorAt(kMaskedPoint) == RGB(0, 0, 0); }))
      << "black at first: 0x" << std::hex << MaskColorAt(kMaskedPoint);

  HWND dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  ASSERT_TRUE(WaitUntil([&] { return SwatchColor(dlg) == RGB(0, 0, 0); }));

  const COLORREF picked = RGB(0, 128, 255);
  ASSERT_TRUE(PickColor(dlg, app_->pid(), 0, 128, 255, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return SwatchColor(dlg) == picked; }, 2000)) << std::hex << SwatchColor(dlg);
  // Cancelled: the swatch keeps the colour picked before.
  ASSERT_TRUE(PickColor(dlg, app_->pid(), 255, 255, 0, IDCANCEL));
  WaitUntil([&] { return SwatchColor(dlg) == picked; }, 2000);
  Pause(300);
  EXPECT_EQ(SwatchColor(dlg), picked);
  EXPECT_FALSE(fs::exists(app_->IniPath())) << "nothing is saved before OK";

  Press(dlg, IDOK);
  ASSERT_TRUE(WaitApplied(dlg));
  // 0x00FF8000: blue 255, green 128, red 0.
  EXPECT_EQ(ReadBytes(app_->IniPath()),
            "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\n"
            "hotkey_mask_open=ALT|CTRL|O\r\nhotkey_lock_open=ALT|CTRL|L\r\ncolor=16744448\r\n");
  // A confirmed colour shows at once on the mask that is showing.
  EXPECT_TRUE(WaitUntil([&] { return MaskColorAt(kMaskedPoint) == picked; }, 1000))
      << "the shown mask still has the colour 0x" << std::hex << MaskColorAt(kMaskedPoint);
  PressKeys({VK_CONTROL, VK_MENU, 'O'});
  ASSERT_TRUE(WaitHidden());
  PressKeys({VK_CONTROL, VK_MENU, 'O'});
  ASSERT_TRUE(WaitShown());
  EXPECT_TRUE(WaitUntil([&] { return MaskColorAt(kMaskedPoint) == picked; }, 2000)) << "shown again";

  // The next opening starts from the saved colour.
  dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  EXPECT_TRUE(WaitUntil([&] { return SwatchColor(dlg) == picked; }, 2000));
  Press(dlg, IDC_CANCEL_BUTTON);
  ASSERT_TRUE(WaitGone(dlg));
}

bool HasTextContaining(const std::vector<std::wstring>& texts, std::initializer_list<const wchar_t*> phrases) {
  return std::any_of(texts.begin(), texts.end(), [&](const std::wstring& t) {
    return std::all_of(phrases.begin(), phrases.end(), [&](const wchar_t* p) { return t.find(p) != t.npos; });
  });
}

TEST_F(DialogsTest, AboutShowsTheHelpOpensTheLinkAndClosesEveryWay) {
  BrowserRecorder browser;
  ASSERT_TRUE(browser.ready());
  Start();
  HWND dlg = OpenFromTray(2, kAboutCaption);
  ASSERT_TRUE(dlg);
  const std::vector<std::wstring> texts = ChildTexts(dlg);
  EXPECT_TRUE(HasTextContaining(texts, {L"作者：quorvane"}));
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::wstring& t) {
    return t.starts_with(L"联系方式：") && t.size() > 5;
  })) << "a contact line with an address";
  EXPECT_TRUE(HasTextContaining(texts, {L"设置", L"开启遮挡", L"关闭遮挡"})) << "the first help text";
  EXPECT_TRUE(HasTextContaining(texts, {L"锁定窗口", L"左键"})) << "the second help text";
  EXPECT_EQ(ItemText(dlg, IDOK), L"确定");
  HWND link = FindChildOfClass(dlg, L"SoftveilChild");
  ASSERT_TRUE(link);
  RECT linkRect = {}, place = {};
  GetWindowRect(link, &linkRect);
  GetWindowRect(GetDlgItem(dlg, IDC_LINK_PLACEHOLDER), &place);
  EXPECT_TRUE(EqualRect(&linkRect, &place)) << "the link lies over its hidden placeholder";
  EXPECT_TRUE(FollowsPlaceholder(link, GetDlgItem(dlg, IDC_LINK_PLACEHOLDER)));

  ExpectProgramKeepsWorking();

  // A press on the link opens the home page; the dialog stays.
  PointAt(WindowCenter(link));
  ClickLeft(true);
  ClickLeft(false);
  EXPECT_TRUE(WaitUntil([&] { return !browser.Opened().empty(); }, 10000));
  EXPECT_EQ(browser.Opened(), std::string(kHomePage) + "\n");
  EXPECT_TRUE(IsWindowVisible(dlg));
  // The click made the dialog active, so Esc reaches it.
  TapKey(VK_ESCAPE);
  EXPECT_TRUE(WaitGone(dlg)) << "Esc";

  dlg = app_->OpenDialog(ID_MENU_AUTHOR, kAboutCaption);
  ASSERT_TRUE(dlg);
  PostMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitGone(dlg)) << "close box";

  dlg = app_->OpenDialog(ID_MENU_AUTHOR, kAboutCaption);
  ASSERT_TRUE(dlg);
  Press(dlg, IDOK);
  EXPECT_TRUE(WaitGone(dlg)) << "确定";
  EXPECT_TRUE(app_->Running());
  EXPECT_EQ(browser.Opened(), std::string(kHomePage) + "\n") << "opened once only";
}

// Each message and dialog comes in front of the mask and takes a click there; none opens twice.
TEST_F(DialogsTest, MessagesAndDialogsOverTheShownMaskTakeTheReadersClicks) {
  ASSERT_TRUE(RegisterHotKey(nullptr, 0x2F00, MOD_CONTROL | MOD_ALT, VK_DOWN));  // told as the mask shows
  // Not the whole screen: Wine hands a mask of the screen's size to the window manager.
  ReaderTest::Start(RECT{0, 0, ScreenWidth(), ScreenHeight() - 40}, "[settings]\r\nheight=40\r\n");
  PointAt({5, 5});  // never over the windows to come: they would draw the mask onto them
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  const auto click = [&](HWND dlg, int id, bool closes) {
    const POINT at = WindowCenter(GetDlgItem(dlg, id));
    EXPECT_TRUE(dlg && RegionContains(mask_, at.x, at.y)) << "no mask under " << id;
    EXPECT_TRUE(WaitUntil([&] { return GetAncestor(WindowFromPoint(at), GA_ROOT) == dlg; })) << id;
    MovePointerSettled(dlg, at.x, at.y);
    for (bool down : {true, false}) ClickLeft(down);
    PointAt({5, 5});
    EXPECT_TRUE(!closes || WaitGone(dlg)) << id;
  };
  click(WaitForMessageBox(), IDOK, true);
  UnregisterHotKey(nullptr, 0x2F00);
  HWND settings = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  click(settings, IDC_COLOR_BUTTON, false);
  click(WaitForChooser(app_->pid()), IDCANCEL, true);
  click(settings, IDC_MORE_BUTTON, false);
  HWND more = app_->WaitForDialog(Dialog::MoreSettings);
  app_->Command(ID_MENU_SETTINGS);  // the tray menu's 设置 and 更多… again bring the open ones forward
  PressButton(settings, IDC_MORE_BUTTON);
  EXPECT_FALSE(WaitUntil([&] { return app_->OpenDialogs().size() > 2 || GetForegroundWindow() != more; }, 1000));
  click(more, IDCANCEL, true);
  click(settings, IDC_CANCEL_BUTTON, true);
  click(app_->OpenDialog(ID_MENU_AUTHOR, kAboutCaption), IDOK, true);
  EXPECT_TRUE(IsWindowVisible(mask_));
}

}  // namespace
