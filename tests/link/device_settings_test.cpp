#include "device_settings.h"
#include "link.h"
#include "sim_module.h"
#include "simulated_line.h"

#include <gtest/gtest.h>

TEST(DeviceSettings, InformationBlockDecodesModelVersionAndSerial)
{
    for (const std::uint32_t serial : {703070001u, 0xFFFFFFFFu}) { // bytes 29 E7 FF 31, FF FF FF FF
        auto module = SimModule::create({5, 52, 20, serial, 1, 2});
        Link link(std::make_unique<SimulatedLine>(module.get()));
        link.OpenCom(0, 2);
        link.SendCmd(1, 4, InfoBlockRegister, InfoBlockCount);
        link.ReadReply();
        ASSERT_TRUE(link.ReplyOk(InfoBlockCount));
        const InfoBlock info = decodeInfoBlock(link);
        EXPECT_EQ(info.model, 52);
        EXPECT_EQ(info.version, 20);
        EXPECT_EQ(info.serial, serial);
    }
    EXPECT_EQ(VersionTable(0), "V00");
    EXPECT_EQ(VersionTable(7), "V07");
    EXPECT_EQ(VersionTable(20), "V20");
    EXPECT_EQ(VersionTable(21), "V21");
    EXPECT_EQ(VersionTable(255), "V255");
}
