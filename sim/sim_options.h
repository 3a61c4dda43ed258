#pragma once

#include "fault_plan.h"
#include "sim_module.h"

#include <string>
#include <vector>

// A register value set before the first request (unsigned 16-bit).
struct RegisterPreset
{
    int reg = 0;
    int value = 0;

    bool operator==(const RegisterPreset &) const = default;
};

// Command line of quorelsim.
struct SimOptions
{
    ModuleConfig config;
    std::string linkPath; // symbolic link to the slave terminal, empty for none
    bool broken = false;
    bool storeFails = false;
    bool help = false;
    std::vector<RegisterPreset> holding; // --hold, in the order given
    std::vector<RegisterPreset> inputs;  // --input, pinned
    std::vector<FaultRule> faults;       // --fault, in the order given
};

// Parses the arguments after the program name. On failure returns false with a
// one-line reason in error. Without --model the family's usual model code (and,
// without --version, its version index) is taken; with --model alone the family
// follows from the model code, as the tool's scan decides it.
bool parseSimOptions(const std::vector<std::string> &args, SimOptions &options, std::string &error);
const char *simUsage();

// Parses a --fault value, KIND[:FUNCTION[:REGISTER]][@N][xK]. On failure returns
// false with a one-line reason naming the part that is wrong.
bool parseFaultRule(const std::string &text, FaultRule &rule, std::string &error);

// Puts the sensor, storing and register presets of the options into a module
// built from options.config.
void applySimOptions(const SimOptions &options, SimModule &module);

// The family the scan assigns to a model code and version index, 0 for none.
int familyOfModel(int model, int version);
// Model code and version index quorelsim gives a family by default.
int defaultModelOf(int family);
int defaultVersionOf(int family);
// "converter", "transmitter", ...
const char *familyName(int family);
