// softveil's version, in the one place both the version block of
// softveil.rc and the installer built by scripts/package read it from.
#pragma once

#define SOFTVEIL_VERSION 1, 6, 0, 0
