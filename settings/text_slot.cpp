#include "settings/text_slot.h"

std::string_view SlotText(const char* slot, std::size_t slotSize) {
  if (slot == nullptr) return {};
  std::size_t length = 0;
  while (length < slotSize && slot[length] != '\0') ++length;
  return {slot, length};
}

void SetSettingsText(char (&slot)[kSettingsTextSize], std::string_view text) {
  const std::string_view kept = text.substr(0, kSettingsTextSize - 1);
  std::size_t i = 0;
  for (; i < kept.size(); ++i) slot[i] = kept[i];
  for (; i < kSettingsTextSize; ++i) slot[i] = '\0';
}
