#include "common/language_win32.h"

#include "common/format_text.h"

namespace {

constexpr LANGID kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

LANGID g_uiLanguage = kChinese;

LANGID OtherLanguage(LANGID language) { return language == kChinese ? kEnglish : kChinese; }

// The bytes of a resource in this language, or nothing.
std::wstring_view ResourceIn(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language) {
  HRSRC found = FindResourceExW(module, type, name, language);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const wchar_t*>(data), SizeofResource(module, found) / sizeof(wchar_t)};
}

// A string table holds its strings in blocks of 16: block n has the ids
// 16 (n - 1) to 16 n - 1, each a count of UTF-16 units and that many units,
// with no terminating zero. An id the block does not use has count 0.
std::wstring StringFromBlock(std::wstring_view block, UINT id) {
  std::size_t at = 0;
  for (UINT i = 0; i < id % 16; ++i) {
    if (at >= block.size()) return {};
    at += 1 + block[at];
  }
  if (at >= block.size()) return {};
  const std::size_t length = block[at];
  if (at + 1 + length > block.size()) return {};
  return std::wstring(block.substr(at + 1, length));
}

}  // namespace

LANGID LanguageId(UiLanguage language) { return language == UiLanguage::Chinese ? kChinese : kEnglish; }

void SetUiLanguageFromSetting(std::string_view iniValue) {
  g_uiLanguage = LanguageId(ChooseUiLanguage(iniValue, GetUserDefaultUILanguage()));
}

std::wstring LoadTextFrom(HMODULE module, LANGID language, UINT id) {
  const LPCWSTR block = MAKEINTRESOURCEW(id / 16 + 1);
  for (const LANGID lang : {language, OtherLanguage(language)}) {
    std::wstring text = StringFromBlock(ResourceIn(module, RT_STRING, block, lang), id);
    if (!text.empty()) return text;
  }
  return {};
}

const DLGTEMPLATE* FindDialogTemplateIn(HMODULE module, LANGID language, int id) {
  for (const LANGID lang : {language, OtherLanguage(language)}) {
    const std::wstring_view bytes = ResourceIn(module, RT_DIALOG, MAKEINTRESOURCEW(id), lang);
    if (!bytes.empty()) return reinterpret_cast<const DLGTEMPLATE*>(bytes.data());
  }
  return nullptr;
}

std::wstring LoadText(UINT id) { return LoadTextFrom(GetModuleHandleW(nullptr), g_uiLanguage, id); }

const DLGTEMPLATE* FindDialogTemplate(int id) {
  return FindDialogTemplateIn(GetModuleHandleW(nullptr), g_uiLanguage, id);
}

std::wstring FormatResourceText(UINT id, std::initializer_list<std::wstring_view> args) {
  return FormatText(LoadText(id), args);
}
