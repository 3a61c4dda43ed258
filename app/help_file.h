#pragma once

#include <QString>

// Help file of a window for a language code: stem + "-E.chm", "-T.chm" (1028)
// or "-S.chm" (2052).
QString helpFileName(const QString &stem, int langCode);
// Opens a help file found beside the program (runTimeFile) with the desktop's
// "open"; a missing file is ignored.
void openHelpFile(const QString &fileName, bool maximized);
