#include "family_window.h"

#include "activation_tracker.h"
#include "application.h"
#include "help_file.h"
#include "link.h"
#include "scan_window.h"
#include "service_mode.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QShortcut>

FamilyWindow::FamilyWindow(const QString &className, Link &link, TForm3 &scan,
                           const QString &helpStem)
    : QMainWindow(nullptr)
    , m_link(link)
    , m_scan(scan)
    , m_helpStem(helpStem)
{
    setObjectName(className);
    setWindowTitle("QuorelWin");

    const auto addMenu = [this](const QString &name, const QString &title) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(name);
        return menu;
    };
    const auto addEntry = [this](QMenu *menu, const QString &name, const QString &text,
                                 void (FamilyWindow::*handler)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        // An exception stops at the menu entry: the error box, and the
        // program goes on.
        connect(action, &QAction::triggered, this,
                [this, handler] { Application::runHandler([&] { (this->*handler)(); }); });
        return action;
    };

    QMenu *file = addMenu("File1", "File");
    addEntry(file, "Traffic", "Line Traffic...", &FamilyWindow::TrafficClick);
    file->addSeparator();
    addEntry(file, "Exit1", "Exit", &FamilyWindow::Exit1Click);

    QMenu *language = addMenu("Language", "Language");
    addEntry(language, "English", "English", &FamilyWindow::EnglishClick)->setCheckable(true);
    addEntry(language, "Traditional", "Chinese Traditional", &FamilyWindow::TraditionalClick)
        ->setCheckable(true);
    addEntry(language, "Simplified", "Chinese Simplified", &FamilyWindow::SimplifiedClick)
        ->setCheckable(true);

    QMenu *scanMenu = addMenu("Scan", "Scan");
    addEntry(scanMenu, "Start", "Start", &FamilyWindow::StartClick);

    m_help = addMenu("Help", "Help");
    addEntry(m_help, "Conents", "Conents", &FamilyWindow::ConentsClick);
    m_help->addAction("V100625")->setObjectName("V1_0");
    m_help->menuAction()->setVisible(false);

    auto *serviceKey = new QShortcut(QKeySequence("Ctrl+Shift+S"), this);
    connect(serviceKey, &QShortcut::activated, &ServiceMode::instance(), &ServiceMode::toggle);
    connect(&ServiceMode::instance(), &ServiceMode::changed, this,
            &FamilyWindow::serviceModeChanged);

    ActivationTracker &tracker = ActivationTracker::instance();
    tracker.addProgramWindow(this);
    connect(&tracker, &ActivationTracker::activated, this, &FamilyWindow::programWindowActivated);
}

FamilyWindow::~FamilyWindow() = default;

void FamilyWindow::Exit1Click()
{
    m_scan.close();
}

void FamilyWindow::StartClick()
{
    stopWork();
    hide();
    m_scan.show();
    m_scan.Button1Click();
}

void FamilyWindow::EnglishClick()
{
    m_scan.EnglishClick();
}

void FamilyWindow::TraditionalClick()
{
    m_scan.TraditionalClick();
}

void FamilyWindow::SimplifiedClick()
{
    m_scan.SimplifiedClick();
}

void FamilyWindow::applyCurrentLanguage()
{
    m_scan.applyLanguage(m_link.ComBuf[cb::LangCode]);
}

void FamilyWindow::ConentsClick()
{
    if (!m_helpStem.isEmpty())
        openHelpFile(helpFileName(m_helpStem, m_link.ComBuf[cb::LangCode]), true);
}

void FamilyWindow::TrafficClick()
{
    m_scan.TrafficClick();
}

void FamilyWindow::programWindowActivated(QWidget *window)
{
    if (window != this)
        return;
    // The activation's first exchange holds the event loop: the window is
    // painted first, so that it never stays black (or shows another window's
    // remains) while the module answers.
    repaint();
    FormActivate();
}

void FamilyWindow::closeEvent(QCloseEvent *event)
{
    // Closing a family window ends the program: the window itself is only
    // hidden, the scan window is closed. Work in progress stops first, so
    // nothing more goes out on the line.
    closing();
    event->accept();
    m_scan.close();
}
