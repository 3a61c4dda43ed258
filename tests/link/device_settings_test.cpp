#include "device_settings.h"
#include "link.h"
#include "numtext.h"
#include "sim_module.h"
#include "simulated_line.h"

#include <gtest/gtest.h>

namespace {

struct DeviceSettings : ::testing::Test
{
    std::unique_ptr<SimModule> module;
    SimulatedLine *line = nullptr;
    std::unique_ptr<Link> link;

    void attach(const ModuleConfig &config)
    {
        module = SimModule::create(config);
        auto owned = std::make_unique<SimulatedLine>(module.get());
        line = owned.get();
        link = std::make_unique<Link>(std::move(owned));
        link->ComBuf[cb::ComNo] = 3;
        link->ComBuf[cb::DevAddr] = static_cast<std::int16_t>(config.address);
        link->OpenCom(2, config.baudCode);
    }

    std::vector<LoggedRequest> expected(std::initializer_list<std::array<int, 5>> rows)
    {
        std::vector<LoggedRequest> out;
        for (const auto &r : rows) {
            LoggedRequest request;
            request.address = r[0];
            request.function = r[1];
            request.reg = r[2];
            request.value = r[3];
            request.baud = r[4];
            out.push_back(request);
        }
        return out;
    }
};

} // namespace

TEST_F(DeviceSettings, InformationBlockDecodesModelVersionAndSerial)
{
    attach({5, 52, 20, 703070001, 1, 2});
    const InfoBlock info = readInfoBlock(*link);
    EXPECT_EQ(info.model, 52);
    EXPECT_EQ(info.version, 20);
    EXPECT_EQ(info.serial, 703070001u); // bytes 29 E7 FF 31

    attach({2, 32, 9, 0xFFFFFFFF, 1, 2});
    EXPECT_EQ(readInfoBlock(*link).serial, 4294967295u);

    EXPECT_EQ(VersionTable(0), "V00");
    EXPECT_EQ(VersionTable(7), "V07");
    EXPECT_EQ(VersionTable(20), "V20");
    EXPECT_EQ(VersionTable(21), "V21");
    EXPECT_EQ(VersionTable(255), "V255");
}

TEST_F(DeviceSettings, SerialNumberIsWrittenAsTwoWordsAndCommitted)
{
    attach({2, 32, 9, 1, 1, 2});
    EXPECT_EQ(loadSerialNumber(*link, "0703070001", 21), 703070001u);
    EXPECT_EQ(line->log(),
              expected({{1, 5, 7938, 10727, 2}, {1, 5, 7939, 65329, 2}, {1, 5, 21, 34, 2}}));
    EXPECT_EQ(readInfoBlock(*link).serial, 703070001u);

    // The transmitter families commit with their command cell 9.
    attach({1, 1, 7, 1, 1, 2});
    EXPECT_EQ(loadSerialNumber(*link, "4294967295", 9), 4294967295u);
    EXPECT_EQ(line->log(),
              expected({{1, 5, 7938, 65535, 2}, {1, 5, 7939, 65535, 2}, {1, 5, 9, 34, 2}}));

    // A rejected echo is sent once more; nothing is sent for invalid text.
    line->clearLog();
    line->injectFault(LineFault::BadCrc);
    loadSerialNumber(*link, "12.9", 9);
    EXPECT_EQ(line->log().size(), 4u);
    EXPECT_EQ(line->log()[1].reg, 7938);
    EXPECT_EQ(line->log()[2].value, 12);
    line->clearLog();
    EXPECT_THROW(loadSerialNumber(*link, "07O3", 9), ConversionError);
    EXPECT_TRUE(line->log().empty());
}

TEST_F(DeviceSettings, AddressFieldFallsBackToOne)
{
    for (const char *text : {"0", "256", "", "  ", "-4"})
        EXPECT_EQ(checkAddressText(text), "1") << '"' << text << '"';
    for (const char *text : {"255", "1", "42"})
        EXPECT_EQ(checkAddressText(text), text);
    EXPECT_THROW(checkAddressText("1a"), ConversionError);
}

TEST_F(DeviceSettings, RestoreFollowsTheModuleToItsOwnAddressAndBaud)
{
    attach({2, 32, 9, 1, 1, 2});
    module->setHolding(24, 5);
    module->setHolding(25, 1);
    EXPECT_EQ(restoreAddressAndBaud(*link, 24), 5);
    EXPECT_EQ(line->log(), expected({{1, 3, 24, 2, 2}, {1, 5, 19, 5, 2}, {5, 6, 20, 1, 2}}));
    EXPECT_EQ(link->ComBuf[cb::DevAddr], 5);
    EXPECT_EQ(line->baudCode(), 1);
    EXPECT_EQ(line->portIndex(), 2);
    EXPECT_EQ(module->address(), 5);
    EXPECT_EQ(module->baudCode(), 1);
    EXPECT_EQ(readInfoBlock(*link).model, 32);
}

TEST_F(DeviceSettings, AddressAndBaudWriteIsTheLastStepOfAConfigurationWrite)
{
    attach({4, 49, 3, 1, 1, 2});
    EXPECT_TRUE(writeAddressAndBaud(*link, 12, 0));
    EXPECT_EQ(line->log(), expected({{1, 5, 19, 12, 2}, {12, 6, 20, 0, 2}}));
    EXPECT_EQ(line->baudCode(), 0);
    EXPECT_EQ(readInfoBlock(*link).model, 49);

    // No baud rate selected: the module is told the rate it already runs at.
    line->clearLog();
    EXPECT_TRUE(writeAddressAndBaud(*link, 12, -1));
    EXPECT_EQ(line->log().back(), expected({{12, 6, 20, 0, 0}}).front());
    EXPECT_EQ(line->baudCode(), 0);

    // A rejected address write: nothing else is sent, the port stays as it was.
    line->clearLog();
    const int opens = line->openCount();
    line->injectFault(LineFault::NoReply, 2);
    EXPECT_FALSE(writeAddressAndBaud(*link, 30, 3));
    EXPECT_EQ(line->log().size(), 2u);
    EXPECT_EQ(link->ComBuf[cb::DevAddr], 12);
    EXPECT_EQ(line->openCount(), opens);
}

TEST_F(DeviceSettings, SetButtonWritesAddressThenBaudAtTheNewAddress)
{
    attach({2, 32, 9, 1, 1, 2});
    setAddressAndBaud(*link, 7, 3);
    EXPECT_EQ(line->log(), expected({{1, 5, 19, 7, 2}, {7, 6, 20, 3, 2}}));
    EXPECT_EQ(link->ComBuf[cb::DevAddr], 7);
    EXPECT_EQ(line->baudCode(), 3);
    EXPECT_EQ(readInfoBlock(*link).model, 32);
}
