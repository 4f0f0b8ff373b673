// softveil in the language of the system or of softveil.ini: the menus, the
// mask's labels, the dialogs and the messages, and a settings file that is
// the same in every language. The suite runs these cases under a Chinese
// locale, and scripts/test runs them again under an English one with
// --language=en; the controls are found by id, never by their texts.
#include "tests/e2e/reader_test.h"

#include <algorithm>

namespace {

// What softveil shows in one language.
struct UiTexts {
  std::string iniValue;                // the `language` key that chooses it
  std::vector<std::wstring> trayMenu;  // a separator as ""
  std::vector<std::wstring> maskMenu;
  std::wstring lockLabel;
  std::wstring clockAtStart;           // the clock's text in the first minute, before the seconds
  std::wstring settingsCaption;
  std::wstring ok;
  std::wstring cancel;
  std::wstring horizontal;
  std::wstring maskHotkeys;            // the mask hotkey row's group box
  std::wstring more;                   // the settings dialog's button to the more-settings dialog
  std::wstring moreCaption;
  std::wstring autostart;
  std::vector<std::wstring> languages;  // the language drop-down's entries
  std::wstring languageNote;
  std::wstring aboutCaption;
  std::wstring aboutOk;
  std::wstring author;
  std::wstring duplicateHotkeys;
  std::wstring hotkeyRefused;          // for Ctrl+Alt+Q
  std::wstring hotkeysRefused;         // for Ctrl+Alt+W (lock) and Ctrl+Alt+Q (mask)
  std::wstring alreadyRunning;
};

const UiTexts kChinese{
    "zh-CN",
    {L"开启遮挡", L"", L"帮助", L"", L"设置", L"", L"关闭"},
    {L"关闭遮挡", L"", L"退出程序"},
    L"锁定窗口",
    L"0小时0分",
    L"设置",
    L"确  定",
    L"取  消",
    L"横向",
    L"遮罩开启、关闭快捷键设置",
    L"更多…",
    L"更多设置",
    L"开机时启动 softveil",
    {L"跟随系统", L"中文（简体）", L"English"},
    L"新语言在各窗口下次打开时生效，重启 softveil 后全部生效。",
    L"关于 softveil",
    L"确定",
    L"作者：quorvane",
    L"您设置的快捷键有重复的，请检查一下！",
    L"快捷键 Ctrl+Alt+Q 已被其他程序占用，无法使用。请在“设置”中换一个组合。",
    L"快捷键 Ctrl+Alt+W、Ctrl+Alt+Q 已被其他程序占用，无法使用。请在“设置”中换一个组合。",
    L"已经有一个程序在运行！",
};

const UiTexts kEnglish{
    "en",
    {L"Mask on", L"", L"Help", L"", L"Settings", L"", L"Exit"},
    {L"Mask off", L"", L"Exit"},
    L"Window locked",
    L"0 h 0 min ",
    L"Settings",
    L"OK",
    L"Cancel",
    L"Horizontal",
    L"Hotkey to switch the mask on and off",
    L"More…",
    L"More settings",
    L"Start softveil when I sign in",
    {L"Same as Windows", L"中文（简体）", L"English"},
    L"A new language applies to each window the next time it opens, and to everything after softveil restarts.",
    L"About softveil",
    L"OK",
    L"Author: quorvane",
    L"Two of your hotkeys are the same. Please give each its own combination.",
    L"The hotkey Ctrl+Alt+Q is held by another program, so softveil cannot use it. Please choose another "
    L"combination in Settings.",
    L"The hotkeys Ctrl+Alt+W and Ctrl+Alt+Q are held by other programs, so softveil cannot use them. Please "
    L"choose other combinations in Settings.",
    L"softveil is already running.",
};

// A reading window left of the centred dialogs, so the mask never covers them.
constexpr RECT kReader{40, 100, 560, 900};

// The file the settings dialog saves from the defaults, in every language.
constexpr char kDefaultsFile[] =
    "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\nhotkey_mask_open=ALT|CTRL|O\r\n"
    "hotkey_lock_open=ALT|CTRL|L\r\ncolor=0\r\n";

bool RunIsEnglish() { return CommandLineOption("language") == "en"; }

bool HasText(const std::vector<std::wstring>& texts, const std::wstring& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The entries of a drop-down of another process.
std::vector<std::wstring> DropDownItems(HWND box) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    if (SendMessageW(box, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(std::size(text))) break;
    SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

class LanguageTest : public ReaderTest {
 protected:
  void SetUp() override {
    // A locale that did not take would let both runs pass on one language.
    const LANGID system = GetUserDefaultUILanguage();
    ASSERT_EQ(PRIMARYLANGID(system) == LANG_CHINESE, !RunIsEnglish())
        << "this run's locale gives the user-interface language 0x" << std::hex << system;
  }

  static const UiTexts& System() { return RunIsEnglish() ? kEnglish : kChinese; }
  static const UiTexts& Other() { return RunIsEnglish() ? kChinese : kEnglish; }
  static std::string IniChoosing(const UiTexts& texts) { return "[settings]\r\nlanguage=" + texts.iniValue + "\r\n"; }

  // The tray menu, the mask, its label, clock and menu.
  void ExpectMenusAndMask(const UiTexts& texts) {
    MenuProbe probe(app_->controller());
    ASSERT_TRUE(probe.ready()) << "the menu probe could not be hooked into softveil";
    EXPECT_EQ(probe.ItemsOf([&] { app_->OpenTrayMenu(); }), texts.trayMenu);
    ASSERT_TRUE(CloseMenu());
    const std::vector<std::wstring> tips = TrayTooltips();
    EXPECT_NE(std::find(tips.begin(), tips.end(), L"softveil__quorvane"), tips.end())
        << "the tooltip is the same in every language: " << testing::PrintToString(tips);

    SwitchOn();
    ASSERT_TRUE(WaitShown());
    // The template's text until the first second has passed.
    std::wstring clock;
    EXPECT_TRUE(WaitUntil([&] {
      clock = WindowText(GetDlgItem(mask_, IDC_CLOCK_LABEL));
      return clock.starts_with(texts.clockAtStart);
    }, 3000)) << testing::PrintToString(clock);
    PressKeys({VK_CONTROL, VK_MENU, 'L'});
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(LockLabel()) != FALSE; }, 3000));
    EXPECT_EQ(WindowText(LockLabel()), texts.lockLabel);
    PressKeys({VK_CONTROL, VK_MENU, 'L'});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(LockLabel()); }, 3000));

    PointAt({MaskRect().left + 200, MaskRect().top + 50});  // above the centred band
    EXPECT_EQ(probe.ItemsOf([] { ClickRight(); }), texts.maskMenu);
    ASSERT_TRUE(CloseMenu());
  }

  // Both dialogs, the duplicate-hotkey message, and a second copy's refusal
  // (its settings file, in `secondDir`, chooses as this one's does).
  void ExpectDialogsAndMessages(const UiTexts& texts, const std::filesystem::path& secondDir) {
    HWND settings = app_->OpenDialog(Dialog::Settings);
    ASSERT_TRUE(settings);
    EXPECT_EQ(WindowText(settings), texts.settingsCaption);
    EXPECT_EQ(ItemText(settings, IDOK), texts.ok);
    EXPECT_EQ(ItemText(settings, IDC_CANCEL_BUTTON), texts.cancel);
    EXPECT_EQ(ItemText(settings, IDC_HORIZONTAL), texts.horizontal);
    EXPECT_EQ(ItemText(settings, IDC_MORE_BUTTON), texts.more);
    const std::vector<std::wstring> labels = ChildTexts(settings);
    EXPECT_TRUE(HasText(labels, texts.maskHotkeys)) << testing::PrintToString(labels);

    HWND more = OpenMoreSettings(*app_, settings);
    ASSERT_TRUE(more);
    EXPECT_EQ(WindowText(more), texts.moreCaption);
    EXPECT_EQ(ItemText(more, IDC_AUTOSTART), texts.autostart);
    EXPECT_EQ(DropDownItems(GetDlgItem(more, IDC_LANGUAGE)), texts.languages);
    EXPECT_TRUE(HasText(ChildTexts(more), texts.languageNote)) << testing::PrintToString(ChildTexts(more));
    PostMessageW(more, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitGone(more));

    // The lock row as the mask row: refused.
    SetItemText(settings, IDC_LOCK_KEY, L"O");
    PostMessageW(settings, WM_COMMAND, IDOK, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = app_->FindMessageBox()) != nullptr; }));
    EXPECT_EQ(MessageBoxText(box), texts.duplicateHotkeys);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(box));
    PostMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitGone(settings));

    HWND about = app_->OpenDialog(Dialog::About);
    ASSERT_TRUE(about);
    EXPECT_EQ(WindowText(about), texts.aboutCaption);
    EXPECT_EQ(ItemText(about, IDOK), texts.aboutOk);
    const std::vector<std::wstring> aboutTexts = ChildTexts(about);
    EXPECT_TRUE(HasText(aboutTexts, texts.author)) << testing::PrintToString(aboutTexts);
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(about));

    Softveil second(secondDir, Softveil::Start::NoWait);
    ASSERT_TRUE(second.process());
    HWND refusal = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (refusal = second.FindMessageBox()) != nullptr; }));
    EXPECT_EQ(MessageBoxText(refusal), texts.alreadyRunning);
    PostMessageW(refusal, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.WaitExit(), 0u);
  }

  // Confirms the settings dialog with the mask key `maskKey` and the lock key
  // `lockKey` (Ctrl+Alt both) and returns the message softveil then shows.
  std::wstring RefusalAfterConfirming(const wchar_t* maskKey, const wchar_t* lockKey) {
    HWND settings = app_->OpenDialog(Dialog::Settings);
    if (!settings) return L"<no settings dialog>";
    SetItemText(settings, IDC_MASK_KEY, maskKey);
    SetItemText(settings, IDC_LOCK_KEY, lockKey);
    PostMessageW(settings, WM_COMMAND, IDOK, 0);
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = app_->FindMessageBox()) != nullptr; })) return L"<no message>";
    const std::wstring text = MessageBoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitGone(box);
    return text;
  }
};

