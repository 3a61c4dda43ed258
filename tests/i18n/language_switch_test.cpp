#include "combuf.h"
#include "language_switch.h"
#include "print_qstring.h"
#include "radio_group.h"
#include "status_label.h"
#include "status_messages.h"

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace i18n;

namespace {

QString utf8(const char *text)
{
    return QString::fromUtf8(text);
}

template<typename T>
T *named(const char *name, T *object)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

QAction *action(QWidget *window, QMenu *menu, const char *name, const char *text)
{
    auto entry = named(name, new QAction(QLatin1String(text), window));
    menu->addAction(entry);
    return entry;
}

QMenu *menu(QMainWindow *window, const char *name, const char *title)
{
    auto m = named(name, new QMenu(QLatin1String(title), window->menuBar()));
    window->menuBar()->addMenu(m);
    return m;
}

void addLanguageMenu(QMainWindow *window, bool exclusiveGroup)
{
    QMenu *language = menu(window, "Language", "Language");
    auto group = exclusiveGroup ? new QActionGroup(window) : nullptr;
    for (const char *name : {"English", "Traditional", "Simplified"}) {
        QAction *entry = action(window, language, name, name);
        entry->setCheckable(true);
        if (group)
            group->addAction(entry);
    }
}

// The scan window, built as the program builds it (menu entries are actions
// of the window, the Language entries in an exclusive group).
std::unique_ptr<QMainWindow> makeScanWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle("Scan");
    QMenu *file = menu(window.get(), "File", "File");
    action(window.get(), file, "Traffic", "Line Traffic...");
    action(window.get(), file, "Exit", "Exit");
    addLanguageMenu(window.get(), true);
    window->findChild<QAction *>("English")->setChecked(true);
    action(window.get(), menu(window.get(), "About", "Help"), "Conents", "Conents");
    auto central = new QWidget;
    auto layout = new QVBoxLayout(central);
    layout->addWidget(named("Label5", new QLabel("Press Start")));
    layout->addWidget(named("Button1", new QPushButton("Start")));
    layout->addWidget(named("Status", new StatusLabel));
    window->setCentralWidget(central);
    return window;
}

// A cut-down converter window: its menus, the Configuration and calibration
// pages, some group boxes, labels and buttons, and its status label.
std::unique_ptr<QMainWindow> makeConverterWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle("QuorelWin");
    action(window.get(), menu(window.get(), "File1", "File"), "Exit1", "Exit");
    addLanguageMenu(window.get(), false);
    action(window.get(), menu(window.get(), "Scan", "Scan"), "Start", "Start");
    auto tabs = new QTabWidget;
    auto configuration = named("Configuration", new QWidget);
    auto layout = new QVBoxLayout(configuration);
    layout->addWidget(named("Item1", new RadioGroup));
    layout->addWidget(named("GroupBox7", new QGroupBox("Output-1")));
    layout->addWidget(named("Lab81", new QLabel("Device    :")));
    layout->addWidget(named("BtnP1", new QPushButton("Read From Device")));
    layout->addWidget(named("Status", new StatusLabel));
    tabs->addTab(configuration, "Configuration");
    auto calibration = named("TabSheet1", new QWidget);
    auto calibrationLayout = new QVBoxLayout(calibration);
    calibrationLayout->addWidget(named("Btn11", new QPushButton("Start")));
    tabs->addTab(calibration, "Cablibration(1)");
    tabs->setTabVisible(1, false);
    window->setCentralWidget(tabs);
    return window;
}

QString tabText(QWidget *window, const char *page)
{
    auto tabs = window->findChild<QTabWidget *>();
    return tabs->tabText(tabs->indexOf(window->findChild<QWidget *>(page)));
}

template<typename T>
T *child(QWidget *window, const char *name)
{
    T *object = window->findChild<T *>(QLatin1String(name));
    EXPECT_NE(object, nullptr) << name;
    return object;
}

QString checkedLanguages(QWidget *window)
{
    QString checked;
    for (const char *name : {"English", "Traditional", "Simplified"}) {
        if (child<QAction>(window, name)->isChecked())
            checked += QLatin1String(name);
    }
    return checked;
}

class LanguageSwitch : public ::testing::Test
{
protected:
    void SetUp() override { m_scan->show(); }

    WindowSet windows() const { return {{"TForm3", m_scan.get()}, {"TForm1", m_converter.get()}}; }

    std::unique_ptr<QMainWindow> m_scan = makeScanWindow();
    std::unique_ptr<QMainWindow> m_converter = makeConverterWindow();
};

} // namespace

TEST_F(LanguageSwitch, CaptionsChangeInHiddenWindowsAndComeBack)
{
    ASSERT_FALSE(m_converter->isVisible());
    switchLanguage(lang::Traditional, windows());

    EXPECT_EQ(m_scan->windowTitle(), utf8("掃描"));
    EXPECT_EQ(child<QMenu>(m_scan.get(), "About")->title(), utf8("說明&"));
    EXPECT_EQ(child<QAction>(m_scan.get(), "Conents")->text(), utf8("軟體說明&"));

    QWidget *converter = m_converter.get();
    EXPECT_FALSE(converter->isVisible());
    EXPECT_EQ(child<QMenu>(converter, "File1")->menuAction()->text(), utf8("檔案&"));
    EXPECT_EQ(child<QAction>(converter, "Exit1")->text(), utf8("離開&"));
    EXPECT_EQ(tabText(converter, "Configuration"), utf8("設定"));
    EXPECT_EQ(tabText(converter, "TabSheet1"), utf8("校正(1)"));
    EXPECT_EQ(child<RadioGroup>(converter, "Item1")->title(), utf8("輸入訊號"));
    EXPECT_EQ(child<QGroupBox>(converter, "GroupBox7")->title(),
              utf8("第一組                     0/4~20mA輸出訊號調整"));
    EXPECT_EQ(child<QPushButton>(converter, "Btn11")->text(), utf8("校正"));
    // The family window keeps its own caption in every language.
    EXPECT_EQ(converter->windowTitle(), utf8("QuorelWin"));

    switchLanguage(lang::Simplified, windows());
    EXPECT_EQ(child<QMenu>(converter, "File1")->title(), utf8("文件&"));

    switchLanguage(lang::English, windows());
    EXPECT_EQ(tabText(converter, "Configuration"), utf8("Configuration"));
    EXPECT_EQ(tabText(converter, "TabSheet1"), utf8("Cablibration(1)"));
    EXPECT_EQ(child<QPushButton>(converter, "Btn11")->text(), utf8("Start"));
    EXPECT_EQ(m_scan->windowTitle(), utf8("Scan"));
}

