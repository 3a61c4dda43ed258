// The field rules and input check of configuration files, and the writes a
// file makes, for every family.
#include "configuration_chains.h"
#include "configuration_check.h"
#include "default_configuration.h"
#include "sim_module.h"
#include "sim_options.h"

#include <gtest/gtest.h>

namespace {
std::string joined(const std::vector<std::string> &problems)
{
    std::string text;
    for (const std::string &problem : problems)
        text += problem + "\n";
    return text;
}
} // namespace

TEST(ConfigurationCheck, ADefaultModuleOfEveryFamilyPasses)
{
    for (int family = 1; family <= 5; ++family) {
        const Configuration configuration = defaultConfiguration(family);
        EXPECT_EQ(joined(configurationProblems(configuration, configuration.version)), "")
            << "family " << family;
    }
}

TEST(ConfigurationCheck, EachRuleRefusesItsField)
{
    const struct
    {
        int family;
        int reg;
        int value;
        const char *problem;
    } cases[] = {
        {2, 19, 0, "no slave address"},
        {2, 20, 4, "no baud rate code"},
        {2, 8, -1, "no choice made"},
        {2, 18, 2, "neither 0 nor 1"},
        {2, 0, 13, "no input type"},
        {2, 2, 30000, "outside"},            // limit beyond the type's range
        {2, 6, 30000, "outside"},            // offset beyond its bound
        {2, 16, 0, "the window makes it 1"}, // divisor C
        {2, 14, 200, "the window makes it"}, // coefficient A
        {1, 4, 30000, "outside"},
        {3, 4, 30000, "the window makes it"},
        {4, 25, 30000, "outside"}, // CH-2 limit
        {5, 0, 99, "no range"},
        {5, 16, 0, "the window makes it 1"},
    };
    for (const auto &c : cases) {
        const Configuration configuration = defaultConfiguration(c.family, {{c.reg, c.value}});
        const std::string problems =
            joined(configurationProblems(configuration, configuration.version));
        EXPECT_NE(problems.find("register " + std::to_string(c.reg) + "): "), std::string::npos)
            << "family " << c.family << " register " << c.reg << ":\n"
            << problems;
        EXPECT_NE(problems.find(c.problem), std::string::npos) << problems;
    }
    // Limits the window would exchange are refused: a file is written as it stands.
    Configuration reversed = defaultConfiguration(2);
    reversed.values[2] = reversed.values.at(3) + 10;
    EXPECT_NE(
        joined(configurationProblems(reversed, reversed.version)).find("above the high limit"),
        std::string::npos);
}

TEST(ConfigurationChains, AFileWritesItsFieldsInWriteOrderWithoutTheSettings)
{
    for (int family = 1; family <= 5; ++family) {
        const Configuration configuration = defaultConfiguration(family);
        const std::vector<FieldWrite> writes =
            configurationWrites(configuration, configuration.version);
        ASSERT_FALSE(writes.empty());
        for (std::size_t i = 0; i < writes.size(); ++i) {
            EXPECT_NE(writes[i].field->writeOrder, SettingsStep);
            EXPECT_EQ(writes[i].value, configuration.values.at(writes[i].field->reg));
            if (i > 0) {
                EXPECT_LT(writes[i - 1].field->writeOrder, writes[i].field->writeOrder)
                    << "family " << family;
            }
        }
    }
}

TEST(ConfigurationCheck, AFileIsMatchedToTheModelAndVersionOfTheModule)
{
    // The registers a match names, "19 20 23 ".
    const auto regs = [](const std::vector<std::string> &lines) {
        std::string text;
        for (const std::string &line : lines)
            text += std::to_string(std::stoi(line.substr(line.find("register ") + 9))) + " ";
        return text;
    };
    // Thermocouple converter files: version 9 has its output range in tenths, version 2 in
    // whole degrees and no address, baud rate or filter.
    const Configuration newer = defaultConfiguration(2, {{0, 1}, {1, 0}, {4, -1005}, {5, 3005}});
    Configuration older = newer;
    older.version = 2;
    older.values = {{0, 1}, {1, 0}, {2, 0}, {3, 100}, {4, -100}, {5, 300}};
    const struct
    {
        Configuration file;
        int model, devVer;
        bool otherModel;
        std::string notTaken, notInFile, rescaled;
        std::map<int, int> written;
    } cases[] = {
        // clang-format off
        {newer, 32, 9, false, "", "", "", {{4, -1005}, {5, 3005}}},
        {newer, 33, 9, true, "", "", "", {{4, -1005}}},
        {newer, 32, 2, false, "19 20 23 ", "", "4 5 ", {{4, -100}, {5, 300}}},
        {older, 32, 9, false, "", "19 20 23 ", "4 5 ", {{4, -1000}, {5, 3000}}},
        {defaultConfiguration(2, {{0, 12}, {5, 3005}}), 32, 2, false, "19 20 23 ", "", "", {{5, 3005}}},
        // clang-format on
    };
    for (auto c : cases) {
        const ModuleMatch match = matchModule(c.file, c.model, c.devVer);
        EXPECT_EQ(match.otherModel, c.otherModel);
        EXPECT_EQ(regs(match.notTaken) + "|" + regs(match.notInFile) + "|" + regs(match.rescaled),
                  c.notTaken + "|" + c.notInFile + "|" + c.rescaled);
        for (const auto &[reg, value] : c.written)
            EXPECT_EQ(c.file.values.at(reg), value) << "register " << reg;
    }
}
