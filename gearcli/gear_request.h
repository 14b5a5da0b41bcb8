// gearcli: the gear options that gearprofile and gearlab both read, and the report they print,
// beside the engine. One parser, one report: each program says which options are its own.
#pragma once

#include "gear.h"

#include <cstdio>
#include <string>

// What a command line asked for.
struct GearRequest {
    GearParameters gear;
    bool withMate;         // --mate given
    int mateTeeth;
    double mateShift;
    std::string svgFile;   // empty: not written
    std::string dxfFile;
    std::string csvFile;
    bool json;
    bool help;
    std::string language;  // --lang: "en" or "ja" (gearlab)
    // A named rack's rounding that does not fit at this pressure angle is cut with the largest
    // that does (the full-round tip); an explicit --tip-radius is taken as given, or refused.
    bool tipRadiusReduced;
    double namedTipRadius; // the rack's own, before it was reduced
};

// Which program reads the command line: the options each one takes.
enum class GearProgram { profile, lab };

// Reads argv[1 …] over defaults; false with one line naming the option in *message, what the
// user typed shown printable. --teeth is required of gearprofile only.
bool parseGearRequest(int argc, const char* const argv[], GearProgram program, const GearRequest& defaults,
                      GearRequest* request, std::string* message);
// A request of the engine's defaults (gearprofile's starting point), for teeth.
GearRequest defaultGearRequest(int teeth);

// Reads text as a plain decimal number (no 0x, inf or nan), as the options do; false if it is not.
bool readDecimal(const std::string& text, double* value);
// The shortest decimal text that reads back as value exactly: 0.1, not 0.10000000000000001.
std::string shortestText(double value);

// The English report of the numbers (and of the pair, when given).
void printGearReport(std::FILE* out, const GearRequest& request, const GearNumbers& numbers,
                     std::size_t outlinePoints, const GearPair* pair);
// The same as one JSON object.
void printGearJson(std::FILE* out, const GearRequest& request, const GearNumbers& numbers,
                   std::size_t outlinePoints, const GearPair* pair);
