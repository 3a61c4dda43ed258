#include "help_file.h"

#include "combuf.h"
#include "run_time_files.h"

#include <QDesktopServices>
#include <QUrl>

QString helpFileName(const QString &stem, int langCode)
{
    switch (langCode) {
    case lang::Traditional: return stem + "-T.chm";
    case lang::Simplified: return stem + "-S.chm";
    default: return stem + "-E.chm";
    }
}

void openHelpFile(const QString &fileName, bool maximized)
{
    Q_UNUSED(maximized) // the desktop's viewer decides how it shows the file
    const QString path = runTimeFile(fileName);
    if (!path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
