// Saving the settings record where the user confirmed something: the file is
// replaced in one step, and a failed save is told in a message box.
#pragma once
#include <windows.h>

#include <string>

#include "settings/mask_settings.h"

// What a failed save says, with the settings file's full path: with
// --settings the file may be anywhere.
std::wstring SaveFailedText();
// What softveil says when the settings file is there but cannot be read.
std::wstring ReadFailedText();

// Saves the record; when that fails, says so in a box owned by `owner`
// (the settings still apply for this run). False when it failed.
bool SaveSettingsOrSay(HWND owner, const MaskSettings& settings);
