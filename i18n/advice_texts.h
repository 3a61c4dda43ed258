#pragma once

#include "lang_text.h"

namespace i18n {

// The messages and advisories the device windows show in a box, in the three
// languages, by name.
enum class Advice {
    Busy,
    NotRead,
    NotSaved,
    NotOpened,
    OtherFamily,
    Damaged,
    Opened,
    Corrected,
    NotOnModule,
    SettingsKept,
    OtherModel,
    TakeSettings,
    LineLost,
    EmptyChoices,
    OwnSettingsUnread,
    OwnSettingsLeftOut,
    ReportNotRead,
    ReportNotSaved,
    LogNotWritten,
    Ch2CannotBeThermocouple,
    Ch1CannotBePt100,
};

const Texts &adviceTexts(Advice advice);
// The text of an advice in the language of langCode.
QString adviceText(Advice advice, int langCode);

} // namespace i18n
