#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Bounds on what quorelsim keeps and prints of the bytes it receives, so a
// very long or endless stream on the line costs neither unbounded memory nor
// one unbounded log line.

// The longest frame kept: no Modbus RTU frame is longer.
inline constexpr std::size_t MaxFrameBytes = 256;
// The longest log line printed, marker included.
inline constexpr std::size_t MaxLogLine = 1024;

// Appends bytes to frame up to MaxFrameBytes; returns how many did not fit.
std::size_t appendBounded(std::vector<std::uint8_t> &frame, const std::uint8_t *data,
                          std::size_t size);

// A line cut to MaxLogLine characters, the cut marked at its end with the number of
// characters left out.
std::string boundedLine(std::string text);
