// The texts softveil shows that came with the command line and autostart,
// kept together so they move into string tables in one go.
#pragma once

constexpr wchar_t kTextStartProblemsIntro[] = L"softveil 已照常启动，但忽略了命令行中的以下内容：";
constexpr wchar_t kTextUnknownArgument[] = L"无法识别的参数：";
constexpr wchar_t kTextSettingsWithoutPath[] = L"--settings 后面缺少设置文件的路径，仍使用工作目录中的 softveil.ini。";
constexpr wchar_t kTextUsage[] = L"用法：softveil.exe [--settings 设置文件的路径]";

constexpr wchar_t kTextAutostartFailed[] = L"无法更改开机启动设置：注册表拒绝了写入。";
