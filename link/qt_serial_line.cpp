#include "qt_serial_line.h"

#include "port_tables.h"

#include <QDeadlineTimer>
#include <QSerialPort>
#include <QThread>

QtSerialLine::QtSerialLine()
    : m_port(std::make_unique<QSerialPort>())
{}

QtSerialLine::~QtSerialLine() = default;

bool QtSerialLine::open(int portIndex)
{
    close();
    const std::string &path = portTable().path(portIndex);
    if (path.empty())
        return false;
    m_port->setPortName(QString::fromStdString(path));
    m_port->clearError();
    // QSerialPort opens Unix devices exclusively (TIOCEXCL and a lock file).
    return m_port->open(QIODevice::ReadWrite);
}

bool QtSerialLine::getState(LineSettings &settings)
{
    if (!m_port->isOpen())
        return false;
    settings.baudRate = static_cast<int>(m_port->baudRate());
    settings.dataBits = static_cast<int>(m_port->dataBits());
    settings.stopBits = m_port->stopBits() == QSerialPort::TwoStop ? 2 : 1;
    switch (m_port->parity()) {
    case QSerialPort::EvenParity: settings.parity = 'E'; break;
    case QSerialPort::OddParity: settings.parity = 'O'; break;
    case QSerialPort::MarkParity: settings.parity = 'M'; break;
    case QSerialPort::SpaceParity: settings.parity = 'S'; break;
    default: settings.parity = 'N'; break;
    }
    settings.flowControl = m_port->flowControl() != QSerialPort::NoFlowControl;
    return true;
}

bool QtSerialLine::setState(const LineSettings &settings)
{
    if (!m_port->isOpen())
        return false;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    switch (settings.parity) {
    case 'E': parity = QSerialPort::EvenParity; break;
    case 'O': parity = QSerialPort::OddParity; break;
    case 'M': parity = QSerialPort::MarkParity; break;
    case 'S': parity = QSerialPort::SpaceParity; break;
    default: break;
    }
    bool ok = m_port->setBaudRate(settings.baudRate);
    ok = m_port->setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) && ok;
    ok = m_port->setParity(parity) && ok;
    ok =
        m_port->setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
        ok;
    ok = m_port->setFlowControl(settings.flowControl ? QSerialPort::HardwareControl
                                                     : QSerialPort::NoFlowControl) &&
         ok;
    return ok;
}

void QtSerialLine::close()
{
    if (m_port->isOpen())
        m_port->close();
}

bool QtSerialLine::readByte(std::uint8_t &byte)
{
    if (!m_port->isOpen()) {
        QThread::msleep(TimeoutMs);
        return false;
    }
    QDeadlineTimer deadline(TimeoutMs);
    while (m_port->bytesAvailable() == 0) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || !m_port->waitForReadyRead(static_cast<int>(left))) {
            // waitForReadyRead also returns early on a port error; honour the
            // full time-out in that case too, so a broken line never spins.
            if (deadline.hasExpired() || m_port->bytesAvailable() > 0)
                break;
            QThread::msleep(static_cast<unsigned long>(deadline.remainingTime()));
            break;
        }
    }
    char c = 0;
    if (m_port->bytesAvailable() == 0 || m_port->read(&c, 1) != 1)
        return false;
    byte = static_cast<std::uint8_t>(c);
    return true;
}

bool QtSerialLine::write(const std::uint8_t *data, std::size_t size)
{
    if (!m_port->isOpen())
        return false;
    const qint64 written =
        m_port->write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    if (written != static_cast<qint64>(size))
        return false;
    QDeadlineTimer deadline(TimeoutMs);
    while (m_port->bytesToWrite() > 0) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || !m_port->waitForBytesWritten(static_cast<int>(left)))
            return m_port->bytesToWrite() == 0;
    }
    return true;
}

bool QtSerialLine::lost() const
{
    return m_port->error() == QSerialPort::ResourceError;
}
