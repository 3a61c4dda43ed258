#pragma once

class QCheckBox;
class QLabel;
class QLineEdit;

// The output function F(PV1,PV2) = (PV1×A + PV2×B)/C of the converter and
// the V/mA distributor: the coefficient and divisor fields with their exit
// rules, and the picture of the formula beside the square-root choice
// (SOn.bmp with the root, SOff.bmp without), loaded from beside the program.
struct OutputFunctionControls
{
    QLineEdit *a = nullptr;
    QLineEdit *b = nullptr;
    QLineEdit *c = nullptr;
    QCheckBox *root = nullptr;
    QLabel *picture = nullptr;
    QLabel *radical = nullptr; // the large radical sign beside the picture
    // Without the picture files the V/mA distributor shows the formula as
    // text; the converter shows nothing.
    bool formulaWithoutPicture = false;
};

class OutputFunction
{
public:
    // A = 0, B = 0, C = 1, the picture of the present choice.
    explicit OutputFunction(const OutputFunctionControls &controls);

    // A and B hold a coefficient, C a divisor other than 0.
    void aExit();
    void bExit();
    void cExit();
    // The picture of the square-root choice now.
    void showPicture();

private:
    OutputFunctionControls m_controls;
};
