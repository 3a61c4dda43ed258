#include "vma_zero_step.h"

#include "activity_owner.h"
#include "modbus_functions.h"
#include "vma_distributor_registers.h"
#include "window_commands.h"

#include <QProgressBar>
#include <QTimer>

#include <algorithm>

using i18n::Status;

VmaZeroStep::VmaZeroStep(WindowCommands &commands, QTimer *timer,
                         std::array<QProgressBar *, 2> bars)
    : QObject(&commands)
    , m_commands(commands)
    , m_timer(timer)
    , m_bars(bars)
{
    commands.activities().onStop(Activity::ZeroStep, [this] { m_bar = nullptr; });
}

void VmaZeroStep::start(int channel)
{
    ActivityOwner &owner = m_commands.activities();
    QProgressBar *bar = m_bars[static_cast<std::size_t>(channel)];
    if (!owner.begin(WindowEvent::ZeroStep, {m_timer}))
        return;
    RequestChain chain;
    chain
        .write(Modbus::WriteCoil, VmaDistributorCommandCell,
               VmaZeroCodes[static_cast<std::size_t>(channel)])
        .drained(true, false)
        .retryOnce();
    m_commands.runChain(
        std::move(chain),
        [this, bar, &owner](bool ok) {
            if (!ok) {
                owner.end(Activity::ZeroStep, Status::WriteFail);
                return;
            }
            m_bar = bar;
            bar->setValue(0);
            m_timer->start();
        },
        Status::WriteFail);
}

void VmaZeroStep::tick()
{
    if (!m_bar) {
        m_timer->stop();
        return;
    }
    m_bar->setValue(std::min(m_bar->value() + VmaZeroStride, VmaZeroEnd));
    if (m_bar->value() < VmaZeroEnd)
        return;
    m_timer->stop();
    m_bar = nullptr;
    // A read started meanwhile (a re-activation's) gives the controls back
    // at its own end.
    m_commands.activities().end(Activity::ZeroStep);
}
