// softveil's version, in the one place the version block of softveil.rc,
// the manifest (res/softveil.manifest.in, filled in by CMake) and the
// installer built by scripts/package read it from.
#pragma once

#define SOFTVEIL_VERSION 1, 6, 0, 0
