// Program entry: the application object, the windows created once in their
// fixed order (the scan window first: it is the main window), the message loop.
// The scan window is shown at once; the family windows follow in the same
// order right after it has painted, before the operator can use it.
#include "activation_tracker.h"
#include "application.h"
#include "compact_window.h"
#include "converter_window.h"
#include "device_enumerator.h"
#include "link.h"
#include "message_sink.h"
#include "qt_serial_line.h"
#include "resistance_window.h"
#include "scan_window.h"
#include "startup_report.h"
#include "transmitter_window.h"
#include "universal_distributor_window.h"
#include "vma_distributor_window.h"
#include "zero_span_dialog.h"

#include <QMessageBox>

#include <cstdio>
#include <memory>
#include <string_view>

namespace {

// The windows after the scan window, in their creation order.
struct FamilyWindowSet
{
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm4> form4;
    std::unique_ptr<TForm5> form5;
    std::unique_ptr<TForm6> form6;
    std::unique_ptr<TForm7> form7;
    std::unique_ptr<TForm10> form10;

    TForm3::FamilyWindows make(Link &link, TForm3 &form3)
    {
        form1 = std::make_unique<TForm1>(link, form3);
        form2 = std::make_unique<TForm2>(link, form3);
        form4 = std::make_unique<TForm4>(link, form3);
        form5 = std::make_unique<TForm5>(link, form3);
        // The zero/span confirmation dialog of the resistance transmitter windows.
        form6 = std::make_unique<TForm6>();
        ActivationTracker::instance().addProgramWindow(form6.get());
        form7 = std::make_unique<TForm7>(link, form3);
        form10 = std::make_unique<TForm10>(link, form3);
        form4->setConfirmation(form6.get());
        form10->setConfirmation(form6.get());
        return {form2.get(), form1.get(), form4.get(), form10.get(), form5.get(), form7.get()};
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("quorelwin %s\n", QUORELWIN_VERSION);
        return 0;
    }
    Application app(argc, argv);
    setMessageSink([](const std::string &text) {
        QMessageBox::information(QApplication::activeWindow(), QStringLiteral("QuorelWin"),
                                 QString::fromStdString(text));
    });

    try {
        Link link(std::make_unique<QtSerialLine>());

        auto form3 = std::make_unique<TForm3>(link, makeSystemEnumerator());
        FamilyWindowSet families;
        form3->setFamilyWindowMaker([&] {
            try {
                return families.make(link, *form3);
            } catch (const std::exception &error) {
                // A window that cannot be made ends the program, as at start.
                Application::showException(error);
                QCoreApplication::exit(0);
                return TForm3::FamilyWindows{};
            }
        });
        if (qEnvironmentVariableIsSet("QUORELWIN_STARTUP_REPORT"))
            new StartupReport(*form3, [&] { form3->familyWindows(); });
        form3->show();
        return app.exec();
    } catch (const std::exception &error) {
        Application::showException(error);
        return 0;
    }
}
