// libmodbus, a Modbus stack nobody here wrote, as the master against quorelsim.
#include "quorelsim_process.h"

#include <gtest/gtest.h>
#include <modbus.h>

#include <cerrno>
#include <csignal>
#include <memory>

namespace {

struct ModbusDeleter
{
    void operator()(modbus_t *ctx) const
    {
        modbus_close(ctx);
        modbus_free(ctx);
    }
};
using Modbus = std::unique_ptr<modbus_t, ModbusDeleter>;

TEST(ModbusInterop, LibmodbusReadsAndWritesTheSimulatedConverter)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({})) << sim.output();
    Modbus ctx(modbus_new_rtu(sim.slavePath().c_str(), 19200, 'N', 8, 1));
    ASSERT_TRUE(ctx);
    ASSERT_EQ(modbus_set_slave(ctx.get(), 1), 0);
    modbus_set_response_timeout(ctx.get(), 1, 0);
    ASSERT_EQ(modbus_connect(ctx.get()), 0) << modbus_strerror(errno);

    // Holding registers: the whole converter block, CRC checked by libmodbus.
    std::uint16_t holding[26] = {};
    ASSERT_EQ(modbus_read_registers(ctx.get(), 0, 26, holding), 26) << modbus_strerror(errno);
    EXPECT_EQ(holding[0], 1);    // thermocouple K
    EXPECT_EQ(holding[3], 1000); // range high
    EXPECT_EQ(holding[19], 1);   // address
    EXPECT_EQ(holding[20], 2);   // baud code
    EXPECT_EQ(holding[24], 1);
    EXPECT_EQ(holding[25], 2);

    // Input registers: the information block.
    std::uint16_t info[4] = {};
    ASSERT_EQ(modbus_read_input_registers(ctx.get(), 7936, 4, info), 4);
    EXPECT_EQ(info[0], 32 * 256 + 9);
    EXPECT_EQ(static_cast<std::uint32_t>(info[2]) << 16 | info[3], 703070001u);

    // Function 6, and function 5 with the standard ON value, read back.
    ASSERT_EQ(modbus_write_register(ctx.get(), 23, 7), 1) << modbus_strerror(errno);
    ASSERT_EQ(modbus_write_bit(ctx.get(), 18, TRUE), 1) << modbus_strerror(errno);
    std::uint16_t back[6] = {};
    ASSERT_EQ(modbus_read_registers(ctx.get(), 18, 6, back), 6);
    EXPECT_EQ(back[0], 0xFF00);
    EXPECT_EQ(back[5], 7);

    // The module's exception reply is a valid frame to libmodbus.
    std::uint16_t tooMany[27];
    EXPECT_EQ(modbus_read_registers(ctx.get(), 0, 27, tooMany), -1);
    EXPECT_EQ(errno, EMBXILADD);

    // Another slave address gets no answer.
    modbus_set_response_timeout(ctx.get(), 0, 200000);
    ASSERT_EQ(modbus_set_slave(ctx.get(), 2), 0);
    EXPECT_EQ(modbus_read_registers(ctx.get(), 0, 1, holding), -1);
    EXPECT_EQ(errno, ETIMEDOUT);

    ctx.reset();
    EXPECT_EQ(sim.stop(SIGTERM), 0);
    EXPECT_NE(sim.output().find("to 2 (not this module)"), std::string::npos);
}

} // namespace
