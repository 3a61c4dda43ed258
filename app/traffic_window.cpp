#include "traffic_window.h"

#include "message_sink.h"
#include "traffic_model.h"
#include "traffic_record.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

TrafficWindow::TrafficWindow(TrafficRecord &record)
    : QWidget(nullptr)
    , m_record(record)
    , m_model(std::make_unique<TrafficModel>(record))
{
    setObjectName("TrafficWindow");
    setWindowTitle("Line Traffic");

    const auto addButton = [this](const char *name, const QString &text) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        return button;
    };
    Pause = addButton("Pause", "Pause");
    Pause->setCheckable(true);
    Clear = addButton("Clear", "Clear");
    Copy = addButton("Copy", "Copy");
    Save = addButton("Save", "Save...");
    Count = new QLabel(this);
    Count->setObjectName("Count");
    Count->setToolTip(
        QString("The newest %1 lines are kept.").arg(static_cast<qulonglong>(record.capacity())));
    connect(Pause, &QPushButton::toggled, this, &TrafficWindow::PauseClick);
    connect(Clear, &QPushButton::clicked, this, &TrafficWindow::ClearClick);
    connect(Copy, &QPushButton::clicked, this, &TrafficWindow::CopyClick);
    connect(Save, &QPushButton::clicked, this, &TrafficWindow::SaveClick);

    Lines = new QTreeView(this);
    Lines->setObjectName("Lines");
    Lines->setModel(m_model.get());
    Lines->setRootIsDecorated(false);
    Lines->setItemsExpandable(false);
    Lines->setUniformRowHeights(true);
    Lines->setAlternatingRowColors(true);
    Lines->setAllColumnsShowFocus(true);
    Lines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Lines->setSelectionBehavior(QAbstractItemView::SelectRows);
    Lines->setTextElideMode(Qt::ElideRight);
    // The lines are plain Latin text: painting them skips text shaping, which
    // is most of what a repaint costs.
    QFont lineFont = Lines->font();
    lineFont.setStyleStrategy(QFont::PreferNoShaping);
    Lines->setFont(lineFont);
    QHeaderView *header = Lines->header();
    header->setStretchLastSection(true);
    const QFontMetrics fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics plain(font());
    const int pad = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 20;
    Lines->setColumnWidth(TrafficModel::Time, fixed.horizontalAdvance("00000.000") + pad);
    Lines->setColumnWidth(TrafficModel::Direction, plain.horizontalAdvance("Dir") + pad);
    Lines->setColumnWidth(TrafficModel::Baud, plain.horizontalAdvance("38400") + pad * 3 / 4);
    // Room for a request and a short reply (13 bytes); longer ones are cut
    // short with their tool tip showing them whole.
    Lines->setColumnWidth(TrafficModel::Bytes,
                          fixed.horizontalAdvance(QString(13 * 3 - 1, QLatin1Char('0'))) + pad);
    Lines->setColumnWidth(TrafficModel::Verdict, plain.horizontalAdvance("wrong byte count") + pad);
    // Ctrl+C anywhere in the window copies the selected lines, not the one
    // cell the view would copy by itself.
    auto *copyKey = new QShortcut(QKeySequence::Copy, this);
    connect(copyKey, &QShortcut::activated, this, &TrafficWindow::CopyClick);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    for (QPushButton *button : {Pause, Clear, Copy, Save})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(Count);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addLayout(buttons);
    layout->addWidget(Lines, 1);
    resize(1000, 460);

    Refresh = new QTimer(this);
    Refresh->setObjectName("Refresh");
    // Once a second: each repaint (a few milliseconds) is done between two
    // exchanges and delays the next one, so the window costs a chain well
    // under 1 % of its time.
    Refresh->setInterval(1000);
    connect(Refresh, &QTimer::timeout, this, &TrafficWindow::refresh);
    showCount();
}

TrafficWindow::~TrafficWindow() = default;

void TrafficWindow::refresh()
{
    if (Pause->isChecked())
        return;
    const QScrollBar *bar = Lines->verticalScrollBar();
    const bool followEnd = bar->value() == bar->maximum();
    if (m_model->update() == 0)
        return;
    if (followEnd)
        Lines->scrollToBottom();
    showCount();
}

void TrafficWindow::PauseClick(bool paused)
{
    if (Pause->isChecked() != paused)
        Pause->setChecked(paused); // calls back through toggled
    else if (!paused)
        refresh();
    showCount();
}

void TrafficWindow::ClearClick()
{
    m_record.clear();
    m_model->clear();
    showCount();
}

void TrafficWindow::CopyClick()
{
    std::vector<int> rows;
    for (const QModelIndex &index : Lines->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end());
    // The lines without the heading line of the text form.
    QString text = m_model->toText(rows);
    text.remove(0, text.indexOf(QLatin1Char('\n')) + 1);
    QApplication::clipboard()->setText(text);
}

void TrafficWindow::SaveClick()
{
    const QString textFilter = "Text (*.txt)";
    const QString csvFilter = "CSV (*.csv)";
    QString filter = textFilter;
    const QString folder = m_folder.isEmpty() ? QDir::homePath() : m_folder;
    const QString name =
        QString("traffic-%1.txt").arg(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss"));
    QString path =
        QFileDialog::getSaveFileName(this, "Save Line Traffic", QDir(folder).filePath(name),
                                     textFilter + ";;" + csvFilter, &filter);
    if (path.isEmpty())
        return;
    if (filter == csvFilter && !path.endsWith(".csv", Qt::CaseInsensitive))
        path += ".csv";
    m_folder = QFileInfo(path).absolutePath();
    saveTo(path);
}

bool TrafficWindow::saveTo(const QString &path)
{
    const std::vector<int> rows = m_model->allRows();
    const bool csv = path.endsWith(".csv", Qt::CaseInsensitive);
    const QString text = csv ? m_model->toCsv(rows) : m_model->toText(rows);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit())
        return true;
    showMessage(QString("Cannot save %1: %2")
                    .arg(QDir::toNativeSeparators(path), file.errorString())
                    .toStdString());
    return false;
}

void TrafficWindow::showCount()
{
    QString text = QString("%1 lines").arg(m_model->rowCount());
    if (Pause->isChecked())
        text += ", paused";
    Count->setText(text);
}

void TrafficWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
    Refresh->start();
}

void TrafficWindow::hideEvent(QHideEvent *event)
{
    Refresh->stop();
    QWidget::hideEvent(event);
}
