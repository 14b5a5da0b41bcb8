// gearcli: the gear options that gearprofile and gearlab both read, and the report they print,
// beside the engine. One parser, one report: each program says which options are its own.
#pragma once

#include "gear.h"
#include "gear_export.h"

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
    ExportOptions exports;  // --chords, --reference-circles, --stroke-width
    double pinDiameter;     // --pin-diameter, mm; 0: the pin that touches at the pitch circle
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

// What a report tells of a gear: its numbers, the measurement over pins, the outline's size
// and the pair, when there is a mate: beside an external gear, or inside a ring gear.
struct GearReport {
    GearNumbers numbers;
    PinMeasurement pins;
    std::size_t outlinePoints;   // of every loop
    std::size_t outlineArcs;
    const GearPair* pair;                   // nullptr without a mate, or for a ring gear
    const InternalPair* internalPair;       // a ring gear's mate, the pinion inside; else nullptr
};

// The English report.
void printGearReport(std::FILE* out, const GearRequest& request, const GearReport& report);
// The same as one JSON object.
void printGearJson(std::FILE* out, const GearRequest& request, const GearReport& report);
// Whether the gear has no bottom clearance (its dedendum no deeper than the addendum a mate's
// tip reaches down with, as its cutter cuts them): worth a warning, not a refusal.
bool lacksBottomClearance(const GearParameters& gear);
