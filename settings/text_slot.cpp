#include "settings/text_slot.h"

#include <algorithm>
#include <cstring>

std::string_view SlotText(const char* slot, std::size_t slotSize) {
  if (slot == nullptr) return {};
  const void* nul = std::memchr(slot, '\0', slotSize);
  return {slot, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - slot) : slotSize};
}

void SetSettingsText(char (&slot)[kSettingsTextSize], std::string_view text) {
  const std::string_view kept = text.substr(0, kSettingsTextSize - 1);
  std::fill(std::copy(kept.begin(), kept.end(), slot), std::end(slot), '\0');
}
