// The serial devices this user may not open, and their stable names.
#include "device_enumerator.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(DeviceEnumerator, NamesTheDevicesThisUserMayNotOpenWithTheirGroupAndStableNames)
{
    namespace fs = std::filesystem;
    QTemporaryDir dir;
    const fs::path top = dir.path().toStdString();
    const std::string adapter = top / "ttyUSB7", other = top / "ttyUSB8";
    std::ofstream{adapter};
    std::ofstream{other};
    // The group the device belongs to is named (dialout where the test may give it).
    if (const group *dialout = ::getgrnam("dialout"); dialout && ::geteuid() == 0) {
        ASSERT_EQ(::chown(adapter.c_str(), 0, dialout->gr_gid), 0);
    }
    struct stat status;
    ASSERT_EQ(::stat(adapter.c_str(), &status), 0);
    const std::string owner = ::getgrgid(status.st_gid)->gr_name;
    fs::create_directory(top / "by-id");
    fs::create_symlink("../ttyUSB7", top / "by-id" / "usb-FTDI_FT232R_A50285BI-if00-port0");
    const std::string stable = top / "by-id" / "usb-FTDI_FT232R_A50285BI-if00-port0";

    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(adapter + ":" + other));
    // The open error comes from the seam: as root every access(2) succeeds.
    SystemDeviceEnumerator enumerator(
        [&](const std::string &path) {
            return path == adapter ? EACCES : path == other ? ENOENT : 0;
        },
        (top / "by-id").string());
    const Enumeration devices = enumerator.enumerate();
    qunsetenv("QUORELWIN_EXTRA_PORTS");

    ASSERT_EQ(devices.denied.size(), 1u);
    EXPECT_EQ(devices.denied[0].path, adapter);
    EXPECT_EQ(devices.denied[0].group, owner);
    EXPECT_TRUE(devices.denied[0].adapter);
    EXPECT_EQ(devices.stableNames.at(adapter), stable);
    EXPECT_FALSE(devices.stableNames.contains(other));
    EXPECT_TRUE(sameDevice(stable, adapter));
    EXPECT_FALSE(sameDevice(stable, other));
    // A device owned by root's group cannot be fixed by joining it.
    EXPECT_EQ(permissionMessage({{"/dev/ttyS0", "root", false}}),
              "Permission denied: your user may not open /dev/ttyS0 (owned by group root). Ask "
              "the administrator to give your user access to it.");
}
