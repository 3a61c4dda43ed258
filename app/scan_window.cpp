#include "scan_window.h"

#include "activation_tracker.h"
#include "application.h"
#include "device_enumerator.h"
#include "device_settings.h"
#include "help_file.h"
#include "language_switch.h"
#include "link.h"
#include "message_sink.h"
#include "module_probe.h"
#include "numtext.h"
#include "status_label.h"
#include "status_messages.h"
#include "traffic_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <utility>

using i18n::Status;

TForm3::TForm3(Link &link, std::unique_ptr<DeviceEnumerator> enumerator)
    : QMainWindow(nullptr)
    , m_link(link)
    , m_enumerator(std::move(enumerator))
{
    setObjectName("TForm3");
    setWindowTitle("Scan");
    m_link.ComBuf[cb::LangCode] = lang::English;

    QMenu *file = menuBar()->addMenu("File");
    file->setObjectName("File");
    QAction *traffic = file->addAction("Line Traffic...");
    traffic->setObjectName("Traffic");
    connect(traffic, &QAction::triggered, this, &TForm3::TrafficClick);
    file->addSeparator();
    QAction *exit = file->addAction("Exit");
    exit->setObjectName("Exit");
    // The program ends with the scan window, so its Exit ends the program too.
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu *language = menuBar()->addMenu("Language");
    language->setObjectName("Language");
    const auto addLanguage = [this, language](const char *name, const char *text,
                                              void (TForm3::*handler)()) {
        QAction *action = language->addAction(text);
        action->setObjectName(name);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    addLanguage("English", "English", &TForm3::EnglishClick)->setChecked(true);
    addLanguage("Traditional", "Chinese Traditional", &TForm3::TraditionalClick);
    addLanguage("Simplified", "Chinese Simplified", &TForm3::SimplifiedClick);

    QMenu *about = menuBar()->addMenu("Help");
    about->setObjectName("About");
    QAction *contents = about->addAction("Conents");
    contents->setObjectName("Conents");
    connect(contents, &QAction::triggered, this, &TForm3::ConentsClick);
    about->addAction("V100625")->setObjectName("v1_0");
    about->menuAction()->setVisible(false);

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(16, 12, 16, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);

    auto *label3 = new QLabel("Com :", central);
    label3->setObjectName("Label3");
    ListBox1 = new QListWidget(central);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setMinimumWidth(380);
    ListBox1->setFixedHeight(110);
    auto *label2 = new QLabel("Baud :", central);
    label2->setObjectName("Label2");
    ListBox2 = new QListWidget(central);
    ListBox2->setObjectName("ListBox2");
    for (const char *settings : BaudTable)
        ListBox2->addItem(settings);
    ListBox2->setFixedHeight(ListBox2->sizeHintForRow(0) * 4 + 2 * ListBox2->frameWidth() + 4);
    for (QListWidget *list : {ListBox1, ListBox2})
        list->setSelectionMode(QAbstractItemView::SingleSelection);

    Label5 = new StatusLabel(central);
    Label5->setObjectName("Label5");
    QFont bold = Label5->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    Label5->setFont(bold);
    Label5->setStatus(QColor(0, 0, 255), "Press Start");
    Label5->setMinimumWidth(220);

    Button1 = new QPushButton("Start", central);
    Button1->setObjectName("Button1");
    Button1->setMinimumWidth(110);
    connect(Button1, &QPushButton::clicked, this,
            [this] { Application::runHandler([this] { Button1Click(); }); });

    grid->addWidget(label3, 0, 0, Qt::AlignTop);
    grid->addWidget(ListBox1, 0, 1, 1, 2);
    grid->addWidget(label2, 1, 0, Qt::AlignTop);
    grid->addWidget(ListBox2, 1, 1, 1, 2);
    grid->addWidget(Label5, 2, 1);
    grid->addWidget(Button1, 2, 2, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    setCentralWidget(central);
    setTabOrder(Button1, ListBox1);
    setTabOrder(ListBox1, ListBox2);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(20);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this,
            [this] { Application::runHandler([this] { Timer1Timer(); }); });

    ActivationTracker::instance().addProgramWindow(this);
}

TForm3::~TForm3() = default;

void TForm3::setFamilyWindows(const FamilyWindows &windows)
{
    m_makeFamilies = {};
    m_families = windows;
}

void TForm3::setFamilyWindowMaker(std::function<FamilyWindows()> make)
{
    m_makeFamilies = std::move(make);
    m_makeQueued = false;
}

const TForm3::FamilyWindows &TForm3::familyWindows()
{
    if (m_makeFamilies) {
        // Taken first: a window made here that asks for the set gets the
        // windows made so far, never a second round.
        const auto make = std::exchange(m_makeFamilies, {});
        m_families = make();
    }
    return m_families;
}

void TForm3::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    // Creating the family windows and their pages takes longer than showing
    // this one: they are made once the scan window is on the screen, from
    // the event loop, before the operator can press Start.
    if (m_makeFamilies && !m_makeQueued) {
        m_makeQueued = true;
        QTimer::singleShot(0, this, [this] { familyWindows(); });
    }
}

