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

// The text of the one message that reports what was ignored; empty when
// nothing was.
std::wstring StartProblemsText(const StartOptions& options);

// The settings file the options name, as a full path resolved from the
// working directory; empty when they name none.
std::wstring SettingsFileFromOptions(const StartOptions& options, std::wstring_view workingDir);
