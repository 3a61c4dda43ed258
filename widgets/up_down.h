#pragma once

#include <QWidget>

class QToolButton;

// A pair of arrow buttons that report the direction of each press (held
// buttons repeat). The owner changes its value in changingEx().
class UpDown : public QWidget
{
    Q_OBJECT

public:
    enum Direction { None, Up, Down };

    explicit UpDown(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    void changingEx(UpDown::Direction direction);

private:
    QToolButton *m_up;
    QToolButton *m_down;
};
