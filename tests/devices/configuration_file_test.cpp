#include "configuration_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <set>

namespace {
// The example of doc/configuration-files.md: a converter of version index 9.
std::string documentedExample()
{
    QFile doc(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../doc/configuration-files.md"));
    EXPECT_TRUE(doc.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(doc.readAll());
    const qsizetype start = text.indexOf("```json\n") + 8;
    return text.mid(start, text.indexOf("```", start) - start).toStdString();
}

std::string text(const QJsonObject &object)
{
    return QJsonDocument(object).toJson().toStdString();
}
} // namespace

TEST(ConfigurationFile, TheDocumentedExampleIsReadAndWrittenAgainLineForLine)
{
    const std::string example = documentedExample();
    const Configuration configuration = parseConfiguration(example, ModuleFamily::Converter);
    EXPECT_EQ(configuration.values.size(), 18u);
    EXPECT_EQ(configuration.values.at(4), -1005);
    EXPECT_EQ(configuration.serial, 703070001u);
    EXPECT_EQ(configurationText(configuration), example);
}

TEST(ConfigurationFile, EveryFamilyFileHoldsWrittenFieldsAndSettingsOnly)
{
    for (int number = 1; number <= 5; ++number) {
        const FamilyRegisters &family = *familyRegisters(number);
        std::set<int> registers;
        for (const RegisterField *field : configurationFields(family, 255)) {
            EXPECT_TRUE(field->writeOrder >= 0 || field->writeOrder == SettingsStep)
                << family.name << " " << field->reg;
            EXPECT_NE(field->kind, FieldKind::Count) << family.name << " " << field->reg;
            EXPECT_FALSE(field->meaning.empty()) << family.name << " " << field->reg;
            EXPECT_TRUE(registers.insert(field->reg).second) << family.name << " " << field->reg;
        }
        EXPECT_FALSE(registers.empty()) << family.name;
    }
    EXPECT_EQ(familyRegisters(6), nullptr);
}

TEST(ConfigurationFile, DamagedFilesAndFilesOfAnotherFamilyAreRefusedWithTheReason)
{
    using Kind = ConfigurationFileError::Kind;
    const std::string whole = documentedExample();
    const QJsonObject sound = QJsonDocument::fromJson(QByteArray::fromStdString(whole)).object();
    const QJsonValue gone(QJsonValue::Undefined);
    // The file with a key set (or taken out, for an undefined value), or with
    // register list entry `index` replaced (appended past the end).
    const auto with = [&](const char *key, const QJsonValue &value) {
        QJsonObject object = sound;
        value.isUndefined() ? void(object.remove(key)) : void(object[key] = value);
        return text(object);
    };
    const auto withEntry = [&](qsizetype index, const QJsonValue &entry) {
        QJsonArray registers = sound["registers"].toArray();
        if (entry.isUndefined())
            registers.removeAt(index);
        else if (index < registers.size())
            registers[index] = entry;
        else
            registers.append(entry);
        QJsonObject object = sound;
        object["registers"] = registers;
        return text(object);
    };
    const auto entry = [](int reg, const QJsonValue &value) {
        return QJsonObject{{"register", reg}, {"value", value}};
    };
    const struct
    {
        const char *name;
        std::string text;
        Kind kind;
        const char *reason;
    } cases[] = {
        {"truncated", whole.substr(0, whole.size() / 2), Kind::Damaged, "not complete JSON"},
        {"empty", "", Kind::Damaged, "not complete JSON"},
        {"another JSON file", "{\"name\": 1}", Kind::Damaged, "not a configuration file"},
        {"newer format", with("formatVersion", 2), Kind::Damaged, "format version 2"},
        {"another family", with("family", 1), Kind::OtherFamily, "of a transmitter, not of a"},
        {"no such family", with("family", 9), Kind::Damaged, "family 9"},
        {"no version", with("version", gone), Kind::Damaged, "the version is missing"},
        {"no registers", with("registers", gone), Kind::Damaged, "no list of registers"},
        {"a trim count", withEntry(99, entry(10, 0)), Kind::Damaged, "never taken from a file"},
        {"a calibration register", withEntry(99, entry(21, 0)), Kind::Damaged, "register 21"},
        {"listed twice", withEntry(99, entry(2, 0)), Kind::Damaged, "register 2 is listed twice"},
        {"beyond 16 bits", withEntry(0, entry(0, 65536)), Kind::Damaged, "-32768 to 65535"},
        {"a fraction", withEntry(0, entry(0, 1.5)), Kind::Damaged, "not a whole number"},
        {"a text", withEntry(0, entry(0, "3")), Kind::Damaged, "not a whole number"},
        {"a field missing", withEntry(2, gone), Kind::Damaged,
         "register 2 (measuring range, low) is missing"},
    };
    for (const auto &c : cases) {
        try {
            parseConfiguration(c.text, ModuleFamily::Converter);
            ADD_FAILURE() << c.name << " was taken";
        } catch (const ConfigurationFileError &error) {
            EXPECT_EQ(error.kind(), c.kind) << c.name;
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos)
                << c.name << ": " << error.what();
        }
    }
}

TEST(ConfigurationFile, OnlyFieldsOfTheFilesVersionMustBeThereAndAnEmptyFilterMayBeMissing)
{
    const Configuration example = parseConfiguration(documentedExample(), ModuleFamily::Converter);
    Configuration old = example;
    old.version = 4; // no address, baud rate or filter yet
    for (int reg : {19, 20, 23})
        old.values.erase(reg);
    Configuration noFilter = example;
    noFilter.values.erase(23);
    for (const Configuration &configuration : {old, noFilter})
        EXPECT_EQ(
            parseConfiguration(configurationText(configuration), ModuleFamily::Converter).values,
            configuration.values);
}
