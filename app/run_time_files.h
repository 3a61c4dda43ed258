#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

#include <optional>

// Files the program loads at run time (the output-function pictures, the help
// files) are found next to the program, not in whatever directory it was
// started from. The folders searched, in order:
//   - the program's own folder (the build's bin/, where the build copies them),
//   - the data folder of an installed program (bin/../share/quorelwin),
//   - the working directory (a program started the old way).
QStringList runTimeFolders();
// The same folders for a program in programDir started in workingDir.
QStringList runTimeFolders(const QString &programDir, const QString &workingDir);

// The first of folders that holds a file of that name, as an absolute path;
// empty when none does.
QString findRunTimeFile(const QString &name, const QStringList &folders);

// findRunTimeFile over runTimeFolders().
QString runTimeFile(const QString &name);

// A picture found by runTimeFile; a null pixmap when there is none.
QPixmap runTimePicture(const QString &name);

// Tests replace the folders searched (std::nullopt restores the usual ones).
void overrideRunTimeFolders(std::optional<QStringList> folders);
