#include "vma_channel.h"

#include "device_window.h"
#include "exit_edit.h"
#include "field_rules.h"
#include "input_check.h"
#include "radio_group.h"
#include "vma_ranges.h"

#include <QLabel>
#include <QLineEdit>

#include <string>

namespace {
// An exit rule of a limit or offset field: (decimals, text, low, high).
using VmaExitRule = std::string (*)(int, const std::string &, const std::string &,
                                    const std::string &);

void correctVmaField(ExitEdit *field, int range, VmaExitRule rule, bool offset)
{
    field->resetColor();
    if (!isVmaRange(range))
        return;
    const std::string low = offset ? vmaOffsetLowText(range) : vmaLowText(range);
    const std::string high = offset ? vmaOffsetHighText(range) : vmaHighText(range);
    field->setText(
        QString::fromStdString(rule(vmaDecimals(range), field->text().toStdString(), low, high)));
}
} // namespace

void VmaChannel::showRange(int range) const
{
    if (!isVmaRange(range))
        return;
    for (QLabel *unit : units)
        unit->setText(vmaRange(range).unit);
    maxLower->setText(QString::fromStdString(vmaLowText(range)));
    maxUpper->setText(QString::fromStdString(vmaHighText(range)));
    boundLow->setText(QString::fromStdString(vmaOffsetLowText(range)));
    boundHigh->setText(QString::fromStdString(vmaOffsetHighText(range)));
}

void VmaChannel::lowerExit() const
{
    correctVmaField(lower, range->itemIndex(), fixedLowerLimitExit, false);
}

void VmaChannel::upperExit() const
{
    correctVmaField(upper, range->itemIndex(), fixedUpperLimitExit, false);
}

void VmaChannel::offsetExit() const
{
    correctVmaField(offset, range->itemIndex(), fixedOffsetExit, true);
}

void VmaChannel::check() const
{
    const int shown = range->itemIndex();
    if (!isVmaRange(shown)) {
        CheckFailed = true;
        return;
    }
    DeviceWindow::markChecked(lower, vmaLimitWithinRange(shown, lower->text().toStdString()));
    DeviceWindow::markChecked(upper, vmaLimitWithinRange(shown, upper->text().toStdString()));
    DeviceWindow::markChecked(offset, vmaOffsetWithinBound(shown, offset->text().toStdString()));
}