TEST_F(LanguageSwitch, ScanWindowLabelIsResetToPressStart)
{
    auto label = child<QLabel>(m_scan.get(), "Label5");
    const std::pair<int, const char *> cases[] = {{lang::English, "Press Start"},
                                                  {lang::Traditional, "請按開始"},
                                                  {lang::Simplified, "请按开始"}};
    for (const auto &[code, text] : cases) {
        label->setText("Device Not Found");
        applyCaptions(code, windows());
        EXPECT_EQ(label->text(), utf8(text));
    }
}

TEST_F(LanguageSwitch, CheckMarkMovesTogetherInAllWindows)
{
    EXPECT_EQ(checkedLanguages(m_scan.get()), "English");
    EXPECT_EQ(checkedLanguages(m_converter.get()), "");

    const std::pair<int, const char *> cases[] = {{lang::Traditional, "Traditional"},
                                                  {lang::Simplified, "Simplified"},
                                                  {lang::English, "English"},
                                                  {lang::Simplified, "Simplified"},
                                                  {12345, "English"}};
    for (const auto &[code, name] : cases) {
        setLanguageChecks(code, windows());
        EXPECT_EQ(checkedLanguages(m_scan.get()), name) << code;
        EXPECT_EQ(checkedLanguages(m_converter.get()), name) << code;
    }
}

TEST_F(LanguageSwitch, StatusShownBeforeSwitchKeepsItsLanguage)
{
    auto status = child<StatusLabel>(m_converter.get(), "Status");
    showStatus(*status, Status::ReadSuccess, lang::Traditional);
    switchLanguage(lang::English, windows());
    EXPECT_EQ(status->text(), utf8("讀出成功"));
    EXPECT_EQ(status->fontColor(), QColor(0, 128, 0));
    showStatus(*status, Status::ReadSuccess, lang::English);
    EXPECT_EQ(status->text(), utf8("Read Success"));
}

TEST_F(LanguageSwitch, MissingControlsAreSkippedAndReported)
{
    // The Lab82 label exists but as an edit, which shows no caption.
    auto edit = named("Lab82", new QLineEdit("1234"));
    m_converter->findChild<QWidget *>("Configuration")->layout()->addWidget(edit);

    const std::vector<CaptionTarget> missing = missingControls(windows());
    auto isMissing = [&](const char *window, const char *control) {
        return std::find(missing.begin(), missing.end(),
                         CaptionTarget{QLatin1String(window), QLatin1String(control)}) !=
               missing.end();
    };
    int scanMissing = 0, converterMissing = 0, otherMissing = 0;
    for (const CaptionTarget &target : missing)
        ++(target.window == "TForm3"   ? scanMissing
           : target.window == "TForm1" ? converterMissing
                                       : otherMissing);
    EXPECT_EQ(scanMissing, 0);
    // The converter window here builds 12 of its 110 captioned controls (File1,
    // Exit1, Language, Scan, Start, Configuration, Item1, GroupBox7, Lab81,
    // BtnP1, TabSheet1, Btn11); Lab82 is there but shows no caption.
    EXPECT_EQ(converterMissing, 110 - 12);
    EXPECT_TRUE(isMissing("TForm1", "Lab82"));
    EXPECT_FALSE(isMissing("TForm1", "TabSheet1"));
    // Windows not in the set: every one of their controls.
    EXPECT_EQ(otherMissing, 69 + 44 + 44 + 109 + 79);
    EXPECT_TRUE(isMissing("TForm7", "Item_12"));

    switchLanguage(lang::Traditional, windows());
    EXPECT_EQ(edit->text(), "1234");
    EXPECT_EQ(child<QPushButton>(m_converter.get(), "BtnP1")->text(), utf8("讀出"));
}

// A dialog owned by a family window (the zero/span confirmation) is a window of
// its own: neither its controls nor its Language-like entries are switched,
// even when their names match the owner's captions.
TEST(LanguageSwitchWindows, OwnedDialogAndOtherWindowsAreLeftAlone)
{
    QMainWindow resistance;
    // The dialog comes first among the window's children, so a plain search
    // by name would reach its button before the window's own.
    auto dialog = named("TForm6", new QDialog(&resistance));
    auto dialogButton = named("Button5", new QPushButton("OK", dialog));
    auto dialogEnglish = named("English", new QAction("English", dialog));
    dialogEnglish->setCheckable(true);
    dialogEnglish->setChecked(true);
    auto box = named("GroupBox4", new QGroupBox(&resistance));
    auto done = named("Button5", new QPushButton("Done", box));

    switchLanguage(lang::Traditional, {{"TForm4", &resistance}, {"TForm6", dialog}});
    EXPECT_EQ(done->text(), utf8("完成"));
    EXPECT_EQ(dialogButton->text(), "OK");
    EXPECT_TRUE(dialogEnglish->isChecked());
}
