#include "sim_options.h"

#include <gtest/gtest.h>

namespace {

SimOptions parsed(const std::vector<std::string> &args)
{
    SimOptions options;
    std::string error;
    EXPECT_TRUE(parseSimOptions(args, options, error)) << error;
    return options;
}

std::string refusal(const std::vector<std::string> &args)
{
    SimOptions options;
    std::string error;
    EXPECT_FALSE(parseSimOptions(args, options, error));
    return error;
}

TEST(SimOptions, DefaultIsTheConverterAtAddressOneAnd19200)
{
    const ModuleConfig config = parsed({}).config;
    EXPECT_EQ(config.family, 2);
    EXPECT_EQ(config.model, 32);
    EXPECT_EQ(config.version, 9);
    EXPECT_EQ(config.serial, 703070001u);
    EXPECT_EQ(config.address, 1);
    EXPECT_EQ(config.baudCode, 2);
}

TEST(SimOptions, FamilyAloneTakesItsUsualModelAndVersion)
{
    const int models[] = {0, 1, 32, 5, 49, 50};
    const int versions[] = {0, 9, 9, 5, 9, 3};
    for (int family = 1; family <= 5; ++family) {
        const ModuleConfig config = parsed({"--family", std::to_string(family)}).config;
        EXPECT_EQ(config.family, family);
        EXPECT_EQ(config.model, models[family]) << family;
        EXPECT_EQ(config.version, versions[family]) << family;
        // Every default model is one the scan puts in that family.
        EXPECT_EQ(familyOfModel(config.model, config.version), family);
    }
}

TEST(SimOptions, ModelAloneChoosesTheFamilyAsTheScanDoes)
{
    EXPECT_EQ(parsed({"--model", "7"}).config.family, 3);
    EXPECT_EQ(parsed({"--model=56"}).config.family, 4);
    EXPECT_EQ(parsed({"--model", "12", "--version", "38"}).config.family, 1);
    EXPECT_NE(refusal({"--model", "12"}).find("no family"), std::string::npos);
    // Both given: taken as they are (a model the window refuses is worth simulating).
    const ModuleConfig odd = parsed({"--family", "1", "--model", "18"}).config;
    EXPECT_EQ(odd.family, 1);
    EXPECT_EQ(odd.model, 18);
}

TEST(SimOptions, EveryOptionIsTakenAndBadValuesAreRefused)
{
    const SimOptions options = parsed({"--address", "17", "--baud=38400", "--serial", "4294967295",
                                       "--link", "/tmp/x", "--broken", "--store-fails"});
    EXPECT_EQ(options.config.address, 17);
    EXPECT_EQ(options.config.baudCode, 3);
    EXPECT_EQ(options.config.serial, 4294967295u);
    EXPECT_EQ(options.linkPath, "/tmp/x");
    EXPECT_TRUE(options.broken);
    EXPECT_TRUE(options.storeFails);
    EXPECT_TRUE(parsed({"--help"}).help);

    for (const auto &args : std::vector<std::vector<std::string>>{{"--baud", "115200"},
                                                                  {"--address", "0"},
                                                                  {"--address", "256"},
                                                                  {"--family", "6"},
                                                                  {"--serial", "4294967296"},
                                                                  {"--model", "x"},
                                                                  {"--address"},
                                                                  {"--frobnicate"},
                                                                  {"--broken=1"},
                                                                  {"--link", ""}}) {
        EXPECT_FALSE(refusal(args).empty()) << args.front();
    }
}

} // namespace
