#pragma once

#include <string>
#include <vector>

// quorelctl's commands: the arguments after the program name in, the exit
// code out. Results go to standard output, messages to standard error.
int runCommand(const std::vector<std::string> &args);
