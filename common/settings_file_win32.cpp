#include "common/settings_file_win32.h"

#include <filesystem>

#include "common/dialog_base_win32.h"
#include "common/texts.h"

std::wstring SaveFailedText() {
  const std::filesystem::path file = SettingsFileInUse();
  return kTextSaveFailedBefore + (file.empty() ? Widen(kSettingsFileName) : file.wstring()) + kTextSaveFailedAfter;
}

bool SaveSettingsOrSay(HWND owner, const MaskSettings& settings) {
  if (settings.Save()) return true;
  ShowAppMessage(owner, SaveFailedText().c_str());
  return false;
}
