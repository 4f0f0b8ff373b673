#include "common/autostart_win32.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "settings/mask_settings.h"

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: try a larger buffer
  }
}

// The value's bytes, or nothing when it (or its key) is missing.
// `kind` is RRF_RT_REG_SZ or RRF_RT_REG_BINARY.
std::optional<std::vector<BYTE>> ReadValue(const wchar_t* key, DWORD kind) {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, key, kAutostartValueName, kind, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<BYTE> bytes(size);
  if (RegGetValueW(HKEY_CURRENT_USER, key, kAutostartValueName, kind, nullptr, bytes.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

std::optional<std::wstring> ReadRunValue() {
  const auto bytes = ReadValue(kRunKey, RRF_RT_REG_SZ);
  if (!bytes) return std::nullopt;
  std::wstring text(reinterpret_cast<const wchar_t*>(bytes->data()), bytes->size() / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

bool WriteValue(const wchar_t* key, DWORD type, const void* data, DWORD size) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, key, kAutostartValueName, type, data, size) == ERROR_SUCCESS;
}

bool DeleteValue(const wchar_t* key) {
  const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, key, kAutostartValueName);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool WriteEntry() {
  const std::wstring command = AutostartCommandForThisProgram();
  if (!WriteValue(kRunKey, REG_SZ, command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)))) {
    return false;
  }
  // An entry the user switched off in the system's list would stay off;
  // checking the box is asking for it on. No approval value means on.
  if (!ReadValue(kApprovedKey, RRF_RT_REG_BINARY)) return true;
  const std::vector<std::uint8_t> enabled = ApprovedEnabledValue();
  return WriteValue(kApprovedKey, REG_BINARY, enabled.data(), static_cast<DWORD>(enabled.size()));
}

}  // namespace

std::wstring ThisProgramPath() { return ProgramPath(); }

std::wstring AutostartCommandForThisProgram() {
  return AutostartCommand(ProgramPath(), SettingsFileInUse().wstring());
}

AutostartState ReadAutostartState() {
  std::optional<std::vector<std::uint8_t>> approved;
  if (auto bytes = ReadValue(kApprovedKey, RRF_RT_REG_BINARY)) approved.emplace(bytes->begin(), bytes->end());
  return AutostartStateOf(ReadRunValue(), approved, AutostartCommandForThisProgram());
}

bool ApplyAutostartChange(AutostartChange change) {
  switch (change) {
    case AutostartChange::Write:
      return WriteEntry();
    case AutostartChange::Remove:
      // Both go, so nothing of softveil is left in the startup lists.
      return DeleteValue(kRunKey) && DeleteValue(kApprovedKey);
    case AutostartChange::None:
      break;
  }
  return true;
}

bool RemoveAutostartOfThisProgram() {
  // An entry that starts another copy of softveil stays: that copy is still there.
  const std::optional<std::wstring> run = ReadRunValue();
  if (run && !AutostartStartsProgram(*run, ProgramPath())) return true;
  return ApplyAutostartChange(AutostartChange::Remove);
}