TEST_F(LanguageTest, MenusAndMaskSpeakTheSystemLanguage) {
  Start(kReader);
  ExpectMenusAndMask(System());
}

TEST_F(LanguageTest, DialogsAndMessagesSpeakTheSystemLanguage) {
  Start(kReader);
  TempDir secondDir;
  ExpectDialogsAndMessages(System(), secondDir.path());

  // Hotkeys another program holds are named in the message, one or two.
  constexpr int kQ = 0x2101, kW = 0x2102;
  ASSERT_TRUE(RegisterHotKey(nullptr, kQ, MOD_CONTROL | MOD_ALT, 'Q'));
  EXPECT_EQ(RefusalAfterConfirming(L"Q", L"L"), System().hotkeyRefused);
  ASSERT_TRUE(RegisterHotKey(nullptr, kW, MOD_CONTROL | MOD_ALT, 'W'));
  EXPECT_EQ(RefusalAfterConfirming(L"Q", L"W"), System().hotkeysRefused);
  UnregisterHotKey(nullptr, kW);
  UnregisterHotKey(nullptr, kQ);
}

TEST_F(LanguageTest, TheLanguageKeyOverridesTheSystem) {
  const std::string ini = IniChoosing(Other());
  Start(kReader, ini);
  ExpectMenusAndMask(Other());
  TempDir secondDir;
  WriteBytes(secondDir.path() / "softveil.ini", ini);
  ExpectDialogsAndMessages(Other(), secondDir.path());
}

