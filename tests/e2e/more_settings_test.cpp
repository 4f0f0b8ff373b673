// The "更多设置" dialog, opened from the settings dialog's "更多…": what it
// shows, rebinding the reading keys and their lengths, duplicates refused,
// Cancel, the start-with-Windows box, and the settings dialog around it
// keeping every control where it was.
#include "tests/e2e/reader_test.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Left of the centred dialogs, so the topmost mask over it hides none of
// their controls. 520 x 800: a horizontal band of 200 is centred at 300..500.
constexpr RECT kReaderRect{40, 100, 560, 900};

constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;

// The hotkey control's modifier bits.
constexpr WORD kHkShift = 0x100, kHkCtrl = 0x200, kHkAlt = 0x400;
// Key and modifiers; the control's bit for the navigation block (0x800) is
// left out, as it says only where on the keyboard the key is.
WORD ComboOf(HWND dlg, int id) { return HotkeyControlOf(dlg, id) & 0x7FF; }

constexpr char kSixDefaults[] =
    "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\n"
    "hotkey_mask_open=CTRL|ALT|O\r\nhotkey_lock_open=CTRL|ALT|L\r\ncolor=0\r\n";

class MoreSettings : public ReaderTest {
 protected:
  void Start(std::optional<std::string> ini = std::nullopt) { ReaderTest::Start(kReaderRect, std::move(ini)); }

  // Opens the settings dialog and from it the more-settings dialog.
  bool OpenBoth() {
    settings_ = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
    if (!settings_) return false;
    more_ = OpenMoreSettings(*app_, settings_);
    return more_ != nullptr;
  }
  // Presses OK and expects the duplicate message; the dialog stays open.
  void ExpectRefused(HWND dlg) {
    PressButton(dlg, IDOK);
    HWND box = app_->WaitForDialog(kAppTitle);
    ASSERT_TRUE(box) << "no message";
    EXPECT_EQ(MessageBoxText(box), kDuplicateMessage);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(box));
    EXPECT_TRUE(IsWindowVisible(dlg)) << "the dialog stays open after the refusal";
  }
  void Close(HWND dlg, int button) {
    PressButton(dlg, button);
    ASSERT_TRUE(WaitGone(dlg));
  }

  HWND settings_ = nullptr;
  HWND more_ = nullptr;
};

TEST_F(MoreSettings, OpensFromTheSettingsDialogWithWhatIsInForce) {
  Start();
  ASSERT_TRUE(OpenBoth());
  EXPECT_EQ(ItemText(settings_, IDC_MORE_BUTTON), L"更多…");
  EXPECT_EQ(ClassName(GetDlgItem(more_, IDC_KEY_NEXT)), L"msctls_hotkey32");
  EXPECT_EQ(ComboOf(more_, IDC_KEY_NEXT), kHkCtrl | kHkAlt | VK_DOWN);
  EXPECT_EQ(ComboOf(more_, IDC_KEY_PREVIOUS), kHkCtrl | kHkAlt | VK_UP);
  EXPECT_EQ(ComboOf(more_, IDC_KEY_THICKER), kHkCtrl | kHkAlt | VK_NEXT);
  EXPECT_EQ(ComboOf(more_, IDC_KEY_THINNER), kHkCtrl | kHkAlt | VK_PRIOR);
  EXPECT_EQ(ItemText(more_, IDC_STEP), L"") << "automatic: the thickness less the overlap";
  EXPECT_EQ(ItemText(more_, IDC_OVERLAP), L"") << "automatic: an eighth of the thickness";
  EXPECT_EQ(ItemText(more_, IDC_FINE_STEP), L"20");
  EXPECT_EQ(ItemText(more_, IDC_THICKNESS_STEP), L"10");
  EXPECT_EQ(ControlsCutShort(more_, 96), std::vector<std::string>()) << "every text fits";
  EXPECT_FALSE(IsWindowEnabled(settings_)) << "the settings dialog waits for it";
  Close(more_, IDCANCEL);
  EXPECT_TRUE(IsWindowEnabled(settings_));
  Close(settings_, IDC_CANCEL_BUTTON);
  EXPECT_FALSE(fs::exists(app_->IniPath())) << "Cancel saves nothing";

  // A vertical band's next and previous are Right and Left.
  ASSERT_TRUE(OpenBoth());
  Close(more_, IDCANCEL);
  PressButton(settings_, IDC_VERTICAL);
  PressButton(settings_, IDOK);
  ASSERT_TRUE(WaitGone(settings_));
  ASSERT_TRUE(OpenBoth());
  EXPECT_EQ(ComboOf(more_, IDC_KEY_NEXT), kHkCtrl | kHkAlt | VK_RIGHT);
  EXPECT_EQ(ComboOf(more_, IDC_KEY_PREVIOUS), kHkCtrl | kHkAlt | VK_LEFT);
  Close(more_, IDCANCEL);
  Close(settings_, IDC_CANCEL_BUTTON);
}

