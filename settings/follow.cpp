#include "settings/follow.h"

#include <algorithm>

namespace {

constexpr std::string_view kValues[kFollowChoiceCount] = {kFollowDrag, kFollowPointer, kFollowCaret};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

}  // namespace

FollowMode FollowModeOf(std::string_view value) {
  for (int i = 0; i < kFollowChoiceCount; ++i) {
    if (SameIgnoringCase(value, kValues[i])) return static_cast<FollowMode>(i);
  }
  return FollowMode::Drag;
}

std::string_view FollowModeValue(FollowMode mode) { return kValues[static_cast<int>(mode)]; }

int PointerOffsetOf(const MaskSettings& settings) {
  const int offset = settings.pointer_offset;
  return offset >= 0 && offset <= kMaxFollowOffset ? offset : -1;
}
