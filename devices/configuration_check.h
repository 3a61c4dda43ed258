#pragma once

#include "configuration_file.h"

#include <string>
#include <vector>

// The checks a configuration file's values pass before they are written to
// a module of version index devVer, with the same rules the family's window
// applies to its fields: each field's exit rule (a value its rule would
// correct is refused, not corrected), the input check of the limits and
// offsets against the range of the type and unit, a choice left empty, the
// slave address 1..255 and a baud code 0..3. One line per problem; none when
// the file may be written.
std::vector<std::string> configurationProblems(const Configuration &configuration, int devVer);

// A configuration file against the module it is about to be written to.
struct ModuleMatch
{
    bool otherModel = false; // the file was read from a module of another model code
    // One line per field: "meaning (control, register N)" and what happens.
    std::vector<std::string> notTaken;  // in the file, but the module's version has no such field
    std::vector<std::string> notInFile; // the module's version has it, the file's had not
    std::vector<std::string> rescaled;  // a value whose scale differs between the two versions
};
// Compares the file's model code and version index with the module's. A
// value whose register scale differs between the file's version and the
// module's (the converter's output function range: whole degrees before
// version 3, tenths after) is re-expressed in configuration.values, so that
// it means on the module what it meant on the module it was read from.
ModuleMatch matchModule(Configuration &configuration, int model, int devVer);