TEST_F(MoreSettings, RebindingIsSavedOnItsOwnOkAndTakesEffect) {
  Start();
  ASSERT_TRUE(OpenBoth());
  // Typed into the control as a user does.
  const POINT next = WindowCenter(GetDlgItem(more_, IDC_KEY_NEXT));
  PointAt(next);
  ClickLeft(true);
  ClickLeft(false);
  PressKeys({VK_CONTROL, VK_MENU, 'J'});
  ASSERT_TRUE(WaitUntil([&] { return ComboOf(more_, IDC_KEY_NEXT) == (kHkCtrl | kHkAlt | 'J'); }))
      << std::hex << HotkeyControlOf(more_, IDC_KEY_NEXT);
  SetHotkeyControl(more_, IDC_KEY_THINNER, kHkCtrl | kHkAlt | 0x800 | VK_HOME);
  SetItemText(more_, IDC_STEP, L"100");
  SetItemText(more_, IDC_FINE_STEP, L"7");
  SetItemText(more_, IDC_THICKNESS_STEP, L"15");
  SetItemText(settings_, IDC_HEIGHT, L"150");  // waits for the settings dialog's own OK
  Close(more_, IDOK);
  EXPECT_TRUE(IsWindowVisible(settings_));
  const std::string saved = std::string(kSixDefaults) +
                            "hotkey_next=CTRL|ALT|J\r\nhotkey_thinner=CTRL|ALT|HOME\r\n"
                            "step=100\r\nfine_step=7\r\nthickness_step=15\r\n";
  EXPECT_EQ(ReadBytes(app_->IniPath()), saved);
  Close(settings_, IDC_CANCEL_BUTTON);
  EXPECT_EQ(ReadBytes(app_->IniPath()), saved) << "the settings dialog's Cancel keeps what the other saved";

  PointAt(reader_->Center());
  SwitchOn();
  ASSERT_TRUE(WaitShownForKeys());
  ASSERT_TRUE(WaitBand(true, 300, 500));
  EXPECT_TRUE(HotkeyIsFree(kCtrlAlt, VK_DOWN)) << "the old next key is let go";
  PressKeys({VK_CONTROL, VK_MENU, 'J'});
  EXPECT_TRUE(WaitBand(true, 400, 600)) << "the set step";
  PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'J'});
  EXPECT_TRUE(WaitBand(true, 407, 607)) << "the set fine step";
  PressKeys({VK_CONTROL, VK_MENU, VK_NEXT});
  EXPECT_TRUE(WaitBand(true, 407, 622)) << "thicker by the set amount";
  PressKeys({VK_CONTROL, VK_MENU, VK_HOME});
  EXPECT_TRUE(WaitBand(true, 407, 607)) << "the new thinner key";
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(app_->IniPath()).value_or("").find("height=200") != std::string::npos; }));

  // Changed while the mask shows. Meanwhile the keys are let go, so the
  // ones in use can be typed into the boxes; then the new ones hold at once.
  ASSERT_TRUE(OpenBoth());
  EXPECT_EQ(ComboOf(more_, IDC_KEY_NEXT), kHkCtrl | kHkAlt | 'J');
  EXPECT_EQ(ItemText(more_, IDC_STEP), L"100");
  EXPECT_TRUE(HotkeyIsFree(kCtrlAlt, 'J'));
  EXPECT_TRUE(HotkeyIsFree(kCtrlAlt, VK_NEXT));
  PointAt(WindowCenter(GetDlgItem(more_, IDC_KEY_THINNER)));
  ClickLeft(true);
  ClickLeft(false);
  PressKeys({VK_CONTROL, VK_MENU, 'J'});  // next's key, in the thinner box
  EXPECT_TRUE(WaitUntil([&] { return ComboOf(more_, IDC_KEY_THINNER) == (kHkCtrl | kHkAlt | 'J'); }))
      << std::hex << HotkeyControlOf(more_, IDC_KEY_THINNER);
  SetHotkeyControl(more_, IDC_KEY_NEXT, kHkCtrl | kHkAlt | 0x800 | VK_DOWN);  // back to the default
  Close(more_, IDOK);
  EXPECT_FALSE(HotkeyIsFree(kCtrlAlt, 'J')) << "the new thinner key holds with the settings dialog still open";
  EXPECT_FALSE(HotkeyIsFree(kCtrlAlt, VK_DOWN));
  EXPECT_TRUE(HotkeyIsFree(kCtrlAlt, VK_HOME));
  Close(settings_, IDC_CANCEL_BUTTON);
  PointAt(reader_->Center());
  Pause(500);
  PressKeys({VK_CONTROL, VK_MENU, 'J'});
  EXPECT_TRUE(WaitBand(true, 407, 592)) << "thinner by 15 with its new key";
  EXPECT_NE(ReadBytes(app_->IniPath()).value_or("").find("hotkey_next=\r\n"), std::string::npos)
      << "the default again: empty, so it follows the orientation";
}

