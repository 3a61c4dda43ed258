// Configuration files in every family window: what one window saves, it opens
// again into the same fields; a damaged file or one of another family is
// refused; a value outside its field's rules is corrected by that field's exit
// rule; nothing is sent until "Write To Device".
#include "appearance.h"
#include "compact_window.h"
#include "converter_window.h"
#include "resistance_window.h"
#include "transmitter_window.h"
#include "universal_distributor_window.h"
#include "vma_distributor_window.h"
#include "window_fixture.h"

#include "configuration_file.h"

#include <QAbstractButton>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QTemporaryDir>

#include <map>

namespace {
using Registers = std::map<int, int>;

// What a test needs to know of a family window: its module, two
// configurations within every field's rules, a value outside one field's
// rules (reg, value, control) and a selector with its register.
struct Family
{
    ModuleConfig module;
    Registers first;
    Registers second;
    int breachRegister;
    int breachValue;
    const char *breachControl;
    int choiceRegister;
    const char *choiceControl;
};

template<class Window>
Family familyOf();

// clang-format off
template<>
Family familyOf<TForm1>()
{
    return {{2, 32, 9, 703070001, 1, 2},
            {{0, 0}, {1, 0}, {2, 100}, {3, 500}, {4, -1005}, {5, 3000}, {6, 15}, {7, -25}, {8, 1},
             {9, 2}, {14, 3}, {15, -4}, {16, 7}, {17, 3}, {18, 1}, {23, 4}},
            {{0, 1}, {1, 0}, {2, 0}, {3, 1000}, {4, 0}, {5, 1000}, {6, 0}, {7, 0}, {8, 0},
             {9, 0}, {14, 0}, {15, 1}, {16, 1}, {17, 0}, {18, 0}, {23, 2}},
            16, 0, "Edit12", // a divisor of 0 becomes 1
            8, "Item4"};
}

template<>
Family familyOf<TForm2>()
{
    return {{1, 1, 9, 703070001, 1, 2},
            {{0, 12}, {1, 1}, {2, 4012}, {3, 20000}, {4, -500}, {5, 1}, {6, 0}},
            {{0, 11}, {1, 0}, {2, -10000}, {3, 8190}, {4, 999}, {5, 0}, {6, 1}},
            4, 30000, "Edi61", // 30 mA of offset
            5, "Item4"};
}

template<>
Family familyOf<TForm4>()
{
    return {{3, 7, 5, 703070001, 1, 2}, {{4, -120}, {5, 1}, {6, 2}}, {{4, 30}, {5, 0}, {6, 0}},
            4, 3000, "Edi61", // beyond ±1500
            5, "Item3"};
}

template<>
Family familyOf<TForm10>()
{
    return {{3, 6, 3, 703070001, 1, 2}, {{4, -40}, {5, 1}, {6, 2}}, {{4, 30}, {5, 0}, {6, 0}},
            4, -60, "Edi61", // beyond ±50
            5, "Item3"};
}

template<>
Family familyOf<TForm5>()
{
    return {{4, 49, 3, 703070001, 1, 2},
            {{0, 0}, {1, 0}, {2, 100}, {3, 500}, {6, 15}, {8, 1}, {9, 2}, {23, 12}, {24, 0},
             {25, 4000}, {26, 20000}, {7, -500}, {27, 0}, {28, 1}, {29, 3}},
            {{0, 1}, {1, 0}, {2, 0}, {3, 1000}, {6, 0}, {8, 0}, {9, 0}, {23, 11}, {24, 0},
             {25, -5000}, {26, 5000}, {7, 0}, {27, 1}, {28, 0}, {29, 1}},
            6, 5000, "Edit5", // 500.0 degrees of offset
            27, "RadioGroup3"};
}

template<>
Family familyOf<TForm7>()
{
    return {{5, 50, 3, 703070001, 1, 2},
            {{0, 0}, {23, 1}, {2, -1005}, {3, 4800}, {6, -15}, {8, 1}, {9, 2}, {25, -7},
             {26, 24000}, {7, 1234}, {27, 0}, {28, 1}, {4, -1234}, {5, 3000}, {14, 3}, {15, -4},
             {16, 7}, {17, 3}, {18, 1}, {29, 4}},
            {{0, 1}, {23, 0}, {2, 0}, {3, 1000}, {6, 0}, {8, 0}, {9, 0}, {25, 0}, {26, 1000},
             {7, 0}, {27, 1}, {28, 0}, {4, 0}, {5, 1000}, {14, 1}, {15, 1}, {16, 2}, {17, 0},
             {18, 0}, {29, 1}},
            16, 0, "Set_C", // a divisor of 0 becomes 1
            8, "Item_2"};
}
// clang-format on

bool contains(const std::vector<std::string> &messages, const std::string &part)
{
    for (const std::string &message : messages)
        if (message.find(part) != std::string::npos)
            return true;
    return false;
}
} // namespace

