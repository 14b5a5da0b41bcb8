// gearprofile: the gear engine on the command line. Reads the options, prints the numbers
// as English or JSON, and writes the outline as SVG, DXF or CSV. No window, no display.
#pragma once

#include "gear_request.h"

#include <cstdio>

constexpr int exitWriteFailed = 1;  // a file or the report could not be written
constexpr int exitUsage = 2;        // bad options, or a gear that cannot be cut

// The usage text of --help.
const char* profileUsage();

// The whole program: data on out, messages on err; the exit status.
int runGearProfile(int argc, const char* const argv[], std::FILE* out, std::FILE* err);
