// The language of every text and window softveil shows, and the resources in
// it. Each resource is looked up with its language named (never through the
// thread's language, which not every system lets a program set) and, when a
// language lacks one, taken from the other.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "settings/language.h"

// The Windows language of each of softveil's languages: Chinese (PRC) and
// English (United States), as the resources carry them.
LANGID LanguageId(UiLanguage language);

// From now on texts, dialogs and menus are taken in the language chosen by
// the `language` key's value and the system's user-interface language.
void SetUiLanguageFromSetting(std::string_view iniValue);

// String `id` of `module`'s string table in `language`, else in the other
// language; empty when neither has it.
std::wstring LoadTextFrom(HMODULE module, LANGID language, UINT id);
// Dialog template `id` of `module` in `language`, else in the other; null
// when neither has it.
const DLGTEMPLATE* FindDialogTemplateIn(HMODULE module, LANGID language, int id);

// The same from the program's own resources in the language in use.
std::wstring LoadText(UINT id);
const DLGTEMPLATE* FindDialogTemplate(int id);
// FormatText of string `id`: "%1" to "%9" wherever the language puts them.
std::wstring FormatResourceText(UINT id, std::initializer_list<std::wstring_view> args);