TEST_F(MoreSettings, DuplicatesAreRefusedAndCancelLeavesEverything) {
  const std::string ini = "[settings]\r\nhotkey_next=CTRL|ALT|J\r\n";
  Start(ini);
  ASSERT_TRUE(OpenBoth());
  SetHotkeyControl(more_, IDC_KEY_THINNER, kHkCtrl | kHkAlt | 'O');  // the mask hotkey
  ExpectRefused(more_);
  SetHotkeyControl(more_, IDC_KEY_THINNER, kHkCtrl | kHkAlt | kHkShift | 'J');  // next's fine step
  ExpectRefused(more_);
  SetHotkeyControl(more_, IDC_KEY_THINNER, kHkCtrl | kHkAlt | 'J');  // next itself
  SetItemText(more_, IDC_STEP, L"50");
  ExpectRefused(more_);
  Close(more_, IDCANCEL);
  EXPECT_EQ(ReadBytes(app_->IniPath()), ini);

  more_ = OpenMoreSettings(*app_, settings_);
  ASSERT_TRUE(more_);
  EXPECT_EQ(ComboOf(more_, IDC_KEY_THINNER), kHkCtrl | kHkAlt | VK_PRIOR) << "the refusals changed nothing";
  EXPECT_EQ(ItemText(more_, IDC_STEP), L"");
  Close(more_, IDCANCEL);

  // The settings dialog refuses a hotkey on a reading key the same way.
  SetItemText(settings_, IDC_MASK_KEY, L"j");
  ExpectRefused(settings_);
  Close(settings_, IDC_CANCEL_BUTTON);
  EXPECT_EQ(ReadBytes(app_->IniPath()), ini);
  EXPECT_FALSE(HotkeyIsFree(kCtrlAlt, 'O'));
  EXPECT_TRUE(HotkeyIsFree(kCtrlAlt, 'J')) << "a reading key is held only while the mask shows";
}

// Where the settings dialog's controls must stay: its template as it was
// before "更多…" came, in dialog units, in tab order.
struct PlacedControl {
  int id;  // 0xFFFF: a control without an id of its own
  const wchar_t* className;
  const wchar_t* text;  // nullptr: set at run time
  bool visible;
  RECT units;  // x, y, width, height
};

