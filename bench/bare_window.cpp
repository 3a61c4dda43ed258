// The start-up benchmark's reference: a bare Qt Widgets window, shown and
// reported as the program shows and reports its scan window. It shows one
// line of text: a window without any never loads the system's fonts, which
// every real window does (a third of the scan window's start-up).
#include "startup_report.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Scan");
    window.setCentralWidget(new QLabel("Press Start", &window));
    new StartupReport(window, {});
    window.show();
    return app.exec();
}