template<class Window>
struct ConfigurationFiles : WindowFixture<Window>
{
    Family family = familyOf<Window>();
    QTemporaryDir folder;

    void SetUp() override
    {
        WindowFixture<Window>::SetUp();
        this->attach(family.module);
    }

    void configureAll(const Registers &registers)
    {
        for (const auto &[reg, value] : registers)
            this->module->setHolding(reg, value & 0xFFFF);
    }
    void read()
    {
        this->form->BtnP1Click();
        this->runChain();
    }
    void write()
    {
        this->form->BtnP2Click();
        this->runChain();
    }
    QString path(const char *name) const { return folder.filePath(name); }

    // What every configuration field of the page shows (address and baud rate aside).
    std::vector<QString> page() const
    {
        std::vector<QString> shown;
        for (const RegisterField *field :
             configurationFields(*familyRegisters(family.module.family), family.module.version)) {
            if (field->writeOrder == SettingsStep)
                continue;
            const QString names = QString::fromLatin1(
                field->control.data(), static_cast<qsizetype>(field->control.size()));
            for (const QString &name : names.split('|'))
                shown.push_back(name + "=" +
                                state(this->form->template findChild<QWidget *>(name)));
        }
        return shown;
    }
    static QString state(QWidget *control)
    {
        if (auto *group = qobject_cast<RadioGroup *>(control))
            return QString::number(group->itemIndex());
        if (auto *combo = qobject_cast<QComboBox *>(control))
            return QString::number(combo->currentIndex());
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            return button->isChecked() ? "on" : "off";
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            return edit->text();
        return "?";
    }

    // A saved file's JSON, changed and written to another file.
    QString changed(const QString &from, const char *name, const Registers &values,
                    int family = 0) const
    {
        QFile in(from);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        QJsonObject object = QJsonDocument::fromJson(in.readAll()).object();
        QJsonArray registers = object["registers"].toArray();
        for (QJsonValueRef entry : registers) {
            QJsonObject item = entry.toObject();
            if (const auto value = values.find(item["register"].toInt()); value != values.end())
                item["value"] = value->second;
            entry = item;
        }
        object["registers"] = registers;
        if (family)
            object["family"] = family;
        return write(name, QJsonDocument(object).toJson());
    }
    QString write(const char *name, const QByteArray &bytes) const
    {
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path(name);
    }
    // The first configuration, read and saved.
    QString saved()
    {
        configureAll(family.first);
        read();
        EXPECT_TRUE(this->form->saveConfiguration(path("saved.json")));
        return path("saved.json");
    }
};

using Windows = ::testing::Types<TForm1, TForm2, TForm4, TForm10, TForm5, TForm7>;
TYPED_TEST_SUITE(ConfigurationFiles, Windows);

