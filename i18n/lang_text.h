#pragma once

#include <QString>

namespace i18n {

// One fixed text of the program in the three languages, as UTF-8 literals.
struct Texts
{
    const char *english;
    const char *traditional;
    const char *simplified;
};

// The language a LangCode value stands for: lang::Traditional for 1028,
// lang::Simplified for 2052 and lang::English for every other value.
int effectiveLanguage(int langCode);

// The text of the given language (1028 Traditional, 2052 Simplified, any
// other value English).
QString pickText(int langCode, const Texts &texts);

} // namespace i18n
