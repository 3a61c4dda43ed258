#pragma once

#include "sim_module.h"

#include <string>
#include <vector>

// Command line of quorelsim.
struct SimOptions
{
    ModuleConfig config;
    std::string linkPath; // symbolic link to the slave terminal, empty for none
    bool broken = false;
    bool storeFails = false;
    bool help = false;
};

// Parses the arguments after the program name. On failure returns false with a
// one-line reason in error. Without --model the family's usual model code (and,
// without --version, its version index) is taken; with --model alone the family
// follows from the model code, as the tool's scan decides it.
bool parseSimOptions(const std::vector<std::string> &args, SimOptions &options, std::string &error);
const char *simUsage();

// The family the scan assigns to a model code and version index, 0 for none.
int familyOfModel(int model, int version);
// Model code and version index quorelsim gives a family by default.
int defaultModelOf(int family);
int defaultVersionOf(int family);
// "converter", "transmitter", ...
const char *familyName(int family);
