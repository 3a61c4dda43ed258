#include "scroll_bar.h"

#include <QKeyEvent>

ScrollBar::ScrollBar(QWidget *parent)
    : QScrollBar(Qt::Horizontal, parent)
{}

void ScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    QScrollBar::mouseReleaseEvent(event);
    emit endScroll();
}

void ScrollBar::keyReleaseEvent(QKeyEvent *event)
{
    QScrollBar::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit endScroll();
}

void ScrollBar::wheelEvent(QWheelEvent *event)
{
    QScrollBar::wheelEvent(event);
    emit endScroll();
}
