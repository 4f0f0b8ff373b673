// What the band follows, as the settings record gives it: the reader's own
// drags (as it always has), the mouse pointer, or the text caret of the
// window being read.
#pragma once
#include <string_view>

#include "settings/mask_settings.h"

enum class FollowMode { Drag, Pointer, Caret };

// The values of the `follow` key, in the order of the drop-down's entries.
constexpr std::string_view kFollowDrag = "drag";
constexpr std::string_view kFollowPointer = "pointer";
constexpr std::string_view kFollowCaret = "caret";
constexpr int kFollowChoiceCount = 3;

// The mode a value names (in any case); anything else is a drag.
FollowMode FollowModeOf(std::string_view value);
inline FollowMode FollowModeOf(const MaskSettings& settings) { return FollowModeOf(SlotText(settings.follow)); }
// The key's value for a mode, which is also its drop-down entry's index.
std::string_view FollowModeValue(FollowMode mode);

// The pointer offset in force, in pixels at 96 DPI: the setting when it is
// 0 to kMaxFollowOffset, else -1 (the thickness less a quarter of it).
constexpr int kMaxFollowOffset = 10000;
int PointerOffsetOf(const MaskSettings& settings);
