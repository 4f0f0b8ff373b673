#include "common/settings_file_win32.h"

#include <filesystem>

#include "common/dialog_base_win32.h"
#include "common/language_win32.h"
#include "res/resource.h"

std::wstring SaveFailedText() {
  const std::filesystem::path file = SettingsFileInUse();
  return FormatResourceText(IDS_SAVE_FAILED, {file.empty() ? Widen(kSettingsFileName) : file.wstring()});
}

bool SaveSettingsOrSay(HWND owner, const MaskSettings& settings) {
  if (settings.Save()) return true;
  ShowAppMessage(owner, SaveFailedText());
  return false;
}
