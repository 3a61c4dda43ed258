#include "run_time_files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// An installed tree (bin/, share/quorelwin/) and a working directory elsewhere.
TEST(RunTimeFiles, FoundBesideTheProgramThenInItsDataFolderThenInTheWorkingDirectory)
{
    QTemporaryDir root;
    const QDir tree(root.path());
    const QString bin = tree.filePath("prefix/bin");
    const QString data = tree.filePath("prefix/share/quorelwin");
    const QString work = tree.filePath("work");
    QDir().mkpath(bin);
    touch(data + "/SOn.bmp");
    touch(data + "/SOff.bmp");
    touch(bin + "/SOff.bmp");
    touch(work + "/SOff.bmp");
    touch(work + "/QRC-E.chm");

    const QStringList folders = runTimeFolders(bin, work);
    EXPECT_EQ(folders, (QStringList{bin, data, work}));
    const std::pair<const char *, QString> cases[] = {
        {"SOn.bmp", data + "/SOn.bmp"},     // only in the data folder
        {"SOff.bmp", bin + "/SOff.bmp"},    // beside the program comes first
        {"QRC-E.chm", work + "/QRC-E.chm"}, // the working directory still counts
        {"QRC-T.chm", QString()},           // nowhere
        {"", QString()},
        {"prefix", QString()}, // a folder is no file
    };
    for (const auto &[name, found] : cases)
        EXPECT_EQ(findRunTimeFile(name, folders), found) << name;
}

// The build copies the pictures beside its programs: a test started from
// another directory still finds them.
TEST(RunTimeFiles, TheBuildsPicturesAreFoundFromAnyWorkingDirectory)
{
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    const QString on = runTimeFile("SOn.bmp");
    const bool loaded = !runTimePicture("SOff.bmp").isNull();
    QDir::setCurrent(before);
    EXPECT_EQ(on, QDir(QCoreApplication::applicationDirPath()).filePath("SOn.bmp"));
    EXPECT_TRUE(loaded);

    overrideRunTimeFolders(QStringList{elsewhere.path()});
    EXPECT_TRUE(runTimePicture("SOn.bmp").isNull());
    overrideRunTimeFolders(std::nullopt);
}

} // namespace
