#include "live_display.h"

#include "input_types.h"
#include "range_display.h"
#include "register_values.h"
#include "vma_ranges.h"

namespace {
int valueOf(const std::map<int, int> &configuration, int reg)
{
    const auto value = configuration.find(reg);
    return value == configuration.end() ? -1 : value->second;
}

// The unit caption the window shows for an input type and unit selection;
// none for a temperature type without a unit chosen.
std::string unitOf(int type, int unit)
{
    return isInputType(type) ? rangeDisplay(type, unit).unitCaption : std::string();
}
} // namespace

LiveDisplay::LiveDisplay(ModuleFamily family, const std::map<int, int> &configuration)
{
    const auto typed = [&](const char *name, int typeReg, int unitReg, bool wholeDegrees,
                           bool above32768) {
        const int type = valueOf(configuration, typeReg);
        m_values.push_back({name, unitOf(type, valueOf(configuration, unitReg))});
        m_scales.push_back({type, -1, wholeDegrees, above32768});
    };
    const auto ranged = [&](const char *name, int rangeReg) {
        const int range = valueOf(configuration, rangeReg);
        m_values.push_back({name, isVmaRange(range) ? vmaRange(range).unit : ""});
        m_scales.push_back({range, vmaDecimals(range), false, false});
    };
    switch (family) {
    case ModuleFamily::Converter:
        // PV1 and PV2 in the page's fields, thermocouples in whole degrees;
        // F(PV1,PV2) has only the field that shows tenths. One input type
        // scales all three.
        typed("PV1", 0, 1, true, true);
        typed("PV2", 0, 1, true, true);
        typed("F(PV1,PV2)", 0, 1, false, true);
        break;
    case ModuleFamily::Transmitter: typed("PV", 0, 1, true, false); break;
    case ModuleFamily::Resistance:
        // Shown unscaled, with no unit.
        m_values.push_back({"PV", ""});
        m_scales.push_back({-1, 0, false, false});
        break;
    case ModuleFamily::Distributor:
        typed("PV1", 0, 1, true, false);
        typed("PV2", 23, 24, true, false);
        break;
    case ModuleFamily::VmaDistributor:
        ranged("PV1", 0);
        ranged("PV2", 23);
        m_values.push_back({"F(PV1,PV2)", ""});
        m_scales.push_back({-1, OutputFunctionDecimals, false, false});
        break;
    }
}

std::vector<std::string> LiveDisplay::texts(const std::vector<int> &words) const
{
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < m_scales.size(); ++i) {
        const Scale &scale = m_scales[i];
        const int word = i < words.size() ? words[i] : 0;
        const int value = scale.signedAbove32768 ? signedAbove32768(word) : signedAbove32767(word);
        if (scale.decimals >= 0)
            texts.push_back(liveText(value, scale.decimals));
        else if (isInputType(scale.type))
            texts.push_back(liveValueText(scale.type, value, scale.wholeDegrees));
        else // no type read: no scale to show the value in
            texts.push_back(value == OpenInput ? "OPEN" : "");
    }
    return texts;
}

std::string csvField(const std::string &text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string liveCsvHeader(const std::vector<LiveValue> &values)
{
    std::string line = "time";
    for (const LiveValue &value : values)
        line +=
            "," + csvField(value.unit.empty() ? value.name : value.name + " [" + value.unit + "]");
    return line + "\n";
}

std::string liveCsvRow(const std::string &timeStamp, const std::vector<std::string> &texts)
{
    std::string line = csvField(timeStamp);
    for (const std::string &text : texts)
        line += "," + csvField(text);
    return line + "\n";
}
