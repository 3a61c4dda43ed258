// Program entry: the application object, the windows created once in their
// fixed order (the scan window first: it is the main window), the message loop.
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
#include "transmitter_window.h"
#include "universal_distributor_window.h"
#include "vma_distributor_window.h"
#include "zero_span_dialog.h"

#include <QMessageBox>

#include <cstdio>
#include <memory>
#include <string_view>

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
        auto form1 = std::make_unique<TForm1>(link, *form3);
        auto form2 = std::make_unique<TForm2>(link, *form3);
        auto form4 = std::make_unique<TForm4>(link, *form3);
        auto form5 = std::make_unique<TForm5>(link, *form3);
        // The zero/span confirmation dialog of the resistance transmitter windows.
        auto form6 = std::make_unique<TForm6>();
        ActivationTracker::instance().addProgramWindow(form6.get());
        auto form7 = std::make_unique<TForm7>(link, *form3);
        auto form10 = std::make_unique<TForm10>(link, *form3);
        form4->setConfirmation(form6.get());
        form10->setConfirmation(form6.get());

        form3->setFamilyWindows(
            {form2.get(), form1.get(), form4.get(), form10.get(), form5.get(), form7.get()});
        form3->show();
        return app.exec();
    } catch (const std::exception &error) {
        Application::showException(error);
        return 0;
    }
}
