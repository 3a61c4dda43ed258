#pragma once

#include <QColor>
#include <QLineEdit>

// An edit box with an exit event: exited() is emitted when the focus moves from
// it to another control of the window. Switching to another application or
// opening a menu is not an exit.
//
// The background colour is the field's mark: red for a rejected value, the
// normal window colour otherwise.
class ExitEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit ExitEdit(QWidget *parent = nullptr);

    void setColor(const QColor &color);
    void resetColor();
    QColor color() const;
    bool isRed() const { return color() == QColor(Qt::red); }

signals:
    void exited();

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    QColor m_color;
};
