#include "status_label.h"

StatusLabel::StatusLabel(QWidget *parent)
    : QLabel(parent)
{}

void StatusLabel::setStatus(const QColor &color, const QString &text)
{
    setFontColor(color);
    setText(text);
}

void StatusLabel::setFontColor(const QColor &color)
{
    m_color = color;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}
