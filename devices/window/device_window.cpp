#include "device_window.h"

#include "calibration_runner.h"
#include "commissioning.h"
#include "configuration_file_menu.h"
#include "exit_edit.h"
#include "field_rules.h"
#include "input_check.h"
#include "link.h"
#include "radio_group.h"
#include "status_label.h"
#include "trim_binding.h"
#include "window_commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include <stdexcept>

using i18n::Status;

DeviceWindow::DeviceWindow(const QString &className, Link &link, TForm3 &scan,
                           const QString &helpStem)
    : FamilyWindow(className, link, scan, helpStem)
    , m_activities(new ActivityOwner(link, activityTable(className.toStdString()),
                                     {[this] { BtnAllOFF(); }, [this] { BtnAllON(); },
                                      [this](Status status) {
                                          paintStatus(status);
                                          if (m_commissioning)
                                              m_commissioning->statusShown(m_activities->work(),
                                                                           status);
                                      },
                                      [this] { m_commands->tell(i18n::Advice::LineLost); }},
                                     this))
    , m_commands(new WindowCommands(*m_activities, *this))
    , m_settings(new SharedSettings(*m_commands))
    , m_page(new ConfigurationPage(*m_commands, *m_settings))
    , m_files(new ConfigurationFileMenu(*this, *m_commands, *m_page, *m_settings))
{
    m_commissioning = new Commissioning(*this, *m_commands, *m_page, *m_settings);
}

DeviceWindow::~DeviceWindow() = default;

QTimer *DeviceWindow::addTimer(const char *name, int interval, std::function<void()> handler)
{
    auto *timer = new QTimer(this);
    timer->setObjectName(name);
    timer->setInterval(interval);
    timer->setTimerType(Qt::PreciseTimer); // coarse timers may fire 5 % early
    if (handler) {
        m_handlers.emplace_back(timer, handler);
        connect(timer, &QTimer::timeout, this,
                [this, handler = std::move(handler)] { m_activities->caught(handler); });
    }
    m_timers.append(timer);
    return timer;
}

void DeviceWindow::fireTimer(QTimer *timer)
{
    for (const auto &[owner, handler] : m_handlers)
        if (owner == timer) {
            handler();
            return;
        }
}

int DeviceWindow::devVer() const
{
    return link().ComBuf[cb::DevVer];
}

void DeviceWindow::showStatus(Status status)
{
    m_activities->showStatus(status);
}

void DeviceWindow::paintStatus(Status status)
{
    if (!m_status)
        return;
    i18n::showStatus(*m_status, status, link().ComBuf[cb::LangCode]);
    // "Transmission..." comes just before an exchange that holds the event
    // loop: it is painted now (with whatever else of the window changed), not
    // once the exchange is over.
    if (status == Status::Transmission)
        m_status->repaint();
    for (const QPointer<StatusLabel> &mirror : std::as_const(m_mirrors)) {
        if (!mirror)
            continue;
        mirror->setStatus(m_status->fontColor(), m_status->text());
        if (status == Status::Transmission)
            mirror->repaint();
    }
}

void DeviceWindow::mirrorStatus(const QList<QWidget *> &pages)
{
    for (QWidget *page : pages) {
        auto *grid = qobject_cast<QGridLayout *>(page->layout());
        if (!grid)
            throw std::logic_error(page->objectName().toStdString() + " has no grid for a status");
        auto *mirror = new StatusLabel(page);
        mirror->setObjectName(page->objectName() + "Status");
        mirror->setMinimumHeight(22);
        grid->addWidget(mirror, grid->rowCount(), 0, 1, grid->columnCount());
        m_mirrors.append(mirror);
    }
}

void DeviceWindow::runChain(RequestChain chain, Status success, Status failure,
                            std::function<void(bool)> after)
{
    m_commands->runChain(std::move(chain), success, failure, std::move(after));
}

void DeviceWindow::runChain(RequestChain chain, ChainRunner::Finished finished, Status failure)
{
    m_commands->runChain(std::move(chain), std::move(finished), failure);
}

bool DeviceWindow::saveConfiguration(const QString &path)
{
    return m_files->save(path);
}

bool DeviceWindow::openConfiguration(const QString &path, bool takeSettings)
{
    return m_files->open(path, takeSettings);
}

void DeviceWindow::stopWork()
{
    m_activities->shellEvent(WindowEvent::ScanStart);
}

void DeviceWindow::closing()
{
    m_activities->shellEvent(WindowEvent::Close);
    m_commissioning->closing();
}

