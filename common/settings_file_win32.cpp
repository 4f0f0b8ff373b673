#include "common/settings_file_win32.h"

#include <filesystem>

#include "common/dialog_base_win32.h"
#include "common/language_win32.h"
#include "res/resource.h"

namespace {

std::wstring FileInUseName() {
  const std::filesystem::path file = SettingsFileInUse();
  return file.empty() ? Widen(kSettingsFileName) : file.wstring();
}

}  // namespace

std::wstring SaveFailedText() { return FormatResourceText(IDS_SAVE_FAILED, {FileInUseName()}); }

std::wstring ReadFailedText() { return FormatResourceText(IDS_READ_FAILED, {FileInUseName()}); }

bool SaveSettingsOrSay(HWND owner, const MaskSettings& settings) {
  if (settings.Save()) return true;
  ShowAppMessage(owner, SaveFailedText());
  return false;
}
