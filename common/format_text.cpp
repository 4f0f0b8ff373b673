#include "common/format_text.h"

#include <vector>

std::wstring FormatText(std::wstring_view pattern, std::initializer_list<std::wstring_view> args) {
  const std::vector<std::wstring_view> arguments(args);
  std::wstring out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const wchar_t c = pattern[i];
    const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
    if (c != L'%' || !(next == L'%' || (next >= L'1' && next <= L'9'))) {
      out += c;
      continue;
    }
    ++i;
    if (next == L'%') {
      out += L'%';
    } else if (const std::size_t n = static_cast<std::size_t>(next - L'1'); n < arguments.size()) {
      out += arguments[n];
    }
  }
  return out;
}
