// Live values as the family windows show them, and the live log's CSV.
#include "live_display.h"

#include <gtest/gtest.h>

TEST(LiveDisplay, EachFamilyShowsItsValuesInTheScaleOfItsTypes)
{
    using Texts = std::vector<std::string>;
    using F = ModuleFamily;
    const struct
    {
        ModuleFamily family;
        std::map<int, int> configuration;
        std::vector<int> words;
        Texts texts, units;
    } cases[] = {
        // clang-format off
        // Thermocouple K: whole degrees, F(PV1,PV2) in tenths; 0x8000 stays positive.
        {F::Converter, {{0, 1}, {1, 0}}, {65411, 32767, 65531}, {"-12", "OPEN", "-0.5"}, {"deg C", "deg C", "deg C"}},
        {F::Converter, {{0, 1}, {1, 1}}, {32768, 1, 32768}, {"3276", "0", "3276.8"}, {"deg F", "deg F", "deg F"}},
        // PT-100 in tenths, 0x8000 negative; a temperature without a unit names none.
        {F::Transmitter, {{0, 10}, {1, 1}}, {32768}, {"-3276.8"}, {"deg F"}},
        {F::Transmitter, {{0, 1}, {1, 5}}, {125}, {"12"}, {""}},
        {F::Resistance, {}, {65531}, {"-5"}, {""}},
        // Each channel by its own type; without one, only OPEN is shown.
        {F::Distributor, {{0, 9}, {1, 0}, {23, 12}, {24, 1}}, {1234, 4000}, {"12.34", "4.000"}, {"mV", "mA"}},
        {F::Distributor, {{0, 99}, {23, 99}}, {5, 32767}, {"", "OPEN"}, {"", ""}},
        {F::VmaDistributor, {{0, 0}, {23, 17}}, {4800, 550, 65413}, {"480.0", "5.50", "-12.3"}, {"mV", "mA", ""}},
        // clang-format on
    };
    for (const auto &c : cases) {
        const LiveDisplay display(c.family, c.configuration);
        EXPECT_EQ(display.texts(c.words), c.texts);
        Texts units;
        for (const LiveValue &value : display.values())
            units.push_back(value.unit);
        EXPECT_EQ(units, c.units);
    }
}

TEST(LiveDisplay, CsvNamesEachValueWithItsUnitAndQuotesWhatMustBe)
{
    EXPECT_EQ(liveCsvHeader(LiveDisplay(ModuleFamily::Converter, {{0, 9}}).values()),
              "time,PV1 [mV],PV2 [mV],\"F(PV1,PV2) [mV]\"\n");
    EXPECT_EQ(liveCsvHeader(LiveDisplay(ModuleFamily::Resistance, {}).values()), "time,PV\n");
    EXPECT_EQ(liveCsvRow("2025-03-14T09:26:53.120+01:00", {"-0.50", "OPEN", ""}),
              "2025-03-14T09:26:53.120+01:00,-0.50,OPEN,\n");
    EXPECT_EQ(csvField("say \"1,2\""), "\"say \"\"1,2\"\"\"");
}
