#pragma once

#include <cstddef>
#include <cstdint>

// CRC-16/MODBUS: start 0xFFFF, reflected polynomial 0xA001. Sent low byte first.
std::uint16_t crc16Modbus(const std::uint8_t *data, std::size_t size);
