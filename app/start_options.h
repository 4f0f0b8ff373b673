// What the command line asks of softveil: `softveil.exe [--settings PATH]`.
#pragma once
#include <optional>
#include <span>
#include <string>
#include <vector>

struct StartOptions {
  std::optional<std::wstring> settingsFile;  // as given; relative to the working directory
  bool settingsWithoutPath = false;          // --settings came last, or with an empty path
  std::vector<std::wstring> unknown;         // arguments softveil ignores
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