const PlacedControl kSettingsControls[] = {
    {IDOK, L"Button", L"确  定", true, {45, 140, 35, 14}},
    {IDC_HEIGHT, L"Edit", nullptr, true, {49, 16, 25, 12}},
    {0xFFFF, L"Static", L"px", true, {76, 17, 9, 8}},
    {0xFFFF, L"Static", L"高度：", true, {10, 18, 25, 8}},
    {0xFFFF, L"Button", L"", true, {7, 7, 165, 50}},
    {IDC_TRANSPARENCY, L"msctls_trackbar32", L"Slider1", true, {47, 33, 77, 8}},
    {0xFFFF, L"Static", L"透明度：", true, {10, 32, 31, 8}},
    {IDC_TRANSPARENCY_LABEL, L"Static", nullptr, true, {124, 32, 15, 8}},
    {0xFFFF, L"Button", L"遮罩开启、关闭快捷键设置", true, {7, 60, 165, 31}},
    {0xFFFF, L"Static", L"开/关：", true, {10, 74, 27, 8}},
    {IDC_MASK_CTRL, L"Button", L"CTRL+", true, {37, 73, 36, 10}},
    {IDC_MASK_ALT, L"Button", L"ALT+", true, {73, 73, 32, 10}},
    {IDC_MASK_SHIFT, L"Button", L"SHIFT+", true, {105, 73, 36, 10}},
    {IDC_MASK_KEY, L"Edit", nullptr, true, {145, 69, 16, 14}},
    {0xFFFF, L"Static", L"关闭：", false, {10, 91, 24, 8}},
    {IDC_MASK_CLOSE_CTRL, L"Button", L"CTRL+", false, {37, 90, 36, 10}},
    {IDC_MASK_CLOSE_ALT, L"Button", L"ALT+", false, {73, 90, 32, 10}},
    {IDC_MASK_CLOSE_SHIFT, L"Button", L"SHIFT+", false, {105, 90, 36, 10}},
    {IDC_MASK_CLOSE_KEY, L"Edit", L"", false, {145, 87, 16, 14}},
    {0xFFFF, L"Button", L"记忆开启、关闭快捷键设置", true, {7, 98, 165, 35}},
    {0xFFFF, L"Static", L"开/关：", true, {10, 111, 27, 8}},
    {IDC_LOCK_CTRL, L"Button", L"CTRL+", true, {37, 110, 36, 10}},
    {IDC_LOCK_ALT, L"Button", L"ALT+", true, {73, 110, 32, 10}},
    {IDC_LOCK_SHIFT, L"Button", L"SHIFT+", true, {105, 110, 36, 10}},
    {IDC_LOCK_KEY, L"Edit", nullptr, true, {145, 106, 16, 14}},
    {IDC_LOCK_CLOSE_CTRL, L"Button", L"CTRL+", false, {37, 125, 36, 10}},
    {IDC_LOCK_CLOSE_ALT, L"Button", L"ALT+", false, {73, 125, 32, 10}},
    {IDC_LOCK_CLOSE_SHIFT, L"Button", L"SHIFT+", false, {105, 125, 36, 10}},
    {IDC_LOCK_CLOSE_KEY, L"Edit", L"", false, {145, 121, 16, 14}},
    {IDC_CANCEL_BUTTON, L"Button", L"取  消", true, {98, 140, 35, 14}},
    {IDC_HORIZONTAL, L"Button", L"横向", true, {49, 43, 31, 10}},
    {IDC_VERTICAL, L"Button", L"竖向", true, {82, 43, 31, 10}},
    {0xFFFF, L"Static", L"显示区域：", true, {10, 43, 39, 8}},
    {IDC_COLOR_BUTTON, L"Button", L"Button3", true, {148, 22, 20, 17}},
    {IDC_SWATCH_PLACEHOLDER, L"Static", L"", false, {136, 43, 32, 10}},
};

