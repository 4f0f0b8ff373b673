// Text helpers on ASCII rules, one of each for every floor: the settings
// file, the key names, the dialogs' forms and the command line. (The C
// library's versions depend on the locale.)
#pragma once
#include <string>
#include <string_view>

// A blank as typed between words: a space or a tab.
template <typename Char>
constexpr bool IsBlank(Char c) {
  return c == Char(' ') || c == Char('\t');
}

// `text` without the characters `isSpace` takes at its front, or at both ends.
template <typename Predicate>
std::string_view TrimFront(std::string_view text, Predicate isSpace) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  return text;
}
template <typename Predicate>
std::string_view Trim(std::string_view text, Predicate isSpace) {
  text = TrimFront(text, isSpace);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

inline std::string_view TrimBlanks(std::string_view text) { return Trim(text, IsBlank<char>); }

// Equal but for the case of the ASCII letters.
bool SameAsciiText(std::string_view a, std::string_view b);

// Only ASCII matters to the number and key conversions; anything else
// becomes '?', which stops a number and names no key.
std::string NarrowToAscii(std::wstring_view text);
