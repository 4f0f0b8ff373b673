// The fixed 50-byte text slots of the settings record: a descriptor, the
// colour text. Texts are read from a slot and never past it.
#pragma once
#include <cstddef>
#include <string_view>

constexpr std::size_t kSettingsTextSize = 50;  // 49 characters and the zero

// Reads at most `slotSize` bytes of a zero-terminated text held in a fixed slot.
std::string_view SlotText(const char* slot, std::size_t slotSize = kSettingsTextSize - 1);

// Puts `text` into a slot: cut to 49 characters, the rest zeros.
void SetSettingsText(char (&slot)[kSettingsTextSize], std::string_view text);
