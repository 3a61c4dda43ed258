#pragma once

#include <QObject>

#include <array>

class QProgressBar;
class QTimer;
class WindowCommands;

// The zero step of a V/mA distributor input: its code goes to the module,
// then every control stays off for the five seconds the channel's progress
// bar takes on the window's zero-step timer (which TimerAllOFF leaves
// running). The code is echo checked and sent once more on a mismatch,
// without a drain; refused twice, the module is not zeroing: "Write Fail",
// no progress, the controls come back.
class VmaZeroStep : public QObject
{
    Q_OBJECT

public:
    VmaZeroStep(WindowCommands &commands, QTimer *timer, std::array<QProgressBar *, 2> bars);

    // Starts the zero step of CH-1 (0) or CH-2 (1), when the table lets it.
    void start(int channel);
    // A tick of the timer: the bar moves on; at its end the step ends.
    void tick();
    bool running() const { return m_bar != nullptr; }

private:
    WindowCommands &m_commands;
    QTimer *m_timer;
    std::array<QProgressBar *, 2> m_bars;
    QProgressBar *m_bar = nullptr; // the bar of the step that runs
};
