// A family window that becomes active is on the screen before the module is
// asked anything: its page is painted before the activation's first exchange,
// and "Transmission..." before the read's first request, also where the
// activation first puts the module back to its own address and baud rate.
#include "paint_watch.h"
#include "status_messages.h"
#include "window_rig.h"

#include <QTest>

TEST(FirstPaint, PageAndTransmissionShownBeforeTheModuleIsAsked)
{
    const std::pair<const char *, ModuleConfig> rows[] = {
        {"TForm1", {2, 32, 9, 703070001, 1, 2}}, {"TForm2", {1, 1, 9, 703070001, 1, 2}},
        {"TForm4", {3, 7, 5, 703070001, 1, 2}},  {"TForm10", {3, 6, 3, 703070001, 1, 2}},
        {"TForm5", {4, 49, 3, 703070001, 1, 2}}, {"TForm7", {5, 50, 3, 703070001, 1, 2}},
    };
    const QString transmission = i18n::statusText(i18n::Status::Transmission, lang::English);
    for (const auto &[name, config] : rows) {
        SCOPED_TRACE(name);
        std::unique_ptr<Rig> rig = makeRig(name, config);
        DeviceWindow &window = rig->window();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        PaintWatch page(&window), status(window.statusLabel());

        int requests = 0, pagePaintsAtFirst = -1;
        QString statusAtRead;
        rig->line().setReplyFilter(
            [&](const std::vector<std::uint8_t> &request, std::vector<std::uint8_t> &) {
                if (requests++ == 0)
                    pagePaintsAtFirst = page.paints;
                // The read begins with the information block or the
                // configuration block (function 3 from register 0).
                const bool read = request[1] == 4 || (request[1] == 3 && request[3] == 0);
                if (read && statusAtRead.isEmpty())
                    statusAtRead = status.text;
            });
        ActivationTracker::instance().reset();
        ActivationTracker::instance().windowActivated(&window);
        rig->runChain();

        EXPECT_GT(pagePaintsAtFirst, 0);
        EXPECT_EQ(statusAtRead, transmission);
        rig->line().setReplyFilter({});
    }
}
