#include "zero_span_modes.h"

#include "activity_owner.h"
#include "link.h"
#include "modbus_functions.h"
#include "resistance_registers.h"
#include "status_label.h"

#include <QTimer>

using i18n::Status;

namespace {
// Interval of the mode result labels: "OK!" after 1.5 s, "N/A" 5 s later.
constexpr int OkDelayMs = 1500;
constexpr int ResetDelayMs = 5000;
const QColor ModeRefused(255, 0, 0);
const QColor ModeSet(0, 128, 0);
const QColor ModeUnknown(0, 0, 0);
} // namespace

ZeroSpanModes::ZeroSpanModes(ActivityOwner &owner, const ZeroSpanSet &set,
                             std::vector<ZeroSpanTableControls> &tables, QTimer *timer)
    : QObject(&owner)
    , m_owner(owner)
    , m_set(set)
    , m_tables(tables)
    , m_timer(timer)
{}

void ZeroSpanModes::setMode(int t)
{
    const ZeroSpanTable &table = m_set.tables[static_cast<std::size_t>(t)];
    StatusLabel *label = m_tables[static_cast<std::size_t>(t)].modeLabel;
    if (!m_owner.begin(WindowEvent::ModeChange)) {
        // Another command's exchanges are under way: the mode is not sent.
        label->setStatus(ModeRefused, QStringLiteral("NG!"));
        return;
    }
    const int mode = table.mode;
    RequestChain chain;
    chain.exchange(Modbus::WriteCoil, ModeRegister, mode * 256).drained().andThen([this, mode] {
        return modeEchoed(mode);
    });
    chain.exchange(Modbus::WriteCoil, ResistanceCommandCell, ModeCommitCode).andThen([this] {
        return commitEchoed();
    });
    m_owner.runChain(
        std::move(chain),
        [this, t, label](bool ok) {
            m_owner.end(Activity::ModeChange);
            if (!ok) {
                label->setStatus(ModeRefused, QStringLiteral("NG!"));
                return;
            }
            ModeMark = t;
            m_timer->setInterval(OkDelayMs);
            m_timer->start();
        },
        Status::WriteFail);
}

bool ZeroSpanModes::modeEchoed(int mode) const
{
    // The reply's function, the register's high byte and the mode byte;
    // only a reply that arrived whole with its CRC counts.
    const Link &link = m_owner.link();
    const auto byte = [&link](int k) { return link.ComBuf[cb::Reply + k] & 0xFF; };
    return link.CrcCheck(6) && byte(1) == Modbus::WriteCoil && byte(2) == (ModeRegister >> 8) &&
           byte(4) == mode;
}

bool ZeroSpanModes::commitEchoed() const
{
    const Link &link = m_owner.link();
    const auto byte = [&link](int k) { return link.ComBuf[cb::Reply + k] & 0xFF; };
    return link.CrcCheck(6) && byte(1) == Modbus::WriteCoil && byte(5) == ModeCommitCode;
}

void ZeroSpanModes::tick()
{
    m_timer->stop();
    if (ModeMark >= 0 && ModeMark < static_cast<int>(m_tables.size())) {
        m_tables[static_cast<std::size_t>(ModeMark)].modeLabel->setStatus(ModeSet,
                                                                          QStringLiteral("OK!"));
        ModeMark = 10;
        m_timer->setInterval(ResetDelayMs);
        m_timer->start();
        return;
    }
    resetLabels();
}

void ZeroSpanModes::resetLabels()
{
    for (ZeroSpanTableControls &table : m_tables)
        table.modeLabel->setStatus(ModeUnknown, QStringLiteral("N/A"));
}