TYPED_TEST(ConfigurationFiles, ASavedConfigurationFillsTheSameFieldsAndIsSentOnlyByWriteToDevice)
{
    this->configureAll(this->family.first);
    this->read();
    const std::vector<QString> first = this->page();
    ASSERT_TRUE(this->form->saveConfiguration(this->path("first.json")));

    // Another configuration on the module and on the page.
    this->configureAll(this->family.second);
    this->read();
    ASSERT_NE(this->page(), first);

    this->messages.clear();
    this->line->clearLog();
    ASSERT_TRUE(this->form->openConfiguration(this->path("first.json"), false));
    EXPECT_TRUE(this->requests().empty());
    EXPECT_EQ(this->page(), first);
    ASSERT_EQ(this->messages.size(), 1u);
    EXPECT_TRUE(contains(this->messages, "Nothing has been sent")) << this->messages.front();
    EXPECT_FALSE(contains(this->messages, "Corrected")) << this->messages.front();
    for (const auto &[reg, value] : this->family.second)
        EXPECT_EQ(this->module->holding(reg), value & 0xFFFF) << reg;

    this->write();
    EXPECT_EQ(this->status()->text(), "Write Success");
    for (const auto &[reg, value] : this->family.first)
        EXPECT_EQ(this->module->holding(reg), value & 0xFFFF) << reg;
}

TYPED_TEST(ConfigurationFiles, FilesOfAnotherFamilyAndDamagedFilesAreRefusedAndLeaveThePage)
{
    const QString saved = this->saved();
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    const int other = this->family.module.family % 5 + 1;
    struct Case
    {
        QString path;
        const char *message;
    };
    const Case cases[] = {
        {this->changed(saved, "other.json", {}, other), "the file is of another family"},
        {this->write("cut.json", whole.left(whole.size() / 2)), "the file is damaged"},
        {this->write("empty.json", {}), "the file is damaged"},
        {this->path("missing.json"), "cannot be read"},
    };
    // The page shows the second configuration when each file is refused.
    this->configureAll(this->family.second);
    this->read();
    const std::vector<QString> before = this->page();
    for (const Case &c : cases) {
        this->messages.clear();
        this->line->clearLog();
        EXPECT_FALSE(this->form->openConfiguration(c.path, true)) << c.message;
        EXPECT_EQ(this->page(), before) << c.message;
        EXPECT_TRUE(this->requests().empty()) << c.message;
        ASSERT_EQ(this->messages.size(), 1u) << c.message;
        EXPECT_TRUE(contains(this->messages, c.message)) << this->messages.front();
    }
}

TYPED_TEST(ConfigurationFiles, AValueOutsideItsFieldsRulesIsCorrectedByTheFieldsExitRule)
{
    const Family &family = this->family;
    const QString saved = this->saved();
    const QString breach =
        this->changed(saved, "breach.json", {{family.breachRegister, family.breachValue}});
    this->messages.clear();
    ASSERT_TRUE(this->form->openConfiguration(breach, false));
    const std::string corrected = std::string("(") + family.breachControl + "): ";
    ASSERT_TRUE(contains(this->messages, "Corrected by the field's own rule"));
    EXPECT_TRUE(contains(this->messages, corrected)) << this->messages.front();
    // The corrected value passes the write's own check.
    this->write();
    EXPECT_EQ(this->status()->text(), "Write Success");
    EXPECT_NE(this->module->holding(family.breachRegister), family.breachValue & 0xFFFF);

    // A value none of a selector's choices stands for clears it, as a read
    // does; the write then refuses and sends nothing.
    const QString noChoice = this->changed(saved, "choice.json", {{family.choiceRegister, 7}});
    this->messages.clear();
    ASSERT_TRUE(this->form->openConfiguration(noChoice, false));
    EXPECT_TRUE(contains(this->messages,
                         std::string("(") + family.choiceControl + "): 7 is none of its choices"))
        << this->messages.front();
    EXPECT_EQ(this->template child<RadioGroup>(family.choiceControl)->itemIndex(), -1);
    this->line->clearLog();
    this->write();
    EXPECT_EQ(this->status()->text(), "Write Fail");
    for (const auto &[function, reg, value] : this->requests())
        EXPECT_TRUE(function != 5 && function != 6) << reg;
}