// Dialog units become pixels by the dialog's font. A dialog of the same
// template made in this process (from softveil.exe's resources) knows them.
class DialogUnits {
 public:
  explicit DialogUnits(const std::wstring& exe) {
    module_ = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    if (module_) {
      dialog_ = CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_SETTINGS), nullptr,
                                   [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    }
  }
  ~DialogUnits() {
    if (dialog_) DestroyWindow(dialog_);
    if (module_) FreeLibrary(module_);
  }
  DialogUnits(const DialogUnits&) = delete;
  DialogUnits& operator=(const DialogUnits&) = delete;

  bool ready() const { return dialog_ != nullptr; }
  // `units` as x, y, width, height. The dialog manager converts the place
  // and the size each on its own, so the far edges are rounded as theirs.
  RECT Pixels(const RECT& units) const {
    RECT r = units;
    MapDialogRect(dialog_, &r);
    return {r.left, r.top, r.left + r.right, r.top + r.bottom};
  }

 private:
  HMODULE module_ = nullptr;
  HWND dialog_ = nullptr;
};

RECT ClientRectOf(HWND control, HWND dialog) {
  RECT r = {};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + ")";
}

TEST_F(MoreSettings, TheSettingsDialogKeepsEveryControlWhereItWas) {
  Start();
  HWND dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  const DialogUnits units(SoftveilExePath());
  ASSERT_TRUE(units.ready());

  RECT client = {};
  GetClientRect(dlg, &client);
  EXPECT_TRUE(SameRect(client, units.Pixels({0, 0, 179, 165}))) << "the dialog keeps its size: " << Describe(client);

  // The controls in tab order; the colour swatch is no control of the template.
  std::vector<HWND> controls;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (ClassName(c) != L"SoftveilChild") controls.push_back(c);
  }
  ASSERT_EQ(controls.size(), std::size(kSettingsControls) + 1);
  for (std::size_t i = 0; i < std::size(kSettingsControls); ++i) {
    const PlacedControl& expected = kSettingsControls[i];
    HWND c = controls[i];
    SCOPED_TRACE(testing::Message() << "control " << i << ", id " << expected.id);
    EXPECT_EQ(GetDlgCtrlID(c) & 0xFFFF, expected.id);
    EXPECT_EQ(ClassName(c), expected.className);
    if (expected.text) {
      EXPECT_EQ(WindowText(c), expected.text);
    }
    EXPECT_EQ(IsWindowVisible(c) != FALSE, expected.visible);
    const RECT placed = ClientRectOf(c, dlg), wanted = units.Pixels(expected.units);
    EXPECT_TRUE(SameRect(placed, wanted)) << Describe(placed) << " instead of " << Describe(wanted);
  }

  // The one control added comes last, in the free place right of Cancel.
  HWND more = controls.back();
  EXPECT_EQ(GetDlgCtrlID(more), IDC_MORE_BUTTON);
  EXPECT_EQ(WindowText(more), L"更多…");
  const RECT moreRect = ClientRectOf(more, dlg);
  RECT inside = {};
  EXPECT_TRUE(IntersectRect(&inside, &moreRect, &client) && EqualRect(&inside, &moreRect)) << "inside the dialog";
  for (std::size_t i = 0; i < std::size(kSettingsControls); ++i) {
    const PlacedControl& other = kSettingsControls[i];
    // A group box frames others; a button may not lie on its frame either.
    const RECT r = units.Pixels(other.units);
    RECT common = {};
    if (other.visible) {
      EXPECT_FALSE(IntersectRect(&common, &moreRect, &r)) << "covers control " << i;
    }
  }
  PressButton(dlg, IDC_CANCEL_BUTTON);
  ASSERT_TRUE(WaitGone(dlg));
}

// The start-with-Windows box. The Run entry and the startup-apps list are
// the current user's; the test puts back what was there.

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kValueName[] = L"softveil";

