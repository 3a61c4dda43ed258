#pragma once

#include <QEvent>
#include <QLabel>

// Counts a widget's paint events and keeps the text a label last painted.
struct PaintWatch : QObject
{
    int paints = 0;
    QString text;

    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (auto *label = qobject_cast<QLabel *>(watched))
                text = label->text();
        }
        return false;
    }
};
