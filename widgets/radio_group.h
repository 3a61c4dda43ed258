#pragma once

#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>

class QButtonGroup;
class QGridLayout;

// A captioned group of radio items with one item index (-1 for none). Setting
// the index from code runs the click handler exactly as an operator click does:
// clicked() is emitted whenever the selection changes, by either means.
class RadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit RadioGroup(QWidget *parent = nullptr);

    void setItems(const QStringList &items);
    int count() const;
    QString itemText(int index) const;
    void setItemText(int index, const QString &text);
    // Hidden items keep their index; selecting one from code still works.
    void setItemVisible(int index, bool visible);
    bool isItemVisible(int index) const;
    void setColumns(int columns);

    int itemIndex() const;
    // Out-of-range indexes clear the selection.
    void setItemIndex(int index);
    QRadioButton *button(int index) const;

signals:
    void clicked();

private:
    void relayout();
    void onToggled(int id, bool checked);

    QButtonGroup *m_group;
    QGridLayout *m_layout;
    QList<QRadioButton *> m_buttons;
    int m_columns = 1;
    int m_index = -1;
};

// A radio button whose check from code runs its click handler as an operator
// click does; clicked() comes only when the button becomes checked.
class RadioButton : public QRadioButton
{
    Q_OBJECT

public:
    explicit RadioButton(QWidget *parent = nullptr);
    explicit RadioButton(const QString &text, QWidget *parent = nullptr);

signals:
    void checkedClick();
};
