// The steps softveil's installer runs before it replaces or removes the
// program file (softveil.exe --close, --uninstall).
#pragma once
#include "app/start_options.h"

// Carries out `step`: 0 once no softveil started from this program file
// runs, 1 when one is still running after being asked to close.
int RunInstallerStep(InstallerStep step);
