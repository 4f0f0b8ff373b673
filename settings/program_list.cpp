#include "settings/program_list.h"

#include <algorithm>

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace

std::vector<std::string_view> ListedPrograms(std::string_view list) {
  std::vector<std::string_view> names;
  while (!list.empty()) {
    const std::size_t end = std::min(list.find(';'), list.size());
    if (const std::string_view name = TrimBlanks(list.substr(0, end)); !name.empty()) names.push_back(name);
    list.remove_prefix(std::min(end + 1, list.size()));
  }
  return names;
}

bool ProgramListed(std::string_view list, std::string_view imageName) {
  const std::vector<std::string_view> names = ListedPrograms(list);
  return std::any_of(names.begin(), names.end(), [&](std::string_view name) { return SameName(name, imageName); });
}
