#pragma once

#include <cstddef>
#include <cstdint>

// Line settings of a serial port: what "19200,N,8,1" describes.
struct LineSettings
{
    int baudRate = 9600;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
    bool flowControl = false;

    bool operator==(const LineSettings &) const = default;
};

// One serial device. The link opens it exclusively, reads its current line
// settings, applies new ones and then exchanges bytes with 100 ms time-outs.
class SerialLine
{
public:
    virtual ~SerialLine() = default;

    // Opens entry portIndex (0..15) of the port table for exclusive reading and
    // writing and arms the 100 ms read and write time-outs. False: nothing is open.
    virtual bool open(int portIndex) = 0;
    // Reads the open port's current line settings.
    virtual bool getState(LineSettings &settings) = 0;
    // Applies line settings to the open port.
    virtual bool setState(const LineSettings &settings) = 0;
    virtual void close() = 0;
    // Waits at most 100 ms for one byte.
    virtual bool readByte(std::uint8_t &byte) = 0;
    // Gives up after 100 ms.
    virtual bool write(const std::uint8_t *data, std::size_t size) = 0;
    // The device went away under the open port (a USB adapter pulled out);
    // reported until the port is opened again.
    virtual bool lost() const { return false; }
};
