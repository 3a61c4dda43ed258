#pragma once

#include "lang_text.h"

#include <QColor>

class StatusLabel;

namespace i18n {

// The status messages that several windows show in their status label.
enum class Status {
    Transmission,
    ReadSuccess,
    ReadFail,
    WriteSuccess,
    WriteFail,
    WriteMemoryFail,
    Scan,
    CommunicationError,
    DeviceNotFound
};

Texts statusTexts(Status status);
QString statusText(Status status, int langCode);
// Blue for progress, green for success, red for failure.
QColor statusColor(Status status);

// Sets the label's font colour, then its text in the language of langCode.
// The text is chosen now: a later language switch leaves it as it is.
void showStatus(StatusLabel &label, Status status, int langCode);

} // namespace i18n
