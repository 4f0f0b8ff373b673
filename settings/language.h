// Which language softveil speaks: the one softveil.ini names, else the
// system's.
#pragma once
#include <cstdint>
#include <string_view>

enum class UiLanguage { Chinese, English };

// The values of the `language` key.
constexpr std::string_view kLanguageAuto = "auto";
constexpr std::string_view kLanguageChinese = "zh-CN";
constexpr std::string_view kLanguageEnglish = "en";

// `iniValue` is the `language` key: "zh-CN" or "en" (in any case) choose
// that language; "auto" and anything else leave it to the system.
// `systemLangId` is the system's user-interface language as a Windows
// language id: every Chinese one (zh-CN, zh-TW, zh-HK, ...) gives Chinese,
// every other English.
UiLanguage ChooseUiLanguage(std::string_view iniValue, std::uint16_t systemLangId);

// The choices of the language drop-down, in its order: the system's
// language, Chinese, English.
constexpr int kLanguageChoiceCount = 3;
// The drop-down entry that shows `iniValue` (an unknown value shows as the
// system's language, which is what it does).
int LanguageChoiceIndex(std::string_view iniValue);
// The key's value for an entry; "auto" for anything out of range.
std::string_view LanguageChoiceValue(int index);
