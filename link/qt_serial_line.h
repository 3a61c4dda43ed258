#pragma once

#include "serial_line.h"

#include <memory>

class QSerialPort;

// The real serial port: opened exclusively from the process-wide port table,
// 8 data bits, no parity, 1 stop bit, flow control off. A read waits in the
// port's wait for at most 100 ms (no busy waiting); a write gives up after
// 100 ms. Reads and writes on a port that is not open fail; a read then still
// takes its 100 ms, as a time-out on the line would.
class QtSerialLine : public SerialLine
{
public:
    QtSerialLine();
    ~QtSerialLine() override;

    bool open(int portIndex) override;
    bool getState(LineSettings &settings) override;
    bool setState(const LineSettings &settings) override;
    void close() override;
    bool readByte(std::uint8_t &byte) override;
    bool write(const std::uint8_t *data, std::size_t size) override;
    // QSerialPort's resource error: the device was removed.
    bool lost() const override;

    static constexpr int TimeoutMs = 100;

private:
    std::unique_ptr<QSerialPort> m_port;
};
