// The live log: each row is in the file as soon as it is written, and a file
// that cannot be written is reported, never thrown.
#include "live_log.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
std::string contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll().toStdString();
}
} // namespace

TEST(LiveLog, EachRowIsInTheFileBeforeTheLogStops)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pv log.csv");
    const std::vector<LiveValue> values = {{"PV1", "deg C"}, {"F(PV1,PV2)", "deg C"}};
    LiveLog log;
    ASSERT_TRUE(log.start(path.toStdString(), values)) << log.error();
    std::string expected = liveCsvHeader(values);
    EXPECT_EQ(contents(path), expected);
    const std::vector<std::vector<std::string>> polls = {{"-12", "OPEN"}, {"", ""}, {"3", "0.5"}};
    for (const auto &texts : polls) {
        const std::string time = liveTimeStamp();
        EXPECT_TRUE(log.append(time, texts));
        expected += liveCsvRow(time, texts);
        EXPECT_EQ(contents(path), expected);
    }
    EXPECT_EQ(log.rows(), 3);
    log.stop();
    EXPECT_FALSE(log.append(liveTimeStamp(), {"1", "2"}));
    EXPECT_EQ(contents(path), expected);
}

TEST(LiveLog, AFileThatCannotBeWrittenIsReportedWithItsReason)
{
    QTemporaryDir dir;
    const std::string missing = dir.filePath("no such folder/log.csv").toStdString();
    for (const std::string &path : {missing, dir.path().toStdString(), std::string("/dev/full")}) {
        LiveLog log;
        EXPECT_FALSE(log.start(path, {{"PV", ""}})) << path;
        EXPECT_FALSE(log.isRunning()) << path;
        EXPECT_EQ(log.error().rfind(path + " cannot be written: ", 0), 0u) << log.error();
        EXPECT_FALSE(log.append(liveTimeStamp(), {"1"})) << path;
    }
}
