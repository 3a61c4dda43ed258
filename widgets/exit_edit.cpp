#include "exit_edit.h"

#include <QFocusEvent>

ExitEdit::ExitEdit(QWidget *parent)
    : QLineEdit(parent)
{}

void ExitEdit::setColor(const QColor &color)
{
    m_color = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, color.isValid() ? color : QPalette().color(QPalette::Base));
    setPalette(p);
}

void ExitEdit::resetColor()
{
    m_color = QColor();
    setPalette(QPalette());
}

QColor ExitEdit::color() const
{
    return m_color.isValid() ? m_color : palette().color(QPalette::Base);
}

void ExitEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit exited();
}
