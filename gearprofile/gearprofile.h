// gearprofile: the gear engine on the command line. Reads the options, prints the numbers
// as English or JSON, and writes the outline as SVG, DXF or CSV. No window, no display.
#pragma once

#include "gear.h"

#include <cstdio>
#include <string>

// What the command line asked for.
struct ProfileRequest {
    GearParameters gear;
    bool withMate;         // --mate given
    int mateTeeth;
    double mateShift;
    std::string svgFile;   // empty: not written
    std::string dxfFile;
    std::string csvFile;
    bool json;
    bool help;
};

constexpr int exitWriteFailed = 1;  // a file could not be written
constexpr int exitUsage = 2;        // bad options, or a gear that cannot be cut

// Reads argv[1 …]; false with one line naming the option in *message.
bool parseProfileRequest(int argc, const char* const argv[], ProfileRequest* request, std::string* message);
// The usage text of --help.
const char* profileUsage();

// The English report of the numbers (and of the pair, when given).
void printProfileReport(std::FILE* out, const ProfileRequest& request, const GearNumbers& numbers,
                        std::size_t outlinePoints, const GearPair* pair);
// The same as one JSON object.
void printProfileJson(std::FILE* out, const ProfileRequest& request, const GearNumbers& numbers,
                      std::size_t outlinePoints, const GearPair* pair);

// The whole program: data on out, messages on err; the exit status.
int runGearProfile(int argc, const char* const argv[], std::FILE* out, std::FILE* err);
