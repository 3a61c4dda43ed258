#include "run_time_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef QUORELWIN_DATA_FROM_BIN
#define QUORELWIN_DATA_FROM_BIN "../share/quorelwin"
#endif

namespace {

std::optional<QStringList> &overridden()
{
    static std::optional<QStringList> folders;
    return folders;
}

} // namespace

QStringList runTimeFolders()
{
    if (overridden())
        return *overridden();
    return runTimeFolders(QCoreApplication::applicationDirPath(), QDir::currentPath());
}

QStringList runTimeFolders(const QString &programDir, const QString &workingDir)
{
    const QDir program(programDir);
    return {program.absolutePath(),
            QDir::cleanPath(program.absoluteFilePath(QStringLiteral(QUORELWIN_DATA_FROM_BIN))),
            QDir(workingDir).absolutePath()};
}

QString findRunTimeFile(const QString &name, const QStringList &folders)
{
    if (name.isEmpty())
        return {};
    for (const QString &folder : folders) {
        const QFileInfo file(QDir(folder), name);
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

QString runTimeFile(const QString &name)
{
    return findRunTimeFile(name, runTimeFolders());
}

QPixmap runTimePicture(const QString &name)
{
    const QString path = runTimeFile(name);
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}

void overrideRunTimeFolders(std::optional<QStringList> folders)
{
    overridden() = std::move(folders);
}
