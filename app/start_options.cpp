#include "app/start_options.h"

#include "common/command_line.h"
#include "common/format_text.h"

namespace {

constexpr std::wstring_view kSettingsOption = L"--settings";

bool IsOption(std::wstring_view arg) { return arg.starts_with(L"--"); }

}  // namespace

StartOptions ParseStartOptions(std::span<const std::wstring> args) {
  StartOptions options;
  const auto takePath = [&](std::wstring_view path) {
    options.settingsWithoutPath = path.empty();
    if (path.empty()) {
      options.settingsFile.reset();
    } else {
      options.settingsFile = std::wstring(path);
    }
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::wstring_view arg = args[i];
    if (arg == kSettingsOption) {
      // An option right after it is taken as the path forgotten, not as a
      // file named like an option.
      const bool pathFollows = i + 1 < args.size() && !IsOption(args[i + 1]);
      takePath(pathFollows ? std::wstring_view(args[++i]) : std::wstring_view());
    } else if (arg.starts_with(kSettingsOption) && arg.size() > kSettingsOption.size() &&
               arg[kSettingsOption.size()] == L'=') {
      takePath(arg.substr(kSettingsOption.size() + 1));
    } else if (arg == L"--close") {
      options.installerStep = InstallerStep::Close;
    } else if (arg == L"--uninstall") {
      options.installerStep = InstallerStep::Uninstall;
    } else {
      options.unknown.emplace_back(arg);
    }
  }
  return options;
}

std::wstring StartProblemsText(const StartOptions& options, const StartProblemTexts& texts) {
  if (options.unknown.empty() && !options.settingsWithoutPath) return {};
  std::wstring text = texts.intro;
  for (const std::wstring& arg : options.unknown) {
    // An empty argument ("") shows as its quotes, so the user sees it.
    text += L"\n" + FormatText(texts.unknownArgument, {arg.empty() ? std::wstring_view(L"\"\"") : arg});
  }
  if (options.settingsWithoutPath) text += L"\n" + texts.settingsWithoutPath;
  text += L"\n\n" + texts.usage;
  return text;
}

std::wstring SettingsFileFromOptions(const StartOptions& options, std::wstring_view workingDir) {
  return options.settingsFile ? FullWindowsPath(workingDir, *options.settingsFile) : std::wstring();
}
