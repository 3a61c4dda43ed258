#pragma once

#include <QScrollBar>

// A horizontal scroll bar that reports the end of each scroll action (the
// release of an arrow, of a page click or of the dragged thumb, a key press or
// a wheel step) with endScroll(); position changes come through valueChanged()
// as usual.
class ScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit ScrollBar(QWidget *parent = nullptr);

signals:
    void endScroll();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};
