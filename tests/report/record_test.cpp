// The commissioning record of each family window's module, written as HTML
// in the three languages and parsed back: every field the window's page
// shows of its configuration is there, captioned with texts the page shows
// in that language and valued as the page shows it after a read.
#include "appearance.h"
#include "commissioning_record.h"
#include "language_switch.h"
#include "register_values.h"
#include "window_rig.h"

#include <QXmlStreamReader>

#include <set>

namespace {
struct Family
{
    const char *window;
    ModuleConfig config;
    std::vector<std::pair<int, int>> registers;
    std::size_t fields; // how many the page shows
};

// Modules that exercise the less common texts: deg F, current ("com -"), the
// square root, a negative offset.
const Family Families[] = {
    {"TForm1", {2, 32, 9}, {{0, 1}, {1, 1}, {2, -58}, {3, 2498}, {6, -15}, {18, 1}, {23, 3}}, 18},
    {"TForm2", {1, 1, 9}, {{0, 12}, {1, 1}, {2, 4000}, {3, 20000}, {5, 1}}, 7},
    {"TForm4", {3, 7, 5}, {{4, -20}, {5, 1}}, 5},
    {"TForm10", {3, 6, 3}, {{6, 2}}, 5},
    {"TForm5",
     {4, 49, 3},
     {{0, 10}, {1, 1}, {23, 12}, {24, 1}, {25, 4000}, {26, 20000}, {29, 2}},
     17},
    {"TForm7", {5, 50, 3}, {{0, 8}, {3, 100}, {17, 1}, {18, 1}, {23, 15}, {26, 1000}, {29, 2}}, 22},
};

// The cells of each row of the record's table of that class.
std::vector<QStringList> tableRows(const std::string &html, const QString &table)
{
    QXmlStreamReader xml(QString::fromStdString(html));
    std::vector<QStringList> rows;
    bool inside = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"table")
            inside = xml.attributes().value("class") == table;
        else if (inside && xml.isStartElement() && xml.name() == u"tr")
            rows.emplace_back();
        else if (inside && xml.isStartElement() && (xml.name() == u"th" || xml.name() == u"td"))
            rows.back() << xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return rows;
}

// What the control (or the checked one of "A|B|C") shows for its value.
QString shown(QWidget &window, const std::string &controls)
{
    for (const QString &name : QString::fromStdString(controls).split('|')) {
        QWidget *control = window.findChild<QWidget *>(name);
        if (auto *group = qobject_cast<RadioGroup *>(control))
            return group->itemText(group->itemIndex());
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            return edit->text();
        if (auto *combo = qobject_cast<QComboBox *>(control))
            return combo->currentText();
        if (auto *box = qobject_cast<QCheckBox *>(control))
            return box->isChecked() ? "\u2611" : "\u2610";
        if (auto *button = qobject_cast<QAbstractButton *>(control); button && button->isChecked())
            return button->text();
    }
    return "?";
}

// Every caption of the page as a record writes captions.
std::set<QString> pageCaptions(QWidget &window)
{
    std::set<QString> captions;
    const auto add = [&](const QString &text) {
        captions.insert(QString::fromStdString(plainCaption(text.toStdString())));
    };
    for (QLabel *label : window.findChildren<QLabel *>())
        add(label->text());
    for (QGroupBox *box : window.findChildren<QGroupBox *>())
        add(box->title());
    return captions;
}
} // namespace

TEST(CommissioningRecord, EveryFieldOfThePageIsCaptionedAndValuedAsThePageShowsIt)
{
    for (const Family &family : Families) {
        std::unique_ptr<Rig> rig = makeRig(family.window, family.config);
        for (const auto &[reg, value] : family.registers)
            rig->module().setHolding(reg, value & 0xFFFF);
        rig->press("BtnP1");
        std::map<int, int> values;
        for (int reg = 0; reg < 36; ++reg)
            values[reg] = signedAbove32767(rig->module().holding(reg));
        const auto module = static_cast<ModuleFamily>(family.config.family);
        for (const auto &[code, language] : Languages) {
            const std::string where = std::string(family.window) + " " + language;
            rig->link().ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
            i18n::switchLanguage(code, {{family.window, &rig->window()}});
            CommissioningRecord record;
            record.langCode = code;
            record.family = module;
            record.configuration = recordFields(module, family.config.version, values, code);
            const std::vector<QStringList> rows = tableRows(recordHtml(record), "configuration");
            ASSERT_EQ(rows.size(), record.configuration.size()) << where;
            EXPECT_EQ(rows.size(), family.fields) << where;
            const std::set<QString> captions = pageCaptions(rig->window());
            for (std::size_t i = 0; i < rows.size(); ++i) {
                ASSERT_EQ(rows[i].size(), 2) << where;
                for (const QString &part : rows[i][0].split(" / "))
                    EXPECT_TRUE(captions.contains(part)) << where << ": " << part.toStdString();
                EXPECT_EQ(rows[i][1], shown(rig->window(), record.configuration[i].control))
                    << where << ": " << rows[i][0].toStdString();
            }
        }
    }
}
