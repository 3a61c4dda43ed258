#pragma once

#include "lang_text.h"

#include <QString>

#include <vector>

namespace i18n {

// Control name that stands for a window's own title (the scan window's
// caption). No control can carry it as objectName, since it is not an
// identifier.
inline constexpr char WindowCaption[] = "@caption";

// One control of one window: the window's class name ("TForm1") and the
// control's objectName, or WindowCaption.
struct CaptionTarget
{
    QString window;
    QString control;

    bool operator==(const CaptionTarget &) const = default;
};

// One distinct text triple and every control that shows it. The same English
// text can appear in several rows when its Chinese texts differ.
struct CaptionRow
{
    Texts texts;
    std::vector<CaptionTarget> targets;
};

// The fixed captions of all windows that the language switch rewrites. Texts
// are stored exactly as they are shown: spaces, trailing "&" and spellings
// included.
const std::vector<CaptionRow> &captionTable();

} // namespace i18n
