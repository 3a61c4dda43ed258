#pragma once

#include "basic_module.h"

// Family 3: the resistance transmitter. Holding registers 0..35 (range 2/3,
// offset 4, output 5/6, trim 7/8, command 9, point value 10, stored calibration
// points 11..35), live value 4096, calibration count 4100, storing result 4102.
//
// Its model code is its calibration mode (3 = 2 points, 4 = 5, 5 = 20, 6 = 15,
// 7 = 25 points): a write of mode * 256 to information-block register 7936
// takes effect with command code 34. A point code on the command register files
// the point value of register 10: point 1 in register 11, middle point k in
// register 10 + k and the last point in register 35, the first and last also
// becoming the measuring range. Modules with version index 4 or less keep the
// end points fixed and file middle point k in register 9 + k.
class ResistanceModule : public BasicModule
{
public:
    explicit ResistanceModule(const ModuleConfig &config);

    // Point number 1..24 of a point code, 25 for the last point, 0 for other codes.
    static int pointOfCode(int code);
    // Number of points of a calibration mode (model code), 0 for no mode.
    static int pointsOfMode(int mode, int version);

protected:
    // Refuses (exception 3) an offset beyond ±1500 (±50 on a compact module),
    // an output direction or sensor-break choice it has no item for and a
    // trim count above 32767.
    int checkWrite(int reg, int value) const override;
    double countTarget(int index, int reference) const override;
    bool risingPoints() const override { return true; }
    bool isStoreCode(int code) const override;
    void pointStored(int code) override;
    int writeModelCell(int value) override;
    int liveValue(int reg) const override;
    std::string holdingName(int reg) const override;
    std::string commandName(int code) const override;
    std::string modelCellName() const override { return "calibration mode"; }
};
