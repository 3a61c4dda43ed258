#pragma once

// Family windows against quorelsim through the real serial port: quorelsim on
// its pseudo-terminal, listed as an extra serial port; the program's link on
// the real port class; the scan window, whose scan hands over to the window
// of the module it finds. The session owns the windows it makes and ends
// everything in order: their work stopped, the port closed, quorelsim
// stopped, and no request met another on the line.
#include "device_enumerator.h"
#include "device_window.h"
#include "link.h"
#include "message_sink.h"
#include "qt_serial_line.h"
#include "quorelsim_process.h"
#include "scan_window.h"
#include "status_label.h"

#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

class QuorelsimSession
{
public:
    explicit QuorelsimSession(const std::vector<std::string> &args)
    {
        m_started = sim.start(args);
        if (m_started)
            qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
        setMessageSink([](const std::string &) {});
    }
    QuorelsimSession(const QuorelsimSession &) = delete;
    QuorelsimSession &operator=(const QuorelsimSession &) = delete;
    ~QuorelsimSession()
    {
        for (auto &window : m_windows)
            window->stopWork();
        qunsetenv("QUORELWIN_EXTRA_PORTS");
        setMessageSink(nullptr);
        link.CloseCom();
        if (m_started) {
            sim.stop(SIGTERM);
            EXPECT_EQ(sim.collisions(), 0) << sim.output();
        }
        m_windows.clear();
    }

    bool started() const { return m_started; }

    // A family window of the program, handed to the scan for its family.
    template<class Window>
    Window &add()
    {
        auto window = std::make_unique<Window>(link, scan);
        Window &made = *window;
        const QString name = made.objectName();
        (name == "TForm1"    ? m_family.converter
         : name == "TForm2"  ? m_family.transmitter
         : name == "TForm4"  ? m_family.resistance
         : name == "TForm10" ? m_family.compact
         : name == "TForm5"  ? m_family.distributor
                             : m_family.vmaDistributor) = &made;
        scan.setFamilyWindows(m_family);
        m_windows.push_back(std::move(window));
        return made;
    }

    // The operator presses Start in the scan window; the window the module
    // belongs to comes up and reads it.
    ::testing::AssertionResult scanned(DeviceWindow &window, int timeoutMs = 10000)
    {
        scan.show();
        scan.Button1Click();
        return statusBecomes(window, "Read Success", timeoutMs);
    }

    static ::testing::AssertionResult statusBecomes(QWidget &window, const QString &text,
                                                    int timeoutMs = 8000)
    {
        auto *status = window.findChild<StatusLabel *>("Lab83");
        if (!status)
            return ::testing::AssertionFailure() << "no status label";
        if (QTest::qWaitFor([&] { return status->text() == text; }, timeoutMs))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "status \"" << status->text().toStdString()
                                             << "\", not \"" << text.toStdString() << "\"";
    }

    QuorelsimProcess sim;
    Link link{std::make_unique<QtSerialLine>()};
    TForm3 scan{link, makeSystemEnumerator()};

private:
    bool m_started = false;
    TForm3::FamilyWindows m_family;
    std::vector<std::unique_ptr<DeviceWindow>> m_windows;
};
