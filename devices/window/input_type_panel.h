#pragma once

#include "field_rules.h"
#include "range_display.h"
#include "register_binding.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

class ExitEdit;
class QLabel;
class QLineEdit;
class RadioGroup;

// The controls of one input signal type group: a window's, or one channel's
// of a two-channel window.
struct InputTypeControls
{
    RadioGroup *type = nullptr;
    RadioGroup *unit = nullptr;
    QLineEdit *maxLow = nullptr; // read-only maximal range
    QLineEdit *maxHigh = nullptr;
    ExitEdit *low = nullptr; // measuring range limits
    ExitEdit *high = nullptr;
    QList<ExitEdit *> offsets;
    QLabel *boundLow = nullptr; // offset bounds, as shown
    QLabel *boundHigh = nullptr;
    QList<QLabel *> unitCaptions;
    TemperatureLimit limits = TemperatureLimit::Whole;
    bool renameUnitChoices = true; // "com +"/"com -" for the current type
};

// The choices of a type group: the input types (in typeColumns columns) and
// the units "deg C" and "deg F" (two columns).
void showInputTypeChoices(RadioGroup *type, RadioGroup *unit, const QStringList &types,
                          int typeColumns);

// The rules of an input type group, shared by the converter, the transmitter
// and both channels of the universal distributor: the range display of a type
// and unit, the captions a read shows, the exit rules of the limits and
// offsets, and the input check before a write. The type a rule scales by is
// passed in: a window's InType, or a channel's own selection.
class InputTypePanel
{
public:
    explicit InputTypePanel(const InputTypeControls &controls);

    // The range display (hilo_set): unit captions, maximal range, offset
    // bounds and unit choices. Nothing for a type without an item.
    std::optional<RangeDisplay> show(int type, int unit);
    // The captions a read shows once type and unit are selected: "deg C" or
    // "deg F" by unit, and the class caption of a type that is not a temperature.
    void showUnitCaptions(int type);

    // Exit rules. Until the maximal range has been shown there is nothing to
    // correct against, and the field is left as typed (the input check refuses it).
    void lowExit(int type);
    void highExit(int type);
    void offsetExit(ExitEdit *offset, int type);

    // Marks limits outside the maximal range and offsets outside the bound of
    // the selected type and unit red; false when a field failed or no type is
    // selected. Raises ConversionError for text that is not a number.
    bool check() const;
    void resetColors() const;
    // The limits are written in ascending order: exchanged on screen first.
    void orderLimits() const;

    // The selector's type, into `type` when it is one (a window's InType
    // follows the selector this way).
    void takeSelectedType(int &type) const;
    // A calibration point's type on the selector, and unit 0 when `unit` is
    // set, running their click handlers as an operator's choice does.
    void selectForCalibration(int type, bool unit) const;
    // Shows a block whose type register comes first: the fields after it are
    // scaled by the type `type` holds once `shown` has run for each register.
    void showBlock(const RegisterBinding &registers, const RegisterWords &words,
                   int (*sign)(int word), int devVer, int &type,
                   const std::function<void(int reg)> &shown) const;

    const InputTypeControls &controls() const { return m_controls; }

private:
    void limitExit(ExitEdit *edit, int type, bool lower);
    void setUnitCaptions(const std::string &caption);

    InputTypeControls m_controls;
};

// The items of an input type selector: the thirteen types in register order,
// as the converter and transmitter name them or as the distributors do.
QStringList inputTypeItems(bool distributorTexts = false);

// Exchanges the texts of two fields when the first holds the greater value
// (a range written in ascending order). Raises ConversionError for text that
// is not a number.
void putInOrder(QLineEdit *low, QLineEdit *high);
