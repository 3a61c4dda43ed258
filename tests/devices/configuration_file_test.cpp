#include "configuration_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {
// A converter of version index 9 as a read shows it: every field of its file.
Configuration converterConfiguration()
{
    Configuration configuration{2, 32, 9, 703070001, "2024-05-06T07:08:09", {}};
    for (const RegisterField *field :
         configurationFields(familyRegisters(ModuleFamily::Converter), 9))
        configuration.values[field->reg] = field->reg * 3 - 20;
    configuration.values[0] = -32768;
    configuration.values[1] = 65535;
    return configuration;
}

QJsonObject asJson(const Configuration &configuration)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(configurationText(configuration)))
        .object();
}

std::string text(const QJsonObject &object)
{
    return QJsonDocument(object).toJson().toStdString();
}

// The register list with one entry changed, added or taken out.
QJsonObject withRegisters(QJsonObject object, const std::function<void(QJsonArray &)> &change)
{
    QJsonArray registers = object["registers"].toArray();
    change(registers);
    object["registers"] = registers;
    return object;
}
} // namespace

TEST(ConfigurationFile, WhatIsWrittenIsReadBackWithMeaningsForPeople)
{
    const Configuration saved = converterConfiguration();
    const std::string written = configurationText(saved);
    const Configuration read = parseConfiguration(written, ModuleFamily::Converter);
    EXPECT_EQ(read.family, saved.family);
    EXPECT_EQ(read.model, saved.model);
    EXPECT_EQ(read.version, saved.version);
    EXPECT_EQ(read.serial, saved.serial);
    EXPECT_EQ(read.date, saved.date);
    EXPECT_EQ(read.values, saved.values);
    // One line per register, with its control and meaning.
    EXPECT_NE(written.find("{\"register\": 6, \"value\": -2, \"control\": \"Edi61\", \"meaning\": "
                           "\"PV1 offset correction\"}"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("\"familyName\": \"converter\""), std::string::npos);
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
    EXPECT_EQ(familyRegisters(0), nullptr);
    EXPECT_EQ(familyRegisters(6), nullptr);
}

TEST(ConfigurationFile, DamagedFilesAndFilesOfAnotherFamilyAreRefusedWithTheReason)
{
    using Kind = ConfigurationFileError::Kind;
    const QJsonObject sound = asJson(converterConfiguration());
    const std::string whole = text(sound);
    struct Case
    {
        const char *name;
        std::string text;
        Kind kind;
        const char *reason;
    };
    const auto set = [&](const char *key, const QJsonValue &value) {
        QJsonObject object = sound;
        object[key] = value;
        return text(object);
    };
    const auto without = [&](const char *key) {
        QJsonObject object = sound;
        object.remove(key);
        return text(object);
    };
    const auto setValue = [&](int index, const QJsonValue &value) {
        return text(withRegisters(sound, [&](QJsonArray &registers) {
            QJsonObject entry = registers[index].toObject();
            entry["value"] = value;
            registers[index] = entry;
        }));
    };
    const auto addRegister = [&](int reg) {
        return text(withRegisters(sound, [&](QJsonArray &registers) {
            registers.append(QJsonObject{{"register", reg}, {"value", 0}});
        }));
    };
    const Case cases[] = {
        {"truncated", whole.substr(0, whole.size() / 2), Kind::Damaged, "not complete JSON"},
        {"empty", "", Kind::Damaged, "not complete JSON"},
        {"another JSON file", "{\"name\": 1}", Kind::Damaged, "not a configuration file"},
        {"newer format", set("formatVersion", 2), Kind::Damaged, "format version 2"},
        {"another family", set("family", 1), Kind::OtherFamily,
         "of a transmitter, not of a converter"},
        {"no such family", set("family", 9), Kind::Damaged, "family 9"},
        {"no version", without("version"), Kind::Damaged, "the version is missing"},
        {"no registers", without("registers"), Kind::Damaged, "no list of registers"},
        {"a trim count", addRegister(10), Kind::Damaged, "never taken from a file"},
        {"a calibration register", addRegister(21), Kind::Damaged, "register 21 is not"},
        {"listed twice", addRegister(2), Kind::Damaged, "register 2 is listed twice"},
        {"beyond 16 bits", setValue(0, 65536), Kind::Damaged, "-32768 to 65535"},
        {"a fraction", setValue(0, 1.5), Kind::Damaged, "not a whole number"},
        {"a text", setValue(0, "3"), Kind::Damaged, "not a whole number"},
        {"a field missing", text(withRegisters(sound, [](QJsonArray &r) { r.removeAt(2); })),
         Kind::Damaged, "register 2 (measuring range, low) is missing"},
    };
    for (const Case &c : cases) {
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

TEST(ConfigurationFile, OnlyFieldsTheFilesVersionHasMustBeThereAndAnEmptyFilterMayBeMissing)
{
    Configuration old = converterConfiguration();
    old.version = 4; // no address, baud rate or filter yet
    for (int reg : {19, 20, 23})
        old.values.erase(reg);
    EXPECT_EQ(parseConfiguration(configurationText(old), ModuleFamily::Converter).values,
              old.values);

    Configuration noFilter = converterConfiguration();
    noFilter.values.erase(23);
    EXPECT_EQ(parseConfiguration(configurationText(noFilter), ModuleFamily::Converter).values,
              noFilter.values);
}

TEST(ConfigurationFile, TheDocumentedExampleIsASoundFile)
{
    QFile doc(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../doc/configuration-files.md"));
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(doc.readAll());
    const qsizetype start = text.indexOf("```json\n");
    ASSERT_GE(start, 0);
    const qsizetype end = text.indexOf("```", start + 8);
    const std::string example = text.mid(start + 8, end - start - 8).toStdString();
    const Configuration configuration = parseConfiguration(example, ModuleFamily::Converter);
    EXPECT_EQ(configuration.values.size(), 18u);
    EXPECT_EQ(configuration.values.at(4), -1005);
    // Written again, it is the same text, key for key and line for line.
    EXPECT_EQ(configurationText(configuration), example);
}
