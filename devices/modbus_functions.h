#pragma once

// The Modbus function codes the modules answer, as the chains and register
// tables name them. The modules treat coils as 16-bit cells: "write coil"
// carries a register's whole value.
namespace Modbus {
enum Function : int {
    ReadHolding = 3,   // read holding registers
    ReadInput = 4,     // read input registers
    WriteCoil = 5,     // write single coil, used as a 16-bit write
    WriteRegister = 6, // write single register
};
} // namespace Modbus
