#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

class QWidget;

// Decides when a family window's activation handler runs: when the window
// becomes the active window of the program after another window of the
// program was active (the hand-over from the scan window, the return from the
// zero/span dialog). Coming back from another application, or from one of the
// program's own message boxes, does not count: it never re-reads the module
// and never discards edits in progress.
class ActivationTracker : public QObject
{
    Q_OBJECT

public:
    static ActivationTracker &instance();

    // Windows that count as the program's own (the scan window, the family
    // windows, the zero/span dialog). Message boxes are not among them.
    void addProgramWindow(QWidget *window);

    // A window became active (nullptr: another application did). Called by the
    // event filter; tests call it to play through a sequence of activations.
    void windowActivated(QWidget *window);

    QWidget *lastProgramWindow() const { return m_last; }
    void reset();

signals:
    // A program window became active after another window of the program was:
    // the family window it is runs its activation handler.
    void activated(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ActivationTracker();

    QSet<QWidget *> m_programWindows;
    QPointer<QWidget> m_last;
};
