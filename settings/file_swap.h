// The last step of a safe save: a complete new file takes the old one's
// place in one step. Each platform has its own way to keep what belongs to
// the old file rather than to its bytes.
#pragma once
#include <filesystem>

// Puts `written` (a complete file beside `target`) in `target`'s place. An
// existing `target` keeps its attributes and permissions. False, with
// `target` unchanged, when the swap failed; `written` may then remain.
bool SwapInFile(const std::filesystem::path& written, const std::filesystem::path& target);