TEST_F(LanguageTest, ChosenInMoreSettingsEachWindowSpeaksItWhenItNextOpens) {
  Start(kReader);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  HWND more = app_->OpenDialog(Dialog::MoreSettings);
  ASSERT_TRUE(more);
  HWND settings = app_->FindDialog(Dialog::Settings);
  HWND box = GetDlgItem(more, IDC_LANGUAGE);
  EXPECT_EQ(SendMessageW(box, CB_GETCURSEL, 0, 0), 0) << "without a language line: the system's";
  const LRESULT other = RunIsEnglish() ? 1 : 2;
  SendMessageW(box, CB_SETCURSEL, other, 0);
  PostMessageW(more, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(more));
  // Saved by the more-settings dialog, whatever the settings dialog does next.
  PostMessageW(settings, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitGone(settings));
  const std::string saved = ReadBytes(app_->IniPath()).value_or("<no file>");
  EXPECT_NE(saved.find("\r\nlanguage=" + Other().iniValue + "\r\n"), std::string::npos) << saved;

  // The tray menu and the dialogs, opened anew, speak the other language.
  MenuProbe probe(app_->controller());
  ASSERT_TRUE(probe.ready());
  EXPECT_EQ(probe.ItemsOf([&] { app_->OpenTrayMenu(); }), Other().trayMenu);
  ASSERT_TRUE(CloseMenu());
  HWND about = app_->OpenDialog(Dialog::About);
  ASSERT_TRUE(about);
  EXPECT_EQ(WindowText(about), Other().aboutCaption);
  PostMessageW(about, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(about));
  // The mask stayed open: its label keeps the language it was made in.
  PressKeys({VK_CONTROL, VK_MENU, 'L'});
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(LockLabel()) != FALSE; }, 3000));
  EXPECT_EQ(WindowText(LockLabel()), System().lockLabel);
  PressKeys({VK_CONTROL, VK_MENU, 'L'});

  // Started again on the same file, everything speaks it.
  TearDown();
  Start(kReader, saved);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  PressKeys({VK_CONTROL, VK_MENU, 'L'});
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(LockLabel()) != FALSE; }, 3000));
  EXPECT_EQ(WindowText(LockLabel()), Other().lockLabel);
  PressKeys({VK_CONTROL, VK_MENU, 'L'});
}

