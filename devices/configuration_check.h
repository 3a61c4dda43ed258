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
