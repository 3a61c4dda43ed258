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

TEST(SimOptions, FaultRulesAreReadPartByPart)
{
    using F = LineFault;
    const std::pair<const char *, FaultRule> good[] = {
        {"noreply", {F::NoReply}},
        {"refuse:5:5x2", {F::Exception, 5, 5, 1, 2}},
        {"noreply:4:4096@3", {F::NoReply, 4, 4096, 3, 1}},
        {"badcrc:*:0x1F00@2x3", {F::BadCrc, -1, 7936, 2, 3}},
        {"short:3", {F::ShortReply, 3}},
        {"garbagex4", {F::Garbage, -1, -1, 1, 4}},
        {"split@2", {F::SplitReply, -1, -1, 2, 1}},
        {"pulled:6:*", {F::Pulled, 6}},
    };
    std::string error;
    for (const auto &[text, expected] : good) {
        FaultRule rule;
        EXPECT_TRUE(parseFaultRule(text, rule, error)) << error;
        EXPECT_EQ(rule, expected) << text;
        // The log's form of a rule reads back as the same rule.
        EXPECT_TRUE(parseFaultRule(faultRuleText(rule), rule, error)) << error;
        EXPECT_EQ(rule, expected) << faultRuleText(rule);
    }

    const std::pair<const char *, const char *> bad[] = {
        {"", "unknown fault \"\""},
        {"refused:5", "unknown fault \"refused\""},
        {"noreply:256", "function \"256\""},
        {"noreply:4:65536", "register \"65536\""},
        {"noreply:4:x2", "register \"\""},
        {"noreply@0", "\"@0\""},
        {"noreplyx", "\"x\""},
        {"noreply@2@3", "\"@2@3\""},
        {"noreply:4:5:6", "\":6\" is not understood"},
    };
    for (const auto &[text, part] : bad) {
        EXPECT_NE(refusal({"--fault", text}).find(part), std::string::npos) << text;
        EXPECT_EQ(refusal({"--fault", text}).find('\n'), std::string::npos);
    }
}

TEST(SimOptions, PresetsTakeSixteenBitValuesForRegistersTheFamilyHas)
{
    const SimOptions options =
        parsed({"--hold", "2=-1", "--hold=19=0x07", "--input", "4096=-32768", "--input",
                "0x1000=65535", "--fault", "noreply", "--fault", "pulled:6"});
    EXPECT_EQ(options.holding, (std::vector<RegisterPreset>{{2, 65535}, {19, 7}}));
    EXPECT_EQ(options.inputs, (std::vector<RegisterPreset>{{4096, 32768}, {4096, 65535}}));
    EXPECT_EQ(options.faults,
              (std::vector<FaultRule>{{LineFault::NoReply}, {LineFault::Pulled, 6}}));

    const auto module = SimModule::create(options.config);
    applySimOptions(options, *module);
    module->advance(60000);
    EXPECT_EQ(module->holding(2), 65535);
    EXPECT_EQ(module->address(), 7);
    EXPECT_EQ(module->input(4096), 65535); // the last preset, pinned

    const std::pair<std::vector<std::string>, const char *> bad[] = {
        {{"--hold", "2"}, "REG=VALUE"},
        {{"--hold", "=5"}, "register \"\""},
        {{"--hold", "2=65536"}, "value \"65536\""},
        {{"--hold", "2=-32769"}, "value \"-32769\""},
        {{"--input", "4096=0x"}, "value \"0x\""},
        {{"--hold", "26=1"}, "no holding register 26"},
        {{"--input", "4095=1"}, "no input register 4095"},
        {{"--hold", "20=4"}, "baud code 4"},
        {{"--hold", "19=256"}, "slave address 0"},
    };
    for (const auto &[args, part] : bad)
        EXPECT_NE(refusal(args).find(part), std::string::npos) << args[1];
}

} // namespace
