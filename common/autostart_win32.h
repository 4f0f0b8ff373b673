// The Run entry that starts softveil when the user signs in, and the
// system's startup-apps list where the user may have switched it off.
#pragma once
#include <string>

#include "common/autostart.h"

// The full path of this program file.
std::wstring ThisProgramPath();

// The Run value this copy of softveil would write: its own path and the
// settings file it uses now.
std::wstring AutostartCommandForThisProgram();

AutostartState ReadAutostartState();

// Carries out what the confirmed checkbox asks for; false when the
// registry refused.
bool ApplyAutostartChange(AutostartChange change);

// Removes the Run value and its StartupApproved value when the Run value
// starts this program file, as this file is about to go; false when the
// registry refused.
bool RemoveAutostartOfThisProgram();
