// The window region of a guide's shape (mask/guide_shape.h): the union of
// its parts less its hole. The mask's surface hands it to the system; the
// benchmark compares what the system holds with it.
#pragma once
#include <windows.h>

#include "common/handles_win32.h"
#include "mask/guide_shape.h"

UniqueRegion GuideRegion(const GuideShape& shape);
