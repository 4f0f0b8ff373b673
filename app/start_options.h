// What the command line asks of softveil: `softveil.exe [--settings PATH]`,
// or one of the steps its installer runs, `--close` or `--uninstall`.
#pragma once
#include <optional>
#include <span>
#include <string>
#include <vector>

// What the installer asks before it replaces or removes the program file:
// close the softveil started from it; for a removal, also its startup entry.
enum class InstallerStep { None, Close, Uninstall };

struct StartOptions {
  std::optional<std::wstring> settingsFile;  // as given; relative to the working directory
  bool settingsWithoutPath = false;          // --settings came last, or with an empty path
  std::vector<std::wstring> unknown;         // arguments softveil ignores
  InstallerStep installerStep = InstallerStep::None;  // softveil then does only that and ends
};

// `args` are the arguments after the program name. `--settings PATH` and
// `--settings=PATH` name the settings file; given twice, the last counts.
StartOptions ParseStartOptions(std::span<const std::wstring> args);

// The parts of that message, from the string table.
struct StartProblemTexts {
  std::wstring intro;                // the opening line
  std::wstring unknownArgument;      // one line per ignored argument, "%1" the argument
  std::wstring settingsWithoutPath;  // the line for --settings without a path
  std::wstring usage;                // the last line, after a blank one
};

// The text of the one message that reports what was ignored; empty when
// nothing was.
std::wstring StartProblemsText(const StartOptions& options, const StartProblemTexts& texts);

// The settings file the options name, as a full path resolved from the
// working directory; empty when they name none.
std::wstring SettingsFileFromOptions(const StartOptions& options, std::wstring_view workingDir);