TYPED_TEST(ConfigurationFiles, AddressAndBaudRateAreTakenOverOnlyWhenAsked)
{
    if (!configurationField(*familyRegisters(this->family.module.family), 19))
        return; // the family's page has neither
    const QString other = this->changed(this->saved(), "settings.json", {{19, 7}, {20, 1}});
    this->line->clearLog();

    this->messages.clear();
    ASSERT_TRUE(this->form->openConfiguration(other, false));
    EXPECT_EQ(this->text("ID_Edit"), "1");
    EXPECT_EQ(this->template child<QComboBox>("ComboBox1")->currentIndex(), 2);
    EXPECT_TRUE(contains(this->messages, "Address and baud rate left as they were"));

    this->messages.clear();
    ASSERT_TRUE(this->form->openConfiguration(other, true));
    EXPECT_EQ(this->text("ID_Edit"), "7");
    EXPECT_EQ(this->template child<QComboBox>("ComboBox1")->currentIndex(), 1);
    EXPECT_FALSE(contains(this->messages, "left as they were"));
    EXPECT_TRUE(this->requests().empty());
}

TYPED_TEST(ConfigurationFiles, SavingWaitsForASuccessfulReadAndForTheCommandUnderWay)
{
    const QString file = this->path("page.json");
    // Nothing read yet.
    EXPECT_FALSE(this->form->saveConfiguration(file));
    EXPECT_TRUE(contains(this->messages, "Read From Device"));
    // A read under way.
    this->messages.clear();
    this->form->BtnP1Click();
    EXPECT_FALSE(this->form->saveConfiguration(file));
    EXPECT_TRUE(contains(this->messages, "Wait until the command under way has ended"));
    this->runChain();
    EXPECT_TRUE(this->form->saveConfiguration(file));
    // A field whose text no register can take.
    const QString shown = this->text(this->family.breachControl);
    this->setText(this->family.breachControl, "1,5");
    this->messages.clear();
    EXPECT_FALSE(this->form->saveConfiguration(this->path("text.json")));
    EXPECT_TRUE(contains(this->messages, std::string("(") + this->family.breachControl +
                                             ") holds no value a register can take"));
    this->setText(this->family.breachControl, shown);
    // A read that failed: the page is no longer known to be the module's.
    QFile::remove(file);
    this->line->injectFault({LineFault::BadCrc, 3, 0});
    this->read();
    ASSERT_EQ(this->status()->text(), "Read Fail");
    this->messages.clear();
    EXPECT_FALSE(this->form->saveConfiguration(file));
    EXPECT_TRUE(contains(this->messages, "Read From Device"));
    EXPECT_FALSE(QFile::exists(file));
}

TYPED_TEST(ConfigurationFiles, TheFileMenuOffersItsCommandsInEachLanguage)
{
    const char *const names[] = {"OpenConfiguration", "SaveConfiguration", "SaveLiveLog",
                                 "SaveReport"};
    const char *const expected[][4] = {
        {"Open Configuration...", "Save Configuration...", "Save Live Log...", "Save Report..."},
        {"開啟設定檔...", "儲存設定檔...", "儲存量測記錄...", "儲存設定校正紀錄..."},
        {"打开设定档...", "保存设定档...", "保存量测记录...", "保存设定校正记录..."}};
    auto *file = this->template child<QMenu>("File1");
    for (std::size_t i = 0; i < std::size(Languages); ++i) {
        this->scan->applyLanguage(Languages[i].first);
        const QList<QAction *> actions = file->actions();
        ASSERT_GE(actions.size(), 6);
        for (int a = 0; a < 4; ++a) {
            EXPECT_EQ(actions[a]->objectName(), names[a]);
            EXPECT_EQ(actions[a]->text(), QString::fromUtf8(expected[i][a]));
        }
        EXPECT_TRUE(actions[4]->isSeparator());
        file->adjustSize();
        saveShot(file, this->form->objectName() + "-file-menu-" + Languages[i].second);
    }
    this->scan->applyLanguage(lang::English);
}
