#include "radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>

RadioGroup::RadioGroup(QWidget *parent)
    : QGroupBox(parent)
    , m_group(new QButtonGroup(this))
    , m_layout(new QGridLayout(this))
{
    m_group->setExclusive(true);
    m_layout->setContentsMargins(8, 4, 8, 4);
    m_layout->setVerticalSpacing(2);
    connect(m_group, &QButtonGroup::idToggled, this, &RadioGroup::onToggled);
}

void RadioGroup::setItems(const QStringList &items)
{
    const QSignalBlocker blocker(m_group);
    for (QRadioButton *button : std::as_const(m_buttons)) {
        m_group->removeButton(button);
        delete button;
    }
    m_buttons.clear();
    m_index = -1;
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        button->setObjectName(objectName() + "_" + QString::number(i));
        m_group->addButton(button, i);
        m_buttons.append(button);
    }
    relayout();
}

int RadioGroup::count() const
{
    return static_cast<int>(m_buttons.size());
}

QString RadioGroup::itemText(int index) const
{
    return index >= 0 && index < count() ? m_buttons[index]->text() : QString();
}

void RadioGroup::setItemText(int index, const QString &text)
{
    if (index >= 0 && index < count())
        m_buttons[index]->setText(text);
}

void RadioGroup::setItemVisible(int index, bool visible)
{
    if (index >= 0 && index < count())
        m_buttons[index]->setVisible(visible);
}

bool RadioGroup::isItemVisible(int index) const
{
    return index >= 0 && index < count() && !m_buttons[index]->isHidden();
}

void RadioGroup::setColumns(int columns)
{
    m_columns = std::max(1, columns);
    relayout();
}

int RadioGroup::itemIndex() const
{
    return m_index;
}

void RadioGroup::setItemIndex(int index)
{
    if (index == m_index)
        return;
    if (index >= 0 && index < count()) {
        m_buttons[index]->setChecked(true); // onToggled emits clicked()
        return;
    }
    // No item: an exclusive group cannot uncheck its last button directly.
    m_group->setExclusive(false);
    for (QRadioButton *button : std::as_const(m_buttons))
        button->setChecked(false);
    m_group->setExclusive(true);
    m_index = -1;
    emit clicked();
}

QRadioButton *RadioGroup::button(int index) const
{
    return index >= 0 && index < count() ? m_buttons[index] : nullptr;
}

void RadioGroup::relayout()
{
    const int rows = (count() + m_columns - 1) / m_columns;
    for (int i = 0; i < count(); ++i) {
        m_layout->removeWidget(m_buttons[i]);
        m_layout->addWidget(m_buttons[i], rows ? i % rows : 0, rows ? i / rows : 0);
    }
}

void RadioGroup::onToggled(int id, bool checked)
{
    if (!checked || id == m_index)
        return;
    m_index = id;
    emit clicked();
}

RadioButton::RadioButton(QWidget *parent)
    : RadioButton(QString(), parent)
{}

RadioButton::RadioButton(const QString &text, QWidget *parent)
    : QRadioButton(text, parent)
{
    connect(this, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            emit checkedClick();
    });
}