void DeviceWindow::setCommandControls(const QList<QWidget *> &disabled,
                                      const QList<QWidget *> &enabled)
{
    m_offControls.clear();
    m_onControls.clear();
    for (QWidget *control : disabled)
        m_offControls.append(control);
    for (QWidget *control : enabled)
        m_onControls.append(control);
}

void DeviceWindow::setCommandControls(const QList<QWidget *> &commands,
                                      const CalibrationRunner &points)
{
    setCommandControls(commands + points.startButtons() + points.doneButtons(),
                       commands + points.startButtons());
}

void DeviceWindow::setTrim(TrimBinding *trim)
{
    m_trim = trim;
    m_page->setTrim(trim);
    m_commissioning->setTrim(trim);
}

void DeviceWindow::BtnAllOFF()
{
    for (const QPointer<QWidget> &control : std::as_const(m_offControls))
        if (control)
            control->setEnabled(false);
    if (m_trim) {
        m_trim->setEnabled(false);
        // An activity that lets the output be trimmed meanwhile keeps the
        // controls that adjust it.
        if (m_activities->responseTo(WindowEvent::Trim) == Response::Within)
            m_trim->setAdjustable(true);
    }
}

void DeviceWindow::BtnAllON()
{
    for (const QPointer<QWidget> &control : std::as_const(m_onControls))
        if (control)
            control->setEnabled(true);
    if (m_trim)
        m_trim->setEnabled(true);
}

void DeviceWindow::TimerAllOFF()
{
    // A zero step runs on through it.
    m_activities->stop(Activity::ZeroStep);
    for (QTimer *timer : std::as_const(m_timers))
        if (!m_kept.contains(timer))
            timer->stop();
}

std::string DeviceWindow::fieldText(const QLineEdit *field)
{
    return field->text().toStdString();
}

void DeviceWindow::setFieldText(QLineEdit *field, const std::string &text)
{
    field->setText(QString::fromStdString(text));
}

void DeviceWindow::markChecked(ExitEdit *field, bool passes)
{
    if (passes) {
        field->resetColor();
        return;
    }
    CheckFailed = true;
    field->setColor(Qt::red);
}

void DeviceWindow::chainTabOrder(const QList<QWidget *> &order)
{
    QList<QWidget *> chain;
    for (QWidget *widget : order) {
        if (auto *group = qobject_cast<RadioGroup *>(widget)) {
            for (int i = 0; i < group->count(); ++i)
                chain << group->button(i);
        } else {
            chain << widget;
        }
    }
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void DeviceWindow::checkAddress(ExitEdit *field)
{
    if (!validAddress(fieldText(field))) {
        CheckFailed = true;
        field->setColor(Qt::red);
    }
}

bool DeviceWindow::beginActivation(QTabWidget *pages, QLabel *serial, QLabel *version)
{
    if (!m_activities->begin(WindowEvent::Activation))
        return false;
    // Every timer stops, but one a zero step runs on.
    for (QTimer *timer : std::as_const(m_timers))
        if (!m_kept.contains(timer))
            timer->stop();
    // Saving a configuration waits for this activation's read.
    m_page->forgetShown();
    // The trim counts shown may be another module's until a read has shown
    // this one's.
    if (m_trim)
        m_trim->setArmed(false);
    pages->setCurrentIndex(0);
    m_commissioning->activated();
    if (serial)
        serial->setText(QString::number(link().SerialNo));
    if (version)
        version->setText(QString::fromStdString(VersionTable(devVer())));
    applyCurrentLanguage();
    return true;
}

void DeviceWindow::setFactoryFunctions(QTabWidget *pages, const QList<QWidget *> &factory)
{
    m_factoryPages = pages;
    m_factory.clear();
    for (QWidget *widget : factory) {
        m_factory.append(widget);
        const int page = pages->indexOf(widget);
        if (page >= 0)
            pages->setTabVisible(page, false);
        else
            widget->hide();
    }
}

void DeviceWindow::serviceModeChanged(bool on)
{
    if (!m_factoryPages)
        return;
    if (!on) {
        // Work on the pages that go (a calibration point) ends unstored.
        m_activities->shellEvent(WindowEvent::LeaveServiceMode);
        m_factoryPages->setCurrentIndex(0);
    }
    for (const QPointer<QWidget> &widget : std::as_const(m_factory)) {
        if (!widget)
            continue;
        const int page = m_factoryPages->indexOf(widget);
        if (page >= 0)
            m_factoryPages->setTabVisible(page, on);
        else
            widget->setVisible(on);
    }
}
