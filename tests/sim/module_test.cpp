#include "crc.h"
#include "test_bench.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct FamilyCase
{
    ModuleConfig config;
    int commandRegister;
    int holdingCount;
};

// One module per family, each with its own address, rate and serial number.
const FamilyCase Families[] = {
    {{1, 1, 9, 0x12345678u, 3, 1}, 9, 11}, {{2, 33, 8, 123456789u, 1, 2}, 21, 26},
    {{3, 5, 5, 0xFFFFFFFFu, 1, 0}, 9, 36}, {{4, 55, 3, 1u, 17, 3}, 21, 32},
    {{5, 50, 3, 65536u, 255, 2}, 21, 32},
};

void PrintTo(const FamilyCase &family, std::ostream *os)
{
    *os << "family " << family.config.family << " model " << family.config.model;
}

std::vector<std::uint8_t> frame(std::vector<std::uint8_t> bytes)
{
    const std::uint16_t crc = crc16Modbus(bytes.data(), bytes.size());
    bytes.push_back(crc & 0xFF);
    bytes.push_back(crc >> 8);
    return bytes;
}

std::vector<std::uint8_t> request(int address, int function, int reg, int value)
{
    return frame({static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(function),
                  static_cast<std::uint8_t>(reg >> 8), static_cast<std::uint8_t>(reg),
                  static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

int otherBaud(int code)
{
    return (code + 1) % 4;
}

class EveryFamily : public ::testing::TestWithParam<FamilyCase>
{
protected:
    void SetUp() override
    {
        setMessageSink([](const std::string &) {});
    }
    void TearDown() override { setMessageSink(nullptr); }
};

TEST_P(EveryFamily, InformationBlockDecodesToTheConfiguredModule)
{
    const ModuleConfig &config = GetParam().config;
    TestBench bench(config);
    ASSERT_TRUE(bench.read(config.address, 4, 7936, 4));
    const auto &buf = bench.link->ComBuf;
    EXPECT_EQ(buf[23], config.model);
    EXPECT_EQ(buf[24], config.version);
    EXPECT_EQ(buf[25] * 256 + buf[26], 0);
    const std::uint32_t serial = (static_cast<std::uint32_t>(buf[27]) * 256 + buf[28]) * 65536u +
                                 static_cast<std::uint32_t>(buf[29]) * 256 + buf[30];
    EXPECT_EQ(serial, config.serial);
}

TEST_P(EveryFamily, NewAddressAnswersFromTheNextRequestAndTheOldOneFallsSilent)
{
    const ModuleConfig &config = GetParam().config;
    TestBench bench(config);
    const int newAddress = config.address == 42 ? 43 : 42;
    ASSERT_TRUE(bench.write(config.address, 5, 19, newAddress));
    EXPECT_EQ(bench.replyByte(0), config.address); // the echo still comes from the old address

    bench.exchange(config.address, 4, 7936, 4);
    EXPECT_FALSE(bench.answered());
    EXPECT_TRUE(bench.read(newAddress, 4, 7936, 4));
    EXPECT_EQ(bench.module->address(), newAddress);
}

TEST_P(EveryFamily, NewBaudCodeMakesTheModuleDeafAtTheOldRate)
{
    const ModuleConfig &config = GetParam().config;
    TestBench bench(config);
    const int newBaud = otherBaud(config.baudCode);
    // The echo still travels at the old rate.
    ASSERT_TRUE(bench.write(config.address, 6, 20, newBaud));

    bench.exchange(config.address, 4, 7936, 4);
    EXPECT_FALSE(bench.answered());
    EXPECT_FALSE(bench.line->log().back().heard);
    EXPECT_EQ(bench.line->log().back().baud, config.baudCode);

    bench.link->Reopen(newBaud);
    EXPECT_TRUE(bench.read(config.address, 4, 7936, 4));
}

TEST_P(EveryFamily, SerialNumberCellsTakeEffectWithCommandCode34)
{
    const FamilyCase &family = GetParam();
    const ModuleConfig &config = family.config;
    TestBench bench(config);
    ASSERT_TRUE(bench.write(config.address, 5, 7938, 0x29E7));
    ASSERT_TRUE(bench.write(config.address, 5, 7939, 0xFF31));
    EXPECT_EQ(bench.module->serialNumber(), config.serial); // not yet

    ASSERT_TRUE(bench.write(config.address, 5, family.commandRegister, 34));
    EXPECT_EQ(bench.module->serialNumber(), 703070001u);
    ASSERT_TRUE(bench.read(config.address, 4, 7938, 2));
    EXPECT_EQ(bench.reg(0), 0x29E7);
    EXPECT_EQ(bench.reg(1), 0xFF31);
    EXPECT_EQ(bench.module->commandRegister(), family.commandRegister);
    EXPECT_EQ(bench.module->commands().back(), (CommandRecord{5, family.commandRegister, 34}));
    // Model and version are untouched by the commit.
    EXPECT_EQ(bench.module->model(), config.model);
    EXPECT_EQ(bench.module->version(), config.version);
}

TEST_P(EveryFamily, RegistersOutsideTheFamilysMapGetExceptionTwo)
{
    const FamilyCase &family = GetParam();
    const ModuleConfig &config = family.config;
    TestBench bench(config);

    // The whole holding block in one read (the 36-register reply is longer
    // than the link's reply area, so it is checked at the module).
    const auto all = request(config.address, 3, 0, family.holdingCount);
    const auto reply = bench.module->handle(all.data(), all.size());
    ASSERT_EQ(reply.size(), 5u + 2u * family.holdingCount);
    EXPECT_EQ(reply[1], 3);

    // One register more: exception 2 (illegal address), five bytes with a good CRC.
    bench.exchange(config.address, 3, 0, family.holdingCount + 1);
    EXPECT_EQ(bench.replyByte(1), 0x83);
    EXPECT_EQ(bench.replyByte(2), 2);
    EXPECT_TRUE(bench.link->CrcCheck(3));
    EXPECT_FALSE(bench.link->CrcCheck(3 + 2 * (family.holdingCount + 1)));

    // A write to a register the family lacks changes nothing and says so.
    bench.exchange(config.address, 6, 200, 1);
    EXPECT_EQ(bench.replyByte(1), 0x86);
    EXPECT_EQ(bench.replyByte(2), 2);
    EXPECT_FALSE(bench.link->EchoOk());

    // Input registers: the information block exists everywhere, 4095 nowhere.
    EXPECT_TRUE(bench.read(config.address, 4, 7936, 4));
    bench.exchange(config.address, 4, 4095, 2);
    EXPECT_EQ(bench.replyByte(1), 0x84);
}

TEST_P(EveryFamily, LiveValuesDriftSlowlyAndReadOpenWhileTheSensorIsBroken)
{
    const ModuleConfig &config = GetParam().config;
    TestBench bench(config);
    ASSERT_TRUE(bench.read(config.address, 4, 4096, 1));
    const int first = static_cast<std::int16_t>(bench.reg(0));
    bench.line->wait(15000);
    ASSERT_TRUE(bench.read(config.address, 4, 4096, 1));
    const int later = static_cast<std::int16_t>(bench.reg(0));
    EXPECT_NE(later, first);
    EXPECT_NE(later, 32767);
    // Slowly: a quarter of a minute moves it by a few percent of the range at most.
    EXPECT_LT(std::abs(later - first), 400);

    bench.module->setSensorBroken(true);
    ASSERT_TRUE(bench.read(config.address, 4, 4096, 1));
    EXPECT_EQ(bench.reg(0), 32767);
    bench.module->setSensorBroken(false);
    ASSERT_TRUE(bench.read(config.address, 4, 4096, 1));
    EXPECT_NE(bench.reg(0), 32767);
}

INSTANTIATE_TEST_SUITE_P(Families, EveryFamily, ::testing::ValuesIn(Families),
                         [](const auto &info) {
                             return "Family" + std::to_string(info.param.config.family);
                         });

struct ModuleTest : ::testing::Test
{
    void SetUp() override
    {
        setMessageSink([](const std::string &) {});
    }
    void TearDown() override { setMessageSink(nullptr); }
};

TEST_F(ModuleTest, BroadcastForcesAddressAndBaudSilentlyAndKeepsTheOwnSettingsForTheRestore)
{
    // Converter and distributors keep their own settings in 24/25 and 30/31.
    for (const auto &[family, model, own] : {std::tuple{2, 32, 24}, {4, 49, 30}, {5, 50, 30}}) {
        SCOPED_TRACE(family);
        TestBench bench({family, model, 9, 703070001u, 9, 3});
        // The scan at 38400: address 1, then baud code 2, both broadcast.
        bench.exchange(0, 5, 19, 1);
        EXPECT_FALSE(bench.answered());
        const auto before = bench.line->clockUs();
        bench.link->ReadReply();
        EXPECT_EQ(bench.line->clockUs() - before, 100000); // a quiet line: one time-out
        bench.link->SendCmd(0, 6, 20, 2);
        bench.link->ReadReply();
        EXPECT_EQ(bench.module->address(), 1);
        EXPECT_EQ(bench.module->baudCode(), 2);

        bench.link->Reopen(2);
        ASSERT_TRUE(bench.read(1, 3, own, 2));
        EXPECT_EQ(bench.reg(0), 9);
        EXPECT_EQ(bench.reg(1), 3);
        ASSERT_TRUE(bench.read(1, 3, 19, 2));
        EXPECT_EQ(bench.reg(0), 1);
        EXPECT_EQ(bench.reg(1), 2);

        // The window's restore: address to 1, then the baud code to the new address.
        ASSERT_TRUE(bench.write(1, 5, 19, 9));
        ASSERT_TRUE(bench.write(9, 6, 20, 3));
        bench.link->Reopen(3);
        ASSERT_TRUE(bench.read(9, 3, own, 2));
        EXPECT_EQ(bench.reg(0), 9);
        EXPECT_EQ(bench.reg(1), 3);

        // A window's own write moves the restore registers along.
        ASSERT_TRUE(bench.write(9, 5, 19, 12));
        EXPECT_EQ(bench.module->holding(own), 12);
        // They are read-only on the line.
        bench.exchange(12, 5, own, 1);
        EXPECT_EQ(bench.replyByte(1), 0x85);
    }
}

TEST_F(ModuleTest, FunctionFiveCarriesAnyValueAndTheEchoIsTheRequestByteForByte)
{
    TestBench bench({});
    for (int value : {0x1234, 0xFFFF, 0x0000, 0xFF00, 0x8000}) {
        const auto req = request(1, 5, 2, value);
        EXPECT_EQ(bench.module->handle(req.data(), req.size()), req);
        EXPECT_EQ(bench.module->holding(2), value);
    }
    // Through the link, -1 goes out as FF FF and reads back as 65535.
    ASSERT_TRUE(bench.write(1, 5, 6, -1));
    ASSERT_TRUE(bench.read(1, 3, 6, 1));
    EXPECT_EQ(bench.reg(0), 0xFFFF);
}

TEST_F(ModuleTest, ImpossibleValuesAreRefusedWithExceptionThreeAndChangeNothing)
{
    TestBench converter({});
    const auto refused = [](TestBench &bench, int address, int function, int reg, int value) {
        bench.exchange(address, function, reg, value);
        return bench.replyByte(1) == (function | 0x80) && bench.replyByte(2) == 3 &&
               !bench.link->EchoOk();
    };
    // Address 0 would leave the module answering nobody; 256 has no byte.
    EXPECT_TRUE(refused(converter, 1, 5, 19, 0));
    EXPECT_TRUE(refused(converter, 1, 5, 19, 256));
    // An unselected baud list sends 65535.
    EXPECT_TRUE(refused(converter, 1, 6, 20, 65535));
    EXPECT_TRUE(refused(converter, 1, 6, 20, 4));
    EXPECT_EQ(converter.module->address(), 1);
    EXPECT_EQ(converter.module->baudCode(), 2);
    // F = (PV1 * A + PV2 * B) / C never divides by zero.
    EXPECT_TRUE(refused(converter, 1, 5, 16, 0));
    EXPECT_EQ(converter.module->holding(16), 2);
    // Reads of no register or of more than 125.
    converter.exchange(1, 3, 0, 0);
    EXPECT_EQ(converter.replyByte(2), 3);
    converter.exchange(1, 3, 0, 126);
    EXPECT_EQ(converter.replyByte(2), 3);

    TestBench distributor({5, 50, 3, 1u, 1, 2});
    EXPECT_TRUE(refused(distributor, 1, 5, 16, 0));
    // A divisor of 0 set behind the module's back still gives an open F, not a crash.
    distributor.module->setHolding(16, 0);
    EXPECT_EQ(distributor.module->input(4098), 32767);

    TestBench resistance({3, 5, 5, 1u, 1, 2});
    EXPECT_TRUE(refused(resistance, 1, 5, 7936, 8 * 256));
    EXPECT_TRUE(refused(resistance, 1, 5, 7936, 2 * 256));
    ASSERT_TRUE(resistance.write(1, 5, 9, 34));
    EXPECT_EQ(resistance.module->model(), 5);
}

TEST_F(ModuleTest, ResistanceTransmitterRefusesValuesItHasNoRoomFor)
{
    // (register, value, refused) for a module of version 5 and a compact one of version 4.
    struct Case
    {
        int reg;
        int value;
        bool full;
        bool compact;
    };
    const Case cases[] = {
        {4, 1500, false, true}, {4, -1500, false, true}, {4, 1501, true, true},
        {4, -1501, true, true}, {4, 50, false, false},   {4, -51, false, true},
        {5, 1, false, false},   {5, 2, true, true},      {5, 0xFFFF, true, true},
        {6, 2, false, false},   {6, 3, true, true},      {7, 32767, false, false},
        {7, 32768, true, true}, {8, 0xFFFF, true, true}, {8, 0, false, false},
    };
    for (const int version : {5, 4}) {
        TestBench bench({3, 5, version, 1u, 1, 2});
        for (const Case &c : cases) {
            const int before = bench.module->holding(c.reg);
            bench.exchange(1, c.reg == 6 ? 6 : 5, c.reg, c.value);
            const bool refused = bench.replyByte(2) == 3 && !bench.link->EchoOk();
            EXPECT_EQ(refused, version == 5 ? c.full : c.compact)
                << "version " << version << " register " << c.reg << " := " << c.value;
            if (refused) {
                EXPECT_EQ(bench.module->holding(c.reg), before);
            }
        }
        // The whole configuration block answers one read: 77 bytes.
        ASSERT_TRUE(bench.read(1, 3, 0, 36));
        EXPECT_EQ(bench.link->lastReceiveCount(), 77);
    }
}

TEST_F(ModuleTest, UnsupportedFunctionsAndDamagedFramesAreTreatedAsAModuleDoes)
{
    TestBench bench({});
    // Function 16 with a good CRC: exception 1.
    const auto multiple = frame({1, 16, 0, 2, 0, 1, 2, 0, 7});
    const auto reply = bench.module->handle(multiple.data(), multiple.size());
    ASSERT_EQ(reply.size(), 5u);
    EXPECT_EQ(reply[1], 0x90);
    EXPECT_EQ(reply[2], 1);
    // A damaged CRC, a fragment, another address: silence, and nothing done.
    auto damaged = request(1, 6, 2, 77);
    damaged[7] ^= 1;
    EXPECT_TRUE(bench.module->handle(damaged.data(), damaged.size()).empty());
    EXPECT_TRUE(bench.module->handle(damaged.data(), 3).empty());
    const auto other = request(2, 6, 2, 77);
    EXPECT_TRUE(bench.module->handle(other.data(), other.size()).empty());
    EXPECT_EQ(bench.module->holding(2), 0);
}

TEST_F(ModuleTest, TrimCommandsHoldEachOutputUntilItsNormalCommand)
{
    TestBench converter({});
    ASSERT_TRUE(converter.write(1, 5, 10, 6000));
    ASSERT_TRUE(converter.write(1, 5, 21, 27));
    ASSERT_TRUE(converter.write(1, 5, 21, 30));
    EXPECT_EQ(converter.module->outputMode(1), OutputMode::HoldLow);
    EXPECT_EQ(converter.module->outputMode(2), OutputMode::HoldHigh);
    ASSERT_TRUE(converter.write(1, 6, 21, 31));
    EXPECT_EQ(converter.module->outputMode(1), OutputMode::Normal);
    EXPECT_EQ(converter.module->outputMode(2), OutputMode::HoldHigh);
    ASSERT_TRUE(converter.write(1, 6, 21, 32));
    EXPECT_EQ(converter.module->outputMode(2), OutputMode::Normal);
    EXPECT_EQ(converter.module->commands(),
              (std::vector<CommandRecord>{{5, 21, 27}, {5, 21, 30}, {6, 21, 31}, {6, 21, 32}}));
    EXPECT_EQ(converter.module->holding(10), 6000);

    TestBench transmitter({1, 1, 9, 1u, 1, 2});
    ASSERT_TRUE(transmitter.write(1, 5, 9, 28));
    EXPECT_EQ(transmitter.module->outputMode(1), OutputMode::HoldHigh);
    ASSERT_TRUE(transmitter.write(1, 5, 9, 29)); // no second output: recorded, nothing held
    EXPECT_EQ(transmitter.module->outputMode(2), OutputMode::Normal);
    EXPECT_EQ(transmitter.module->commands().size(), 2u);
}

TEST_F(ModuleTest, CountsRiseWhileAPointIsActiveAndStandStillAfterItsStoreCode)
{
    TestBench bench({});
    const auto counts = [&bench] {
        EXPECT_TRUE(bench.read(1, 4, 4099, 5));
        std::vector<int> values;
        for (int i = 0; i < 5; ++i)
            values.push_back(bench.reg(i));
        return values;
    };
    const auto idle = counts();
    bench.line->wait(5000);
    EXPECT_EQ(counts(), idle); // no point: nothing moves

    // CH-1 RTD high as the window starts it: reference 500, then poll.
    ASSERT_TRUE(bench.write(1, 5, 22, 500));
    EXPECT_TRUE(bench.module->calibrationActive());
    const auto started = counts();
    bench.line->wait(3000);
    const auto risen = counts();
    for (int i = 0; i < 5; ++i)
        EXPECT_GT(risen[i], started[i]) << "A" << i;

    ASSERT_TRUE(bench.write(1, 5, 21, 3));
    EXPECT_FALSE(bench.module->calibrationActive());
    const auto stored = counts();
    bench.line->wait(3000);
    EXPECT_EQ(counts(), stored);
    ASSERT_EQ(bench.module->storedPoints().size(), 1u);
    EXPECT_EQ(bench.module->storedPoints()[0].code, 3);
    EXPECT_EQ(bench.module->storedPoints()[0].reference, 500);

    // The transmitter's class command and store code; its counts sit at 4099..4101.
    TestBench transmitter({1, 1, 9, 1u, 1, 2});
    ASSERT_TRUE(transmitter.write(1, 5, 10, 1000));
    ASSERT_TRUE(transmitter.write(1, 5, 9, 36));
    EXPECT_TRUE(transmitter.read(1, 4, 4099, 3));
    EXPECT_FALSE(transmitter.read(1, 4, 4096, 3)); // one live value only
    ASSERT_TRUE(transmitter.write(1, 5, 9, 9));
    EXPECT_EQ(transmitter.module->storedPoints().back().reference, 1000);
}

TEST_F(ModuleTest, ResistancePointsAreFiledInTheirRegistersWithCountsThatNeverFall)
{
    TestBench bench({3, 4, 5, 1u, 1, 2}); // 5 points
    int lastCount = -1;
    // Point 1 at 100, point 2 at the same value, point 5 (the last) at 900.
    for (const auto &[value, code, reg] : {std::tuple{100, 20, 11}, {100, 22, 12}, {900, 21, 35}}) {
        ASSERT_TRUE(bench.write(1, 5, 10, value));
        bench.line->wait(1000);
        ASSERT_TRUE(bench.read(1, 4, 4100, 1));
        const int count = bench.reg(0);
        EXPECT_GT(count, lastCount) << code;
        lastCount = count;
        ASSERT_TRUE(bench.write(1, 5, 9, code));
        EXPECT_EQ(bench.module->holding(reg), value) << code;
    }
    // The end points are the measuring range.
    EXPECT_EQ(bench.module->holding(2), 100);
    EXPECT_EQ(bench.module->holding(3), 900);

    // The compact module keeps 0 and 1000 fixed and files point 2 in register 11.
    TestBench compact({3, 4, 3, 1u, 1, 2});
    const int range = compact.module->holding(3);
    ASSERT_TRUE(compact.write(1, 5, 10, 250));
    ASSERT_TRUE(compact.write(1, 5, 9, 22));
    EXPECT_EQ(compact.module->holding(11), 250);
    ASSERT_TRUE(compact.write(1, 5, 9, 21));
    EXPECT_EQ(compact.module->holding(3), range);
}

TEST_F(ModuleTest, ResistanceModeWriteIsEchoedAndBecomesTheModelCodeWithCode34)
{
    TestBench bench({3, 5, 5, 1u, 1, 2});
    bench.exchange(1, 5, 7936, 7 * 256);
    // What the mode page checks: function 5, register 1F00, mode in reply byte 24.
    EXPECT_EQ(bench.replyByte(1), 5);
    EXPECT_EQ(bench.replyByte(2), 0x1F);
    EXPECT_EQ(bench.replyByte(4), 7);
    EXPECT_EQ(bench.module->model(), 5);

    bench.exchange(1, 5, 9, 34);
    EXPECT_EQ(bench.replyByte(1), 5);
    EXPECT_EQ(bench.replyByte(5), 34);
    EXPECT_EQ(bench.module->model(), 7);
    EXPECT_EQ(bench.module->version(), 5);

    // Other families have no such cell.
    TestBench converter({});
    converter.exchange(1, 5, 7936, 7 * 256);
    EXPECT_EQ(converter.replyByte(1), 0x85);
}

TEST_F(ModuleTest, StoringResultReportsAFailedStore)
{
    for (const ModuleConfig &config : {ModuleConfig{1, 1, 9, 1u, 1, 2}, {3, 5, 5, 1u, 1, 2}}) {
        TestBench bench(config);
        ASSERT_TRUE(bench.read(1, 4, 4102, 1));
        EXPECT_EQ(bench.replyByte(4), 0);
        bench.module->setStoreFails(true);
        ASSERT_TRUE(bench.read(1, 4, 4102, 1));
        EXPECT_NE(bench.replyByte(4), 0);
    }
}

TEST_F(ModuleTest, PinnedInputsHoldStillUntilReleased)
{
    TestBench bench({});
    bench.module->setInput(4096, 1234);
    bench.module->setInput(4100, 0x8001);
    bench.line->wait(20000);
    ASSERT_TRUE(bench.read(1, 4, 4096, 5));
    EXPECT_EQ(bench.reg(0), 1234);
    EXPECT_EQ(bench.reg(4), 0x8001);
    bench.module->setSensorBroken(true);
    EXPECT_EQ(bench.module->input(4096), 32767);
    bench.module->setSensorBroken(false);
    bench.module->releaseInputs();
    EXPECT_NE(bench.module->input(4096), 1234);

    // The information block takes a new model code at once (model 12 version 38).
    bench.module->setInput(7936, 12 * 256 + 38);
    EXPECT_EQ(bench.module->model(), 12);
    EXPECT_EQ(bench.module->version(), 38);
}

TEST_F(ModuleTest, DescribeTellsARequestInTheFamilysTerms)
{
    const auto describe = [](SimModule &module, const std::vector<std::uint8_t> &bytes) {
        return module.describe(bytes.data(), bytes.size());
    };
    const auto converter = SimModule::create({});
    EXPECT_EQ(describe(*converter, request(1, 5, 19, 5)),
              "to 1: write 19 = 5 [fn 5] (slave address)");
    EXPECT_EQ(describe(*converter, request(1, 5, 21, 27)),
              "to 1: write 21 = 27 [fn 5] (command 27: CH-1 output held at 0/4 mA)");
    EXPECT_EQ(describe(*converter, request(1, 4, 7936, 4)),
              "to 1: read input 7936..7939 (information block)");
    EXPECT_EQ(describe(*converter, request(1, 3, 0, 24)),
              "to 1: read holding 0..23 (input type .. filter)");
    EXPECT_EQ(describe(*converter, request(7, 5, 6, 65535)),
              "to 7 (not this module): write 6 = 65535 (-1) [fn 5] (PV1 offset)");
    auto bad = request(1, 3, 0, 1);
    bad[6] ^= 1;
    EXPECT_EQ(describe(*converter, bad), "bad CRC (8 bytes)");

    const auto transmitter = SimModule::create({1, 1, 9, 1u, 1, 2});
    EXPECT_EQ(describe(*transmitter, request(1, 6, 9, 37)),
              "to 1: write 9 = 37 [fn 6] (command 37: calibrate RTD)");
    const auto resistance = SimModule::create({3, 5, 5, 1u, 1, 2});
    EXPECT_EQ(describe(*resistance, request(1, 5, 9, 35)),
              "to 1: write 9 = 35 [fn 5] (command 35: store point 21)");
    EXPECT_EQ(describe(*resistance, request(1, 5, 7936, 1280)),
              "to 1: write 7936 = 1280 [fn 5] (calibration mode)");
    const auto range = SimModule::create({5, 50, 3, 1u, 1, 2});
    EXPECT_EQ(describe(*range, request(1, 5, 21, 13)),
              "to 1: write 21 = 13 [fn 5] (command 13: store CH-2 120 mV point)");
}

} // namespace
