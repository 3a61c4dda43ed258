#include "lang_text.h"

#include "combuf.h"

namespace i18n {

int effectiveLanguage(int langCode)
{
    switch (langCode) {
    case lang::Traditional: return lang::Traditional;
    case lang::Simplified: return lang::Simplified;
    default: return lang::English;
    }
}

QString pickText(int langCode, const Texts &texts)
{
    switch (effectiveLanguage(langCode)) {
    case lang::Traditional: return QString::fromUtf8(texts.traditional);
    case lang::Simplified: return QString::fromUtf8(texts.simplified);
    default: return QString::fromUtf8(texts.english);
    }
}

} // namespace i18n
