#include "output_function.h"

#include "field_rules.h"
#include "run_time_files.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

namespace {
void correct(QLineEdit *field, std::string (*rule)(const std::string &))
{
    field->setText(QString::fromStdString(rule(field->text().toStdString())));
}
} // namespace

OutputFunction::OutputFunction(const OutputFunctionControls &controls)
    : m_controls(controls)
{
    m_controls.a->setText("0");
    m_controls.b->setText("0");
    m_controls.c->setText("1");
    showPicture();
    QFont radical = m_controls.radical->font();
    radical.setPixelSize(22);
    m_controls.radical->setFont(radical);
}

void OutputFunction::aExit()
{
    correct(m_controls.a, coefficientExit);
}

void OutputFunction::bExit()
{
    correct(m_controls.b, coefficientExit);
}

void OutputFunction::cExit()
{
    correct(m_controls.c, divisorExit);
}

void OutputFunction::showPicture()
{
    // Found beside the program (runTimePicture); a missing file leaves the
    // picture empty, or shows the formula as text.
    const bool on = m_controls.root->isChecked();
    const QPixmap picture = runTimePicture(on ? "SOn.bmp" : "SOff.bmp");
    if (picture.isNull() && m_controls.formulaWithoutPicture) {
        m_controls.picture->setPixmap({});
        m_controls.picture->setText(on ? QString::fromUtf8("F = √((PV1×A + PV2×B)/C)")
                                       : QString::fromUtf8("F = (PV1×A + PV2×B)/C"));
    } else {
        m_controls.picture->setPixmap(picture);
    }
}
