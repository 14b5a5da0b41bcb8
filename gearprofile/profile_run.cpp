// The run that ties the options, the engine, the report and the exports together.
#include "gear_export.h"
#include "gearprofile.h"
#include "safefile.h"

#include <vector>

namespace {

// The outputs a run writes, each with its writer.
struct Export {
    const char* option;
    const std::string& fileName;
    OutlineWriter write;
};

// Every message is one line, starting with the program's name.
int say(std::FILE* err, int status, const std::string& text)
{
    std::fprintf(err, "gearprofile: %s\n", text.c_str());
    return status;
}

// What was typed after --help or the report is checked as delivered: a closed or full output
// is a failure, not a success with nothing shown.
int delivered(std::FILE* out, std::FILE* err, int status)
{
    std::string reason;
    if (streamDelivered(out, &reason)) return status;
    return say(err, exitWriteFailed, "cannot write the report: " + reason);
}

}  // namespace

const char* profileUsage()
{
    return "Usage: gearprofile --teeth Z [--module M] [--pressure-angle DEG] [--shift X]\n"
           "                   [--rack A|B|C|D|straight] [--addendum HA] [--dedendum HF] [--tip-radius RHO]\n"
           "                   [--cutter rack|pinion] [--cutter-teeth Z0] [--cutter-shift X0]\n"
           "                   [--internal [--rim-diameter D]]\n"
           "                   [--tolerance MM] [--backlash J] [--pin-diameter D] [--mate Z2 [--mate-shift X2]]\n"
           "                   [--svg FILE] [--dxf FILE] [--csv FILE] [--chords] [--reference-circles]\n"
           "                   [--stroke-width W] [--json]\n"
           "\n"
           "Prints the numbers of an involute spur gear cut by a basic rack or a pinion (shaper)\n"
           "cutter, with the workshop's measurements (span, over pins, chordal thickness), and\n"
           "writes its closed outline: the SVG and DXF as arcs within the tolerance (--chords:\n"
           "straight chords), the CSV as points. --internal cuts a ring gear with the pinion cutter:\n"
           "its teeth inside and a rim outside, two loops in every file; with --mate, the mate is\n"
           "the pinion meshing inside it, and the report gives the internal pair's checks.\n"
           "Defaults: module 1 mm, pressure angle 20 degrees, shift 0, rack A, tolerance 0.001 mm,\n"
           "backlash 0, the pin that touches at the pitch circle, an SVG stroke of 0.01 mm; the\n"
           "pinion cutter 25 teeth, shift 0, addendum 1.25, dedendum 1, tip radius 0.25; a ring's\n"
           "rim diameter da + 6 modules.\n"
           "--addendum, --dedendum and --tip-radius change the rack's coefficients; --cutter-teeth\n"
           "and --cutter-shift choose the pinion cutter. A ring's shift moves its profile away from\n"
           "the centre, as an external gear's does: a positive X widens its tooth spaces.\n"
           "Z from 1 to 100000, M at least 0.000001 mm, numbers in plain decimal notation.\n"
           "Exit status: 0 done, 1 a file or the report could not be written, 2 bad options or a\n"
           "gear that cannot be cut.\n";
}

int runGearProfile(int argc, const char* const argv[], std::FILE* out, std::FILE* err)
{
    GearRequest request{};
    std::string message;
    if (!parseGearRequest(argc, argv, GearProgram::profile, defaultGearRequest(1), &request, &message))
        return say(err, exitUsage, message + " (see gearprofile --help)");
    if (request.help) {
        std::fputs(profileUsage(), out);
        return delivered(out, err, 0);
    }

    const Export exports[] = {{"--svg", request.svgFile, writeOutlineSvg},
                              {"--dxf", request.dxfFile, writeOutlineDxf},
                              {"--csv", request.csvFile, writeOutlineCsv}};
    for (std::size_t i = 0; i < std::size(exports); ++i)
        for (std::size_t k = i + 1; k < std::size(exports); ++k)
            if (!exports[i].fileName.empty() && !exports[k].fileName.empty() &&
                sameFileTarget(exports[i].fileName, exports[k].fileName))
                return say(err, exitUsage,
                           std::string(exports[i].option) + " and " + exports[k].option + " name the same file '" +
                               printable(exports[k].fileName) + "': one would replace the other");

    GearExport gear{};
    GearPair pair{};
    InternalPair internalPair{};
    const bool ring = request.gear.internal;
    if (!prepareGearExport(request.gear, request.exports, &gear, &message))
        return say(err, exitUsage, "this gear cannot be cut: " + message);
    if (request.withMate &&
        !(ring ? computeInternalPair(request.gear, request.mateTeeth, request.mateShift, &internalPair, &message)
               : computeGearPair(request.gear, request.mateTeeth, request.mateShift, &pair, &message)))
        return say(err, exitUsage, message);
    if (ring && request.pinDiameter > 0)
        return say(err, exitUsage, "--pin-diameter: there is no measurement over pins for a ring gear");
    const PinMeasurement pins = measureOverPins(request.gear, request.pinDiameter);
    if (request.pinDiameter > 0 && !pins.fits) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "--pin-diameter %g would touch the flanks off the involute: pins from %.4f to %.4f mm touch on it",
                      request.pinDiameter, pins.leastDiameter, pins.mostDiameter);
        return say(err, exitUsage, text);
    }
    if (lacksBottomClearance(request.gear))
        say(err, 0, "warning: the dedendum is no deeper than the addendum: no bottom clearance for a mate's tip");

    const GearReport report{gear.numbers, pins, pointCount(gear), arcCount(gear),
                            request.withMate && !ring ? &pair : nullptr, request.withMate && ring ? &internalPair : nullptr};
    if (request.json)
        printGearJson(out, request, report);
    else
        printGearReport(out, request, report);
    int status = delivered(out, err, 0);

    for (const Export& e : exports) {
        std::string reason;
        if (e.fileName.empty() || saveOutline(e.fileName, e.write, gear, &reason)) continue;
        status = say(err, exitWriteFailed, "cannot write '" + printable(e.fileName) + "': " + reason);
    }
    return status;
}
