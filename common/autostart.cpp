#include "common/autostart.h"

#include <algorithm>

#include "common/command_line.h"

namespace {

constexpr std::wstring_view kSettingsOption = L"--settings";

// The system's startup-apps list marks a switched-off entry with an odd
// first byte (3 and 7 have been seen; 2 and 6 mean on).
bool SaysDisabled(const std::vector<std::uint8_t>& approved) { return !approved.empty() && (approved[0] & 1) != 0; }

bool SameCommand(std::wstring_view a, std::wstring_view b) {
  const std::vector<std::wstring> left = SplitCommandLine(a);
  const std::vector<std::wstring> right = SplitCommandLine(b);
  return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                    [](const std::wstring& x, const std::wstring& y) { return SameWindowsPath(x, y); });
}

}  // namespace

std::wstring AutostartCommand(std::wstring_view programPath, std::wstring_view settingsFile) {
  return QuoteProgramName(programPath) + L" " + std::wstring(kSettingsOption) + L" " + QuoteArgument(settingsFile);
}

AutostartState AutostartStateOf(const std::optional<std::wstring>& runValue,
                                const std::optional<std::vector<std::uint8_t>>& approved,
                                std::wstring_view expected) {
  if (!runValue) return AutostartState::Off;
  if (approved && SaysDisabled(*approved)) return AutostartState::Disabled;
  return SameCommand(*runValue, expected) ? AutostartState::On : AutostartState::Stale;
}

bool AutostartStartsProgram(std::wstring_view runValue, std::wstring_view programPath) {
  const std::vector<std::wstring> args = SplitCommandLine(runValue);
  return !args.empty() && !programPath.empty() && SameWindowsPath(args.front(), programPath);
}

std::vector<std::uint8_t> ApprovedEnabledValue() {
  std::vector<std::uint8_t> value(12, 0);  // a flag word, then the time it was switched off
  value[0] = 2;
  return value;
}

CheckboxState CheckboxFor(AutostartState state) {
  switch (state) {
    case AutostartState::On:
      return CheckboxState::Checked;
    case AutostartState::Stale:
      return CheckboxState::Indeterminate;
    case AutostartState::Off:
    case AutostartState::Disabled:
      break;
  }
  return CheckboxState::Unchecked;
}

AutostartChange DecideAutostartChange(AutostartState shown, CheckboxState now) {
  switch (now) {
    case CheckboxState::Checked:
      // Rewritten even when it looked right: the same bytes, and a Run
      // value changed since the dialog opened is put right too.
      return AutostartChange::Write;
    case CheckboxState::Indeterminate:
      return AutostartChange::None;  // a stale entry the user left alone
    case CheckboxState::Unchecked:
      break;
  }
  switch (shown) {
    case AutostartState::On:
    case AutostartState::Stale:
      return AutostartChange::Remove;
    case AutostartState::Disabled:  // the user's own choice in the system's list stays
    case AutostartState::Off:
      break;
  }
  return AutostartChange::None;
}
