// Starting with Windows: the Run entry's command line, what the entries in
// the registry mean for the checkbox, and what a confirmed checkbox asks
// for. The registry itself is read and written by autostart_win32.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The name of softveil's value under the Run key and under the system's
// list of startup apps the user switched off.
constexpr wchar_t kAutostartValueName[] = L"softveil";

enum class AutostartState {
  Off,       // no Run value
  On,        // the Run value starts this program with the settings file in use
  Disabled,  // the user switched the entry off in the system's startup apps
  Stale,     // the Run value starts another program file or another settings file
};

// The Run value: the quoted program path and the settings file in use.
std::wstring AutostartCommand(std::wstring_view programPath, std::wstring_view settingsFile);

// The state the registry shows. `runValue` is the Run value, if any;
// `approved` the StartupApproved value, if any; `expected` the command
// AutostartCommand gives for this program now.
AutostartState AutostartStateOf(const std::optional<std::wstring>& runValue,
                                const std::optional<std::vector<std::uint8_t>>& approved,
                                std::wstring_view expected);

// Whether the Run value starts the program at `programPath`, whatever
// settings file it names.
bool AutostartStartsProgram(std::wstring_view runValue, std::wstring_view programPath);

// The StartupApproved value that switches an entry back on.
std::vector<std::uint8_t> ApprovedEnabledValue();

// What confirming the checkbox asks of the registry.
enum class AutostartChange { None, Write, Remove };
enum class CheckboxState { Unchecked, Checked, Indeterminate };

// How the checkbox shows `state` when the dialog opens.
CheckboxState CheckboxFor(AutostartState state);

// `shown` is the state read when the dialog opened, `now` the checkbox at OK.
AutostartChange DecideAutostartChange(AutostartState shown, CheckboxState now);
