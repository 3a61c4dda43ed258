// The serial devices this user may not open, and their stable names.
#include "device_enumerator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <unistd.h>

TEST(DeviceEnumerator, NamesTheDevicesThisUserMayNotOpenWithTheirGroupAndStableNames)
{
    QTemporaryDir dir;
    const std::string adapter = dir.filePath("ttyUSB7").toStdString();
    const std::string other = dir.filePath("ttyUSB8").toStdString();
    const std::string stable = dir.filePath("by-id/usb-FTDI_FT232R-if00-port0").toStdString();
    for (const std::string &path : {adapter, other})
        QFile(QString::fromStdString(path)).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QDir(dir.path()).mkdir("by-id") && QFile::link("../ttyUSB7", stable.c_str()));
    // The group that owns the device is named: dialout where the test may give it.
    const group *dialout = ::getgrnam("dialout");
    const bool root = dialout && ::geteuid() == 0;
    ASSERT_EQ(::chown(adapter.c_str(), -1, root ? dialout->gr_gid : -1), 0);

    // The open error comes from the seam: as root every access(2) succeeds.
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(adapter + ":" + other));
    const Enumeration devices =
        SystemDeviceEnumerator(
            [&](const std::string &path) { return path == adapter ? EACCES : 0; },
            dir.filePath("by-id").toStdString())
            .enumerate();
    qunsetenv("QUORELWIN_EXTRA_PORTS");
    ASSERT_EQ(devices.denied.size(), 1u);
    EXPECT_EQ(devices.denied[0].path, adapter);
    EXPECT_EQ(devices.denied[0].group, root ? "dialout" : ::getgrgid(::getegid())->gr_name);
    EXPECT_TRUE(devices.denied[0].adapter);
    EXPECT_EQ(devices.stableNames, (std::map<std::string, std::string>{{adapter, stable}}));
    EXPECT_TRUE(sameDevice(stable, adapter));
    EXPECT_FALSE(sameDevice(stable, other));
}
