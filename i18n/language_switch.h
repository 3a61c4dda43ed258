#pragma once

#include "caption_table.h"

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace i18n {

// One window of the program under its class name ("TForm3", "TForm1", ...).
struct WindowEntry
{
    QString name;
    QWidget *window = nullptr;
};
using WindowSet = std::vector<WindowEntry>;

// The seven windows that carry a Language menu: the scan window and the six
// family windows. The confirmation dialog is not among them.
const QStringList &languageWindowNames();

// Sets every caption of the caption table to the language's text (1028
// Traditional, 2052 Simplified, any other value English) in every window of
// the set, visible or hidden. Controls are found by objectName inside their
// window, menus and menu entries included, but not inside other windows the
// window owns (a dialog parented to it keeps its texts). A control that does
// not exist yet, or a window that is not in the set, is skipped. Texts are set
// exactly as stored, "&" included.
//
// How a control shows its caption: QAction text, QMenu title, tab text of a
// QTabWidget page, QGroupBox title (radio groups included), QAbstractButton
// and QLabel text, and the window title for WindowCaption.
void applyCaptions(int langCode, const WindowSet &windows);

// Moves the check mark of the Language menu to the current language in each
// of the seven windows of languageWindowNames(): the QActions named "English",
// "Traditional" and "Simplified" are unchecked first, then the current one is
// checked. Windows of other names are left alone.
void setLanguageChecks(int langCode, const WindowSet &windows);

// The whole switch: check marks first, then captions, each window searched once.
void switchLanguage(int langCode, const WindowSet &windows);

// Table entries that would not receive their caption with this window set:
// the window is not in the set, the control does not exist, or it is of a
// kind that shows no caption. In table order.
std::vector<CaptionTarget> missingControls(const WindowSet &windows);

} // namespace i18n
