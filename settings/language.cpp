#include "settings/language.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::uint16_t kPrimaryLanguageMask = 0x3FF;  // PRIMARYLANGID
constexpr std::uint16_t kLangChinese = 0x04;           // LANG_CHINESE

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

constexpr std::string_view kChoices[kLanguageChoiceCount] = {kLanguageAuto, kLanguageChinese, kLanguageEnglish};

}  // namespace

UiLanguage ChooseUiLanguage(std::string_view iniValue, std::uint16_t systemLangId) {
  if (SameIgnoringCase(iniValue, kLanguageChinese)) return UiLanguage::Chinese;
  if (SameIgnoringCase(iniValue, kLanguageEnglish)) return UiLanguage::English;
  return (systemLangId & kPrimaryLanguageMask) == kLangChinese ? UiLanguage::Chinese : UiLanguage::English;
}

int LanguageChoiceIndex(std::string_view iniValue) {
  for (int i = 1; i < kLanguageChoiceCount; ++i) {
    if (SameIgnoringCase(iniValue, kChoices[i])) return i;
  }
  return 0;
}

std::string_view LanguageChoiceValue(int index) {
  return index >= 0 && index < kLanguageChoiceCount ? kChoices[index] : kLanguageAuto;
}