void TForm3::Button1Click()
{
    // A probe armed by an earlier Start that has not begun yet is dropped: it
    // would probe the old port and overwrite this scan's result.
    Timer1->stop();
    ListBox1->clear();
    m_link.ComBuf[cb::PortIdx] = 0;
    m_link.ComBuf[cb::ComNo] = 0;

    const Enumeration devices = m_enumerator->enumerate();
    if (devices.failure != Enumeration::None) {
        // The system cannot list its devices: nothing can be scanned.
        showMessage(enumerationMessage(devices));
        close();
        return;
    }

    int comNo = 0;
    for (const std::string &text : devices.names) {
        const QString name = QString::fromStdString(text);
        if (!name.contains("COM"))
            continue;
        ListBox1->addItem(name);
        if (name.contains("USB-to-Serial") || name.contains("USB to Serial")) {
            const int start = name.indexOf("COM") + 1 + 3; // 1-based, after "COM"
            const int length = name.indexOf(')') + 1 - start;
            m_link.ComBuf[cb::ParseStart] = static_cast<std::int16_t>(start);
            m_link.ComBuf[cb::ParseLength] = static_cast<std::int16_t>(length);
            const QString number = length > 0 ? name.mid(start - 1, length) : QString();
            comNo = textToInt(number.toStdString()); // raises on a name without a number
            m_link.ComBuf[cb::ComNo] = static_cast<std::int16_t>(std::clamp(comNo, -1, 32767));
            ListBox1->setCurrentRow(m_link.ComBuf[cb::PortIdx]);
        }
        ++m_link.ComBuf[cb::PortIdx];
    }

    // Only COM1..COM16 can be opened: any other number is no usable adapter.
    const bool usable = comNo >= 1 && comNo <= PortTable::Size;
    i18n::showStatus(*Label5, usable ? Status::Scan : Status::CommunicationError,
                     m_link.ComBuf[cb::LangCode]);
    // An adapter this user may not open never answers the probe, and the
    // status alone cannot say why: once per scan, a message names it and the fix.
    std::vector<DeniedDevice> adapters;
    std::copy_if(devices.denied.begin(), devices.denied.end(), std::back_inserter(adapters),
                 [](const DeniedDevice &device) { return device.adapter; });
    if (!adapters.empty())
        showMessage(permissionMessage(adapters));
    if (usable)
        Timer1->start();
}

void TForm3::Timer1Timer()
{
    Timer1->stop();
    iConTest();
}

void TForm3::selectBaud(int baudIndex)
{
    if (baudIndex >= 0 && baudIndex < ListBox2->count())
        ListBox2->setCurrentRow(baudIndex);
}

void TForm3::iConTest()
{
    const int family = probeModule(m_link, [this](int baudIndex) { selectBaud(baudIndex); });
    const bool full = (m_link.ComBuf[24] & 0xFF) >= 5;
    const FamilyWindows &windows = familyWindows();
    switch (family) {
    case TransmitterFamily: handOver(windows.transmitter); return;
    case ConverterFamily: handOver(windows.converter); return;
    case ResistanceFamily: handOver(full ? windows.resistance : windows.compact); return;
    case DistributorFamily: handOver(windows.distributor); return;
    case VmaDistributorFamily: handOver(windows.vmaDistributor); return;
    default: i18n::showStatus(*Label5, Status::DeviceNotFound, m_link.ComBuf[cb::LangCode]); return;
    }
}

void TForm3::GetSerialN(int address)
{
    identifyModule(m_link, address);
}

void TForm3::handOver(QWidget *window)
{
    hide();
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void TForm3::EnglishClick()
{
    switchLanguage(lang::English);
}

void TForm3::TraditionalClick()
{
    switchLanguage(lang::Traditional);
}

void TForm3::SimplifiedClick()
{
    switchLanguage(lang::Simplified);
}

void TForm3::applyLanguage(int langCode)
{
    switch (langCode) {
    case lang::Traditional: TraditionalClick(); break;
    case lang::Simplified: SimplifiedClick(); break;
    default: EnglishClick(); break;
    }
}

void TForm3::switchLanguage(int langCode)
{
    m_link.ComBuf[cb::LangCode] = static_cast<std::int16_t>(langCode);
    const FamilyWindows &families = familyWindows();
    const i18n::WindowSet windows = {
        {"TForm3", this},
        {"TForm1", families.converter},
        {"TForm2", families.transmitter},
        {"TForm4", families.resistance},
        {"TForm10", families.compact},
        {"TForm5", families.distributor},
        {"TForm7", families.vmaDistributor},
    };
    i18n::switchLanguage(langCode, windows);
    // "Press Start" is a caption: the switch also resets the status label.
    Label5->setFontColor(QColor(0, 0, 255));
}

void TForm3::ConentsClick()
{
    openHelpFile(helpFileName("QRW", m_link.ComBuf[cb::LangCode]), false);
}

void TForm3::TrafficClick()
{
    if (!m_traffic)
        m_traffic = std::make_unique<TrafficWindow>(m_link.traffic());
    m_traffic->show();
    m_traffic->raise();
    m_traffic->activateWindow();
}

void TForm3::closeEvent(QCloseEvent *event)
{
    if (m_traffic)
        m_traffic->close();
    event->accept();
    QCoreApplication::quit();
}
