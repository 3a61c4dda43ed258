#pragma once

#include "configuration_file.h"

#include <map>
#include <string>
#include <vector>

// The configuration of a module as its family window's page shows it, for
// a commissioning record: one caption and one value per field, in the
// window's language. Captions are the page's own (the group, then the label
// beside the field), taken from the caption table where the language switch
// sets them and as designed where it does not; values are the texts the page
// shows for the register values (a choice's item, a scaled number, the baud
// rate).

struct RecordField
{
    std::string caption; // "Measuring Range / Lower Limit"
    std::string value;   // "-50"
    std::string control; // the control that shows it on the page ("Edi3")
};

// The fields of the configuration a family window shows for a module of
// version index devVer: every field its configuration write writes, the
// address and baud rate where the page has them, and the measuring range of
// the resistance transmitter (shown, set by its calibration). values: register
// values as a read gives them (configurationValues, and further registers of
// the block for fields no file holds); a field whose register is missing is
// left out. langCode: 1028 Traditional, 2052 Simplified, else English.
std::vector<RecordField> recordFields(ModuleFamily family, int devVer,
                                      const std::map<int, int> &values, int langCode);

// The window class of a family's module ("TForm1"; the resistance
// transmitter's by its version index).
const char *windowClass(ModuleFamily family, int devVer);

// The model label a family window shows for a model code ("RX220"); empty for
// a code its window shows none for.
std::string modelLabel(ModuleFamily family, int model);

// A caption as a record shows it: the text without the menus' "&", the
// trailing colon and the runs of spaces the page uses for alignment.
std::string plainCaption(const std::string &text);
