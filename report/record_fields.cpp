#include "record_fields.h"

#include "caption_table.h"
#include "input_types.h"
#include "port_tables.h"
#include "range_display.h"
#include "resistance_registers.h"
#include "transmitter_registers.h"
#include "vma_ranges.h"

#include <QStringList>

#include <optional>

namespace {
// How a field's value is shown.
enum class Shown {
    Field,            // the text of the register table's conversion, else the number
    Items,            // the item of a choice
    InputTypes,       // an input type, as the converter and transmitter name it
    DistributorTypes, // an input type, as the distributor windows name it
    VmaRanges,        // a range of the V/mA distributor
    Units,            // a unit choice, named for the type of typeReg
    Baud,             // the baud rate of a baud code
    Flag,             // a check box
};

// One field of a page. Caption parts are controls of the window's caption
// table, or (when the window has no such control) the page's text as it is.
struct Row
{
    int reg;
    std::vector<const char *> caption;
    Shown shown = Shown::Field;
    std::vector<const char *> items = {};
    int typeReg = -1; // the register of the input type or range that scales the field
};

using S = Shown;

// The items of the choices, as the windows set them.
const std::vector<const char *> Direction = {"0/4mA ~ 20mA", "20mA ~ 0/4mA"};
const std::vector<const char *> Direction4 = {"4mA ~ 20mA", "20mA ~ 4mA"};
const std::vector<const char *> DirectionDistributor = {"(0/4->20)mA", "(20->0/4)mA"};
const std::vector<const char *> Fault = {"DownScale(0mA)", "UpScale(>20mA)", "Cut"};
const std::vector<const char *> Fault4 = {"DownScale(< 4mA)", "UpScale(>20mA)", "Cut"};
const std::vector<const char *> OutputSource = {"PV1", "F(PV1,PV2)", "High", "Low"};

// The fields of each page, in the order the page shows them.
const std::vector<Row> &rows(ModuleFamily family)
{
    static const std::vector<Row> converter = {
        {0, {"Item1"}, S::InputTypes},
        {1, {"Item3"}, S::Units, {}, 0},
        {2, {"Item2", "Lab21"}, S::Field, {}, 0},
        {3, {"Item2", "Lab22"}, S::Field, {}, 0},
        {6, {"Item6", "Label7"}, S::Field, {}, 0},
        {7, {"Item6", "Label8"}, S::Field, {}, 0},
        {8, {"Item4"}, S::Items, Direction},
        {9, {"Item5"}, S::Items, Fault},
        {19, {"GroupBox15", "ID"}},
        {20, {"GroupBox15", "Baud"}, S::Baud},
        {23, {"Filter"}},
        {14, {"calculate", "A"}},
        {15, {"calculate", "B"}},
        {16, {"calculate", "C"}},
        {17, {"calculate", "Label35"}, S::Items, OutputSource},
        {18, {"calculate", "\u221a"}, S::Flag},
        {4, {"calculate", "GroupBox11", "Label16"}, S::Field, {}, 0},
        {5, {"calculate", "GroupBox11", "Label17"}, S::Field, {}, 0},
    };
    static const std::vector<Row> transmitter = {
        {0, {"Item1"}, S::InputTypes},
        {1, {"Item3"}, S::Units, {}, 0},
        {2, {"Item2", "Lab21"}, S::Field, {}, 0},
        {3, {"Item2", "Lab22"}, S::Field, {}, 0},
        {4, {"Item6"}, S::Field, {}, 0},
        {5, {"Item4"}, S::Items, Direction4},
        {6, {"Item5"}, S::Items, Fault4},
    };
    static const std::vector<Row> resistance = {
        {2, {"Item2", "Lab21"}},
        {3, {"Item2", "Lab22"}},
        {5, {"Item3"}, S::Items, Direction4},
        {6, {"Item4"}, S::Items, Fault4},
        {4, {"GroupBox2"}},
    };
    static const std::vector<Row> distributor = {
        {0, {"CH-1", "Item1"}, S::DistributorTypes},
        {1, {"CH-1", "Item3"}, S::Units, {}, 0},
        {2, {"CH-1", "Item2", "Lab21"}, S::Field, {}, 0},
        {3, {"CH-1", "Item2", "Lab22"}, S::Field, {}, 0},
        {8, {"CH-1", "Item4"}, S::Items, DirectionDistributor},
        {9, {"CH-1", "Item5"}, S::Items, Fault},
        {6, {"CH-1", "GroupBox11", "Label17"}, S::Field, {}, 0},
        {23, {"CH-2", "RadioGroup1"}, S::DistributorTypes},
        {24, {"CH-2", "RadioGroup2"}, S::Units, {}, 23},
        {25, {"CH-2", "GroupBox9", "Label32"}, S::Field, {}, 23},
        {26, {"CH-2", "GroupBox9", "Label35"}, S::Field, {}, 23},
        {27, {"CH-2", "RadioGroup3"}, S::Items, DirectionDistributor},
        {28, {"CH-2", "RadioGroup4"}, S::Items, Fault},
        {7, {"CH-2", "GroupBox25", "Label63"}, S::Field, {}, 23},
        {29, {"Filter"}},
        {19, {"GroupBox15", "ID"}},
        {20, {"GroupBox15", "BR"}, S::Baud},
    };
    static const std::vector<Row> vma = {
        {0, {"CH-1", "Item_1"}, S::VmaRanges},
        {2, {"CH-1", "Item_3", "Lab21"}, S::Field, {}, 0},
        {3, {"CH-1", "Item_3", "Lab22"}, S::Field, {}, 0},
        {6, {"CH-1", "Item_5", "Label17"}, S::Field, {}, 0},
        {8, {"CH-1", "Item_2"}, S::Items, DirectionDistributor},
        {9, {"CH-1", "Item_4"}, S::Items, Fault},
        {23, {"CH-2", "Item_7"}, S::VmaRanges},
        {25, {"CH-2", "Item_9", "Label11"}, S::Field, {}, 0},
        {26, {"CH-2", "Item_9", "Label15"}, S::Field, {}, 0},
        {7, {"CH-2", "Item_11", "Label28"}, S::Field, {}, 0},
        {27, {"CH-2", "Item_8"}, S::Items, DirectionDistributor},
        {28, {"CH-2", "Item_10"}, S::Items, Fault},
        {14, {"Output Function", "A"}},
        {15, {"Output Function", "B"}},
        {16, {"Output Function", "C"}},
        {17, {"Output Function", "Output1"}, S::Items, OutputSource},
        {18, {"Output Function", "\u221a"}, S::Flag},
        {4, {"Output Function", "F(PV1,PV2) Range", "Lab21"}, S::Field, {}, 0},
        {5, {"Output Function", "F(PV1,PV2) Range", "Lab22"}, S::Field, {}, 0},
        {19, {"Item_13", "ID"}},
        {20, {"Item_13", "Baud"}, S::Baud},
        {29, {"Filter"}},
    };
    switch (family) {
    case ModuleFamily::Converter: return converter;
    case ModuleFamily::Transmitter: return transmitter;
    case ModuleFamily::Resistance: return resistance;
    case ModuleFamily::Distributor: return distributor;
    case ModuleFamily::VmaDistributor: return vma;
    }
    return converter;
}

// The texts of a window's control in the caption table.
const i18n::Texts *captionTexts(const QString &window, const QString &control)
{
    for (const i18n::CaptionRow &row : i18n::captionTable())
        for (const i18n::CaptionTarget &target : row.targets)
            if (target.window == window && target.control == control)
                return &row.texts;
    return nullptr;
}

// The register table field that shows reg on the page (not a trim count).
const RegisterField *pageField(ModuleFamily family, int reg)
{
    for (const RegisterTable *table : familyRegisters(family).tables)
        for (const RegisterField &field : *table)
            if (field.reg == reg && field.kind != FieldKind::Count)
                return &field;
    return nullptr;
}

std::optional<int> valueOf(const std::map<int, int> &values, int reg)
{
    const auto value = values.find(reg);
    return value == values.end() ? std::nullopt : std::optional<int>(value->second);
}

std::string item(const std::vector<const char *> &items, int value)
{
    return value >= 0 && value < static_cast<int>(items.size()) ? items[value] : "";
}

std::string shownValue(ModuleFamily family, int devVer, const Row &row,
                       const std::map<int, int> &values, int value)
{
    const int type = row.typeReg >= 0 ? valueOf(values, row.typeReg).value_or(-1) : -1;
    switch (row.shown) {
    case S::Items: return item(row.items, value);
    case S::InputTypes:
    case S::DistributorTypes:
        if (!isInputType(value))
            return "";
        return row.shown == S::InputTypes ? inputType(value).text
                                          : inputType(value).distributorText;
    case S::VmaRanges: return isVmaRange(value) ? vmaRange(value).item : "";
    case S::Units:
        if (value != 0 && value != 1)
            return "";
        // The transmitter keeps "deg C"/"deg F" for every type; the other
        // windows name the choices "com +"/"com -" for current.
        if (family != ModuleFamily::Transmitter && isInputType(type)) {
            const RangeDisplay display = rangeDisplay(type, value);
            return value == 0 ? display.unitChoice0 : display.unitChoice1;
        }
        return value == 0 ? "deg C" : "deg F";
    case S::Baud:
        return value >= 0 && value < static_cast<int>(BaudRates.size())
                   ? std::to_string(BaudRates[static_cast<std::size_t>(value)])
                   : "";
    case S::Flag: return value != 0 ? "\u2611" : "\u2610";
    case S::Field: break;
    }
    const RegisterField *field = pageField(family, row.reg);
    if (field && field->kind == FieldKind::Text && field->conversion.show) {
        FieldContext context{type, devVer, valueOf(values, 23).value_or(0)};
        try {
            return field->conversion.show(context, value);
        } catch (const std::exception &) {
            return std::to_string(value);
        }
    }
    return std::to_string(value);
}
} // namespace

