// The texts softveil shows from its code (the dialogs' own texts are in
// res/softveil.rc), kept together so they move into string tables in one go.
#pragma once

constexpr wchar_t kTextStartProblemsIntro[] = L"softveil 已照常启动，但忽略了命令行中的以下内容：";
constexpr wchar_t kTextUnknownArgument[] = L"无法识别的参数：";
constexpr wchar_t kTextSettingsWithoutPath[] = L"--settings 后面缺少设置文件的路径，仍使用工作目录中的 softveil.ini。";
constexpr wchar_t kTextUsage[] = L"用法：softveil.exe [--settings 设置文件的路径]";

constexpr wchar_t kTextAutostartFailed[] = L"无法更改开机启动设置：注册表拒绝了写入。";

// The settings dialog and the "更多设置" dialog.
constexpr wchar_t kTextDuplicateHotkeys[] = L"您设置的快捷键有重复的，请检查一下！";
// Around the settings file's full path.
constexpr wchar_t kTextSaveFailedBefore[] = L"无法保存设置文件 ";
constexpr wchar_t kTextSaveFailedAfter[] = L"，新的设置只在本次运行中有效，下次启动时仍使用原来的设置。";
// Around the key a reading key was set to, when the settings file has no name for it.
constexpr wchar_t kTextUnusableKeyBefore[] = L"不能使用按键 ";
constexpr wchar_t kTextUnusableKeyAfter[] =
    L"。请换用方向键、Page Up/Down、Home/End、Insert/Delete、空格、F1–F24、字母、数字或小键盘的数字键。";

// Around the names of the mask and lock hotkeys just confirmed that another
// program holds.
constexpr wchar_t kTextHotkeysRefusedBefore[] = L"快捷键 ";
constexpr wchar_t kTextHotkeysRefusedAfter[] = L" 已被其他程序占用，无法使用。请在“设置”中换一个组合。";

// Around the names of the reading keys that another program holds, the
// first time the mask shows without them.
constexpr wchar_t kTextReadingKeysRefusedBefore[] = L"阅读键 ";
constexpr wchar_t kTextReadingKeysRefusedAfter[] =
    L" 已被其他程序占用，遮罩显示时无法使用。可以在“设置”的“更多…”中换一个组合。";
// Between two names in one message.
constexpr wchar_t kTextNameSeparator[] = L"、";