std::optional<std::vector<BYTE>> ReadValue(const wchar_t* key, DWORD* type = nullptr) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
  DWORD size = 0, kind = 0;
  std::optional<std::vector<BYTE>> bytes;
  if (RegQueryValueExW(h, kValueName, nullptr, &kind, nullptr, &size) == ERROR_SUCCESS) {
    bytes.emplace(size);
    if (RegQueryValueExW(h, kValueName, nullptr, &kind, bytes->data(), &size) != ERROR_SUCCESS) bytes.reset();
  }
  RegCloseKey(h);
  if (type) *type = kind;
  return bytes;
}

void WriteValue(const wchar_t* key, DWORD type, const std::vector<BYTE>& bytes) {
  HKEY h = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExW(h, kValueName, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
  RegCloseKey(h);
}

void DeleteValue(const wchar_t* key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_WRITE, &h) != ERROR_SUCCESS) return;
  RegDeleteValueW(h, kValueName);
  RegCloseKey(h);
}

// The Run value as RegQueryValueExW gives it, without its terminating zero.
std::optional<std::wstring> RunValue() {
  DWORD type = 0;
  const auto bytes = ReadValue(kRunKey, &type);
  if (!bytes) return std::nullopt;
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  std::wstring text(reinterpret_cast<const wchar_t*>(bytes->data()), bytes->size() / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

void SetRunValue(const std::wstring& command) {
  const auto* data = reinterpret_cast<const BYTE*>(command.c_str());
  WriteValue(kRunKey, REG_SZ, std::vector<BYTE>(data, data + (command.size() + 1) * sizeof(wchar_t)));
}

// A switched-off entry as the system's startup-apps list writes it: a flag
// word (odd: off) and the time it was switched off.
const std::vector<BYTE> kSwitchedOff = {3, 0, 0, 0, 0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0x01};

class AutostartBox : public testing::Test {
 protected:
  void SetUp() override {
    run_ = ReadValue(kRunKey, &runType_);
    approved_ = ReadValue(kApprovedKey, &approvedType_);
    DeleteValue(kRunKey);
    DeleteValue(kApprovedKey);
  }
  void TearDown() override {
    if (app_ && app_->Running()) {
      for (HWND dlg : app_->OpenDialogs()) PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
      Pause(300);
      for (HWND dlg : app_->OpenDialogs()) PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
      EXPECT_EQ(app_->Exit(), 0u);
    }
    app_.reset();
    DeleteValue(kRunKey);
    DeleteValue(kApprovedKey);
    if (run_) WriteValue(kRunKey, runType_, *run_);
    if (approved_) WriteValue(kApprovedKey, approvedType_, *approved_);
  }

  void StartApp() {
    app_ = std::make_unique<Softveil>(dir_.path(), Softveil::Start::Ready);
    ASSERT_TRUE(app_->controller());
  }
  // The command the box writes for this softveil and its settings file.
  std::wstring Expected() const {
    return L"\"" + SoftveilExePath() + L"\" --settings \"" + (dir_.path() / "softveil.ini").wstring() + L"\"";
  }
  // Opens the more-settings dialog; the settings dialog stays open behind it.
  HWND OpenMore() {
    settings_ = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
    return settings_ ? OpenMoreSettings(*app_, settings_) : nullptr;
  }
  void ConfirmMore(HWND more) {
    PressButton(more, IDOK);
    ASSERT_TRUE(WaitGone(more));
    PressButton(settings_, IDC_CANCEL_BUTTON);
    ASSERT_TRUE(WaitGone(settings_));
  }
  void Click(HWND more, LRESULT to) {
    PressButton(more, IDC_AUTOSTART);
    EXPECT_TRUE(WaitUntil([&] { return ButtonState(more, IDC_AUTOSTART) == to; })) << ButtonState(more, IDC_AUTOSTART);
  }

  TempDir dir_;
  std::unique_ptr<Softveil> app_;
  HWND settings_ = nullptr;

 private:
  std::optional<std::vector<BYTE>> run_, approved_;
  DWORD runType_ = REG_SZ, approvedType_ = REG_BINARY;
};

TEST_F(AutostartBox, SitsAtTheBottomAndTickAndOkWriteTheEntryUntickAndOkRemoveIt) {
  StartApp();
  HWND more = OpenMore();
  ASSERT_TRUE(more);
  HWND box = GetDlgItem(more, IDC_AUTOSTART);
  EXPECT_EQ(WindowText(box), L"开机时启动 softveil");
  EXPECT_EQ(GetWindowLongW(box, GWL_STYLE) & BS_TYPEMASK, BS_3STATE);
  // Below every other control, above OK and Cancel.
  RECT boxRect = {}, ok = {};
  GetWindowRect(box, &boxRect);
  GetWindowRect(GetDlgItem(more, IDOK), &ok);
  for (HWND c = GetWindow(more, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(c);
    if (c == box || id == IDOK || id == IDCANCEL) continue;
    RECT r = {};
    GetWindowRect(c, &r);
    EXPECT_LE(r.bottom, boxRect.top) << "control " << id;
  }
  EXPECT_LE(boxRect.bottom, ok.top);

  EXPECT_EQ(ButtonState(more, IDC_AUTOSTART), BST_UNCHECKED);
  Click(more, BST_CHECKED);
  EXPECT_FALSE(RunValue()) << "nothing before OK";
  ConfirmMore(more);
  EXPECT_EQ(RunValue(), Expected());
  EXPECT_FALSE(ReadValue(kApprovedKey)) << "no switch of the startup-apps list is made up";

  more = OpenMore();
  ASSERT_TRUE(more);
  EXPECT_EQ(ButtonState(more, IDC_AUTOSTART), BST_CHECKED);
  Click(more, BST_UNCHECKED);
  ConfirmMore(more);
  EXPECT_FALSE(RunValue());

  // Cancel leaves the entry as it is.
  more = OpenMore();
  ASSERT_TRUE(more);
  Click(more, BST_CHECKED);
  PressButton(more, IDCANCEL);
  ASSERT_TRUE(WaitGone(more));
  EXPECT_FALSE(RunValue());
}

TEST_F(AutostartBox, AnEntrySwitchedOffInTheStartupListShowsClearAndTickingSwitchesItOn) {
  SetRunValue(Expected());
  WriteValue(kApprovedKey, REG_BINARY, kSwitchedOff);
  StartApp();
  HWND more = OpenMore();
  ASSERT_TRUE(more);
  EXPECT_EQ(ButtonState(more, IDC_AUTOSTART), BST_UNCHECKED);
  // Left clear, the user's choice in the system's list stays.
  ConfirmMore(more);
  EXPECT_EQ(RunValue(), Expected());
  EXPECT_EQ(ReadValue(kApprovedKey), kSwitchedOff);

  more = OpenMore();
  ASSERT_TRUE(more);
  Click(more, BST_CHECKED);
  ConfirmMore(more);
  EXPECT_EQ(RunValue(), Expected());
  const auto approved = ReadValue(kApprovedKey);
  ASSERT_TRUE(approved);
  ASSERT_FALSE(approved->empty());
  EXPECT_EQ((*approved)[0] & 1, 0) << "switched on again";
}

TEST_F(AutostartBox, AStaleEntryShowsTheThirdStateAndIsRewrittenOnlyWhenTicked) {
  const std::wstring stale =
      L"\"C:\\old place\\softveil.exe\" --settings \"" + (dir_.path() / "softveil.ini").wstring() + L"\"";
  SetRunValue(stale);
  StartApp();
  HWND more = OpenMore();
  ASSERT_TRUE(more);
  EXPECT_EQ(ButtonState(more, IDC_AUTOSTART), BST_INDETERMINATE);
  ConfirmMore(more);
  EXPECT_EQ(RunValue(), stale) << "left as it is";

  more = OpenMore();
  ASSERT_TRUE(more);
  EXPECT_EQ(ButtonState(more, IDC_AUTOSTART), BST_INDETERMINATE);
  Click(more, BST_CHECKED);
  ConfirmMore(more);
  EXPECT_EQ(RunValue(), Expected()) << "rewritten for this copy";
}

}  // namespace
