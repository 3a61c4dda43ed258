#include "app_fixture.h"

#include "appearance.h"
#include "traffic_model.h"
#include "traffic_window.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

// Splits CSV text (quoted fields, doubled quotes, CRLF records) into rows.
std::vector<QStringList> parseCsv(const QString &text)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << field;
            field.clear();
        } else if (c == '\n') {
            row << field;
            field.clear();
            rows.push_back(row);
            row.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    return rows;
}

QString readFile(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

struct TrafficWindowTest : AppFixture
{
    void SetUp() override
    {
        AppFixture::SetUp();
        link->traffic().setClock([this] { return line->clockMs(); });
    }

    TrafficWindow *open()
    {
        scan->findChild<QAction *>("Traffic")->trigger();
        TrafficWindow *window = scan->trafficWindow();
        EXPECT_NE(window, nullptr);
        return window;
    }
    // What row r of the view shows.
    static QStringList shown(TrafficWindow *window, int r)
    {
        QStringList cells;
        const QAbstractItemModel *model = window->Lines->model();
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        return cells;
    }
};

TEST_F(TrafficWindowTest, AScanIsShownLineByLine)
{
    attach({}); // a converter at address 1, 19200 baud: found by the first forced attempt
    TrafficWindow *window = open();
    EXPECT_TRUE(window->isVisible());
    window->resize(1100, 300);
    scanNow();
    window->refresh();

    // Time, direction, rate, bytes, the program's verdict and decoded line. Each query follows a
    // 100 ms drain; the reply to a broadcast is nobody's and not shown.
    const std::vector<std::vector<const char *>> expected = {
        {"0.100", "Tx", "4800", "01 04 1F 00 00 04 F6 1D", "",
         "addr 1, fn 4 read input, reg 7936, count 4"},
        {"0.216", "Rx", "4800", "", "no reply", "no reply"},
        {"0.316", "Tx", "4800", "00 05 00 13 00 01 FC 1E", "",
         "broadcast, fn 5 write coil, reg 19, value 1"},
        {"0.533", "Tx", "4800", "00 06 00 14 00 02 49 DE", "",
         "broadcast, fn 6 write register, reg 20, value 2"},
        {"0.749", "Tx", "19200", "01 04 1F 00 00 04 F6 1D", "",
         "addr 1, fn 4 read input, reg 7936, count 4"},
        {"0.757", "Rx", "19200", "01 04 08 20 09 00 00 29 E7 FF 31 87 5A", "ok",
         "addr 1, fn 4 read input, 4 registers: 8201 0 10727 65329"},
    };
    ASSERT_EQ(window->Lines->model()->rowCount(), static_cast<int>(expected.size()));
    for (std::size_t r = 0; r < expected.size(); ++r) {
        SCOPED_TRACE(r);
        const QStringList cells = shown(window, static_cast<int>(r));
        for (int c = 0; c < TrafficModel::ColumnCount; ++c) {
            if (*expected[r][c]) {
                EXPECT_EQ(cells[c], QString::fromUtf8(expected[r][c])) << "column " << c;
            }
        }
    }
    EXPECT_EQ(window->Count->text(), "6 lines");
    saveShot(window, "traffic_scan");
    EXPECT_TRUE(clippedCaptions(window).empty());

    // Every family window's File menu shows the same window, its entry in the
    // language of the program.
    window->hide();
    scan->TraditionalClick();
    EXPECT_EQ(scan->findChild<QAction *>("Traffic")->text(), QString::fromUtf8("通訊監視..."));
    for (StubWindow *form : familyWindows()) {
        QAction *entry = form->findChild<QAction *>("Traffic");
        EXPECT_EQ(entry->text(), QString::fromUtf8("通訊監視..."));
        entry->trigger();
        EXPECT_EQ(scan->trafficWindow(), window);
        EXPECT_TRUE(window->isVisible());
        window->hide();
    }
}

// Save writes every line the view shows, as text or CSV; Copy takes the
// selected lines.
TEST_F(TrafficWindowTest, SaveAndCopyWriteWhatTheViewShows)
{
    attach({});
    line->injectFault(LineFault::BadCrc); // a CRC error line, with commas in it
    TrafficWindow *window = open();
    scanNow();
    window->refresh();
    const int rows = window->Lines->model()->rowCount();
    ASSERT_GT(rows, 6);
    window->resize(1000, 420);
    saveShot(window, "traffic_bad_crc");

    QTemporaryDir folder;
    const QString csvPath = folder.filePath("traffic.csv");
    const QString textPath = folder.filePath("traffic.txt");
    ASSERT_TRUE(window->saveTo(csvPath));
    ASSERT_TRUE(window->saveTo(textPath));

    const std::vector<QStringList> csv = parseCsv(readFile(csvPath));
    ASSERT_EQ(csv.size(), static_cast<std::size_t>(rows + 1));
    EXPECT_EQ(csv[0],
              (QStringList{"Time (s)", "Dir", "Baud", "Bytes (hex)", "Verdict", "Decoded"}));
    for (int r = 0; r < rows; ++r)
        EXPECT_EQ(csv[static_cast<std::size_t>(r) + 1], shown(window, r)) << r;

    // Text: a heading, then each row's cells in order on its own line.
    const QStringList lines = readFile(textPath).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), rows + 1);
    for (int r = 0; r < rows; ++r) {
        qsizetype at = 0;
        for (const QString &cell : shown(window, r)) {
            at = lines[r + 1].indexOf(cell, at);
            ASSERT_GE(at, 0) << r << " " << cell.toStdString();
            at += cell.size();
        }
        EXPECT_EQ(at, lines[r + 1].size()) << "the decoded text ends the line";
    }

    // Copy: rows 1 and 3.
    QItemSelectionModel *selection = window->Lines->selectionModel();
    for (int r : {3, 1})
        selection->select(window->Lines->model()->index(r, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    window->Lines->setFocus();
    QTest::keyClick(window->Lines, Qt::Key_C, Qt::ControlModifier);
    // The same lines as saved, aligned among themselves.
    QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    for (QString &copy : copied)
        copy = copy.simplified();
    EXPECT_EQ(copied, (QStringList{lines[2].simplified(), lines[4].simplified()}));

    // A file that cannot be written is reported.
    EXPECT_FALSE(window->saveTo(folder.filePath("missing/traffic.txt")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(messages[0]).startsWith("Cannot save"));
}

// Pause freezes the view while the record goes on; Clear empties both; the
// view keeps the newest lines within the record's bound.
TEST_F(TrafficWindowTest, PauseClearAndBound)
{
    attach({});
    link->OpenCom(0, 2);
    TrafficWindow *window = open();
    QAbstractItemModel *model = window->Lines->model();
    const auto exchange = [this] {
        link->SendCmd(1, 4, 7936, 4);
        link->ReadReply();
    };

    exchange();
    window->refresh();
    EXPECT_EQ(model->rowCount(), 2);
    window->Pause->click();
    exchange();
    window->refresh();
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(window->Count->text(), "2 lines, paused");
    window->Pause->click();
    EXPECT_EQ(model->rowCount(), 4);

    window->Clear->click();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(link->traffic().size(), 0u);

    const int capacity = static_cast<int>(link->traffic().capacity());
    for (int i = 0; i < capacity; ++i) {
        exchange();
        if (i % 1000 == 0)
            window->refresh();
    }
    exchange();
    window->refresh();
    EXPECT_EQ(model->rowCount(), capacity);
    EXPECT_EQ(window->model().entry(capacity - 1).serial, link->traffic().endSerial() - 1);
    EXPECT_EQ(window->model().entry(0).serial, link->traffic().firstSerial());
}