TEST_F(LanguageTest, AutoAndUnknownValuesFollowTheSystem) {
  for (const char* value : {"auto", "fr"}) {
    SCOPED_TRACE(value);
    const std::string ini = std::string("[settings]\r\nlanguage=") + value + "\r\n";
    Start(kReader, ini);
    HWND settings = app_->OpenDialog(Dialog::Settings);
    ASSERT_TRUE(settings);
    EXPECT_EQ(WindowText(settings), System().settingsCaption);
    PostMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitGone(settings));
    TearDown();
    app_.reset();
    reader_.reset();
  }
}

TEST_F(LanguageTest, TheSettingsFileIsTheSameInEveryLanguage) {
  Start(kReader);
  HWND settings = app_->OpenDialog(Dialog::Settings);
  ASSERT_TRUE(settings);
  PostMessageW(settings, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(settings));
  EXPECT_EQ(ReadBytes(app_->IniPath()), kDefaultsFile) << "the language adds nothing to the file";
  TearDown();

  // A language chosen in the file stays in it, as the file says it.
  const std::string chosen = IniChoosing(Other());
  Start(kReader, chosen);
  settings = app_->OpenDialog(Dialog::Settings);
  ASSERT_TRUE(settings);
  PostMessageW(settings, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(settings));
  EXPECT_EQ(ReadBytes(app_->IniPath()),
            "[settings]\r\nlanguage=" + Other().iniValue +
                "\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\nhotkey_mask_open=ALT|CTRL|O\r\n"
                "hotkey_lock_open=ALT|CTRL|L\r\ncolor=0\r\n");
}

}  // namespace
