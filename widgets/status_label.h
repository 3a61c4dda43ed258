#pragma once

#include <QColor>
#include <QLabel>

// The status label of a window: its font colour is set first, then its text.
class StatusLabel : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLabel(QWidget *parent = nullptr);

    void setStatus(const QColor &color, const QString &text);
    void setFontColor(const QColor &color);
    QColor fontColor() const { return m_color; }

private:
    QColor m_color = Qt::black;
};
