#include "settings/ascii_text.h"

#include <cstdint>

namespace {

char AsciiLower(char c) { return static_cast<unsigned char>(c - 'A') < 26 ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // most names are written as asked for
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::string NarrowToAscii(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (const wchar_t c : text) out += static_cast<std::uint32_t>(c) < 0x80 ? static_cast<char>(c) : '?';
  return out;
}