std::string plainCaption(const std::string &text)
{
    QString caption = QString::fromStdString(text);
    caption.remove('&');
    caption = caption.simplified();
    while (caption.endsWith(':') || caption.endsWith(QChar(0xff1a)))
        caption = caption.chopped(1).trimmed();
    return caption.toStdString();
}

const char *windowClass(ModuleFamily family, int devVer)
{
    switch (family) {
    case ModuleFamily::Transmitter: return "TForm2";
    case ModuleFamily::Converter: return "TForm1";
    case ModuleFamily::Resistance: return devVer > LastCompactVersion ? "TForm4" : "TForm10";
    case ModuleFamily::Distributor: return "TForm5";
    case ModuleFamily::VmaDistributor: return "TForm7";
    }
    return "";
}

std::string modelLabel(ModuleFamily family, int model)
{
    switch (family) {
    case ModuleFamily::Transmitter: return std::string(transmitterModelLabel(model));
    case ModuleFamily::Resistance: return "RY440";
    default: return "RX220";
    }
}

std::vector<RecordField> recordFields(ModuleFamily family, int devVer,
                                      const std::map<int, int> &values, int langCode)
{
    const QString window = windowClass(family, devVer);
    std::vector<RecordField> fields;
    for (const Row &row : rows(family)) {
        const std::optional<int> value = valueOf(values, row.reg);
        const RegisterField *field = pageField(family, row.reg);
        if (!value || (field && !present(*field, devVer)))
            continue;
        QStringList parts;
        for (const char *part : row.caption) {
            const i18n::Texts *texts = captionTexts(window, part);
            parts << QString::fromStdString(
                plainCaption(texts ? i18n::pickText(langCode, *texts).toStdString() : part));
        }
        fields.push_back({parts.join(" / ").toStdString(),
                          shownValue(family, devVer, row, values, *value),
                          field ? std::string(field->control) : std::string()});
    }
    return fields;
}
