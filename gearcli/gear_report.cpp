// What the gear programs print of a gear: the English report and the same as JSON.
#include "gear_request.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr double degreesPerRadianExact = 180 / exactPi;

const char* yesNo(bool b) { return b ? "yes" : "no"; }
const char* trueFalse(bool b) { return b ? "true" : "false"; }

// The lengths both outputs list, in this order: JSON key, English label with its symbol.
struct Length {
    const char* key;
    const char* label;
    double value;
};

std::vector<Length> lengthsOf(const GearNumbers& n)
{
    return {{"pitch_diameter", "pitch diameter            d ", n.pitchDiameter},
            {"tip_diameter", "tip diameter              da", n.tipDiameter},
            {"root_diameter", "root diameter             df", n.rootDiameter},
            {"base_diameter", "base diameter             db", n.baseDiameter},
            {"base_pitch", "base pitch                pb", n.basePitch},
            {"tooth_thickness", "tooth thickness (pitch)   s ", n.toothThickness},
            {"tip_thickness", "tooth thickness (tip)     sa", n.tipThickness}};
}

}  // namespace

std::string shortestText(double value)
{
    // Plain notation where it reads back exactly (20, not 2e+01), else the shortest exponent form.
    char text[40], plain[40] = "";
    for (int digits = 17; digits >= 1; --digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value + 0.0);
        if (std::strtod(text, nullptr) != value) break;
        if (!std::strchr(text, 'e')) std::snprintf(plain, sizeof plain, "%s", text);
    }
    if (plain[0]) return plain;
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value + 0.0);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

bool lacksBottomClearance(const GearParameters& gear)
{
    // The pinion cutter's addendum cuts the gear's dedendum, its dedendum leaves the addendum.
    if (gear.cutter == CutterKind::pinion) return gear.pinionCutter.addendum <= gear.pinionCutter.dedendum;
    return gear.rack.dedendum <= gear.rack.addendum;
}

namespace {

bool ring(const GearParameters& gear) { return gear.internal; }

// The cutter's line of the report.
void printCutter(std::FILE* out, const GearRequest& request)
{
    const GearParameters& g = request.gear;
    if (g.cutter == CutterKind::pinion) {
        const PinionCutter& c = g.pinionCutter;
        std::fprintf(out, "Pinion cutter: %d teeth, profile shift %g, addendum %g·m, dedendum %g·m, tip radius %g·m\n\n",
                     c.teeth, c.shift + 0.0, c.addendum, c.dedendum, c.tipRadius);
        return;
    }
    std::fprintf(out, "Rack: addendum %g·m, dedendum %g·m, tip radius %.4g·m", g.rack.addendum, g.rack.dedendum,
                 g.rack.tipRadius);
    if (request.tipRadiusReduced)
        std::fprintf(out, " (reduced: the rack's own %g·m does not fit at %g°; this is the full-round tip)",
                     request.namedTipRadius, g.pressureAngle * degreesPerRadianExact);
    std::fputs("\n\n", out);
}

// A check of an internal pair: what passing means, or why it failed.
const char* checkText(const PairCheck& check, const char* passed)
{
    return check.passed ? passed : check.reason.c_str();
}

void printInternalPair(std::FILE* out, const GearRequest& request, const InternalPair& pair)
{
    std::fprintf(out, "\nWith a pinion of %d teeth inside, profile shift %g:\n", request.mateTeeth, request.mateShift + 0.0);
    std::fprintf(out, "  working pressure angle    αw  %12.4f°\n", pair.workingPressureAngle * degreesPerRadianExact);
    std::fprintf(out, "  centre distance           aw  %12.4f mm\n", pair.centreDistance);
    std::fprintf(out, "  contact ratio             ε   %12.4f  (between the tip circles)\n", pair.contactRatio);
    std::fprintf(out, "  effective contact ratio   ε   %12.4f  (where both flanks are involute)\n",
                 pair.effectiveContactRatio);
    if (pair.effectiveContactRatio < 1)
        std::fputs("  below 1: the teeth lose contact before the next pair takes over\n", out);
    std::fprintf(out, "  involute interference     %s\n", checkText(pair.involute, "none"));
    std::fprintf(out, "  tip interference          %s\n", checkText(pair.tip, "none"));
    std::fprintf(out, "  radial assembly           %s\n", checkText(pair.radial, "the pinion can be pushed in radially"));
}

}  // namespace

void printGearReport(std::FILE* out, const GearRequest& request, const GearReport& report)
{
    const GearParameters& g = request.gear;
    const GearNumbers& n = report.numbers;
    std::fprintf(out, "%s: %d teeth, module %g mm, pressure angle %g°, profile shift %g\n",
                 ring(g) ? "Involute ring gear (internal teeth)" : "Involute spur gear", g.teeth, g.module,
                 g.pressureAngle * degreesPerRadianExact, g.shift + 0.0);
    printCutter(out, request);
    for (const Length& l : lengthsOf(n)) std::fprintf(out, "  %s  %12.4f mm\n", l.label, l.value);
    if (ring(g))
        std::fprintf(out, "  rim diameter              D   %12.4f mm%s\n", n.rimDiameter,
                     g.rimDiameter == 0 ? " (da + 6·m, the default)" : "");
    if (g.cutter == CutterKind::pinion) {
        std::fprintf(out, "  cutting pressure angle    αw0 %12.4f°\n", n.cuttingPressureAngle * degreesPerRadianExact);
        std::fprintf(out, "  cutting centre distance   aw0 %12.4f mm\n", n.cuttingCentreDistance);
    }
    if (n.pointed) std::fputs("  the tooth is pointed: its tip is thinner than 0.2 m\n", out);
    if (n.backlash > 0) {
        std::fprintf(out, "  backlash                  j   %12.4f mm\n", n.backlash);
        std::fprintf(out, "  tooth thickness, nominal  s   %12.4f mm (before the backlash)\n", n.toothThicknessNominal);
    }
    std::fprintf(out, "  chordal tooth thickness   s̄   %12.4f mm\n", n.chordalThickness);
    std::fprintf(out, "  chordal height            h̄   %12.4f mm\n", n.chordalHeight);
    if (n.spanTeeth > 0) {
        char span[40];
        // A ring gear's span reaches across tooth spaces.
        std::snprintf(span, sizeof span, "span over %d %s", n.spanTeeth,
                      ring(g) ? (n.spanTeeth == 1 ? "space" : "spaces") : n.spanTeeth == 1 ? "tooth" : "teeth");
        std::fprintf(out, "  %-26sW%-2d %12.4f mm\n", span, n.spanTeeth, n.spanMeasurement);
    } else {
        std::fputs("  no span measurement: for every k the calipers would touch off the involute\n", out);
    }
    const PinMeasurement& p = report.pins;
    if (ring(g))
        std::fputs("  no measurement over pins for a ring gear\n", out);
    else if (p.fits)
        std::fprintf(out, "  %-26sM  %12.4f mm (pins of %.4f mm)\n",
                     g.teeth % 2 == 0 ? "over two pins" : "over a pin and across", p.measurement, p.pinDiameter);
    else
        std::fprintf(out, "  no measurement over pins: the pin of %.4f mm would touch off the involute "
                          "(pins from %.4f to %.4f mm touch on it)\n",
                     p.pinDiameter, p.leastDiameter, p.mostDiameter);
    if (lacksBottomClearance(g))
        std::fputs("  warning: the dedendum is no deeper than the addendum: no bottom clearance for a mate's tip\n", out);
    if (ring(g)) {
        std::fputs("\n  undercut                       no (a pinion cutter does not undercut a ring gear)\n", out);
    } else {
        std::fprintf(out, "\n  undercut                       %s\n", yesNo(n.undercut));
        std::fprintf(out, "  fewest teeth without undercut  %.3f (at this shift)\n", n.minTeethWithoutUndercut);
        std::fprintf(out, "  least shift without undercut   %.4f (at this tooth count)\n", n.minShiftWithoutUndercut);
    }
    std::fprintf(out, "  outline points                 %zu%s\n", report.outlinePoints,
                 ring(g) ? " (two loops: the teeth and the rim)" : "");
    std::fprintf(out, "  outline arcs and lines         %zu\n", report.outlineArcs);
    if (report.internalPair) printInternalPair(out, request, *report.internalPair);
    const GearPair* pair = report.pair;
    if (!pair) return;
    std::fprintf(out, "\nWith a mate of %d teeth, profile shift %g:\n", request.mateTeeth, request.mateShift + 0.0);
    std::fprintf(out, "  working pressure angle    αw  %12.4f°\n", pair->workingPressureAngle * degreesPerRadianExact);
    std::fprintf(out, "  centre distance           aw  %12.4f mm\n", pair->centreDistance);
    std::fprintf(out, "  contact ratio             ε   %12.4f  (between the tip circles)\n", pair->contactRatio);
    std::fprintf(out, "  effective contact ratio   ε   %12.4f  (where both flanks are involute)\n",
                 pair->effectiveContactRatio);
    if (pair->gearFormCutsPath)
        std::fputs("  the mate's tip reaches below this gear's form circle, into its fillet or undercut\n", out);
    if (pair->mateFormCutsPath)
        std::fputs("  this gear's tip reaches below the mate's form circle, into its fillet or undercut\n", out);
    if (pair->effectiveContactRatio < 1)
        std::fputs("  below 1: the teeth lose contact before the next pair takes over\n", out);
    std::fprintf(out, "  the mate's tip runs past this gear's interference point N1: %s\n", yesNo(pair->interferenceGear));
    std::fprintf(out, "  this gear's tip runs past the mate's interference point N2: %s\n", yesNo(pair->interferenceMate));
}

namespace {

// A JSON number, or null where the measurement does not exist.
std::string jsonNumber(bool exists, double value)
{
    if (!exists) return "null";
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// A JSON string: the engine's reasons are plain text, but quotes and controls are escaped all the same.
std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

void printGearJson(std::FILE* out, const GearRequest& request, const GearReport& report)
{
    const GearParameters& g = request.gear;
    const GearNumbers& n = report.numbers;
    const PinMeasurement& p = report.pins;
    const bool pinion = g.cutter == CutterKind::pinion;
    const PinionCutter& c = g.pinionCutter;
    std::fprintf(out, "{\"teeth\": %d, \"module\": %.15g, \"pressure_angle_deg\": %.15g, \"shift\": %.15g, ", g.teeth,
                 g.module, g.pressureAngle * degreesPerRadianExact, g.shift);
    std::fprintf(out, "\"internal\": %s, ", trueFalse(ring(g)));
    // Every key always there; null where it does not apply to this cutter.
    std::fprintf(out,
                 "\"cutter\": {\"kind\": \"%s\", \"teeth\": %s, \"shift\": %s, \"addendum\": %s, \"dedendum\": %s, "
                 "\"tip_radius\": %s, \"cutting_pressure_angle_deg\": %.15g, \"cutting_centre_distance\": %s}, ",
                 pinion ? "pinion" : "rack", jsonNumber(pinion, c.teeth).c_str(), jsonNumber(pinion, c.shift).c_str(),
                 jsonNumber(pinion, c.addendum).c_str(), jsonNumber(pinion, c.dedendum).c_str(),
                 jsonNumber(pinion, c.tipRadius).c_str(), n.cuttingPressureAngle * degreesPerRadianExact,
                 jsonNumber(pinion, n.cuttingCentreDistance).c_str());
    if (pinion)
        std::fputs("\"rack\": null, ", out);
    else
        std::fprintf(out, "\"rack\": {\"addendum\": %.15g, \"dedendum\": %.15g, \"tip_radius\": %.15g, \"tip_radius_reduced\": %s}, ",
                     g.rack.addendum, g.rack.dedendum, g.rack.tipRadius, trueFalse(request.tipRadiusReduced));
    for (const Length& l : lengthsOf(n)) std::fprintf(out, "\"%s\": %.15g, ", l.key, l.value);
    std::fprintf(out, "\"rim_diameter\": %s, ", jsonNumber(ring(g), n.rimDiameter).c_str());
    std::fprintf(out, "\"tooth_thickness_nominal\": %.15g, \"backlash\": %.15g, ", n.toothThicknessNominal, n.backlash);
    std::fprintf(out, "\"chordal_thickness\": %.15g, \"chordal_height\": %.15g, \"form_diameter\": %.15g, ",
                 n.chordalThickness, n.chordalHeight, n.formDiameter);
    std::fprintf(out, "\"pointed\": %s, \"undercut\": %s, \"bottom_clearance\": %s, ", trueFalse(n.pointed),
                 trueFalse(n.undercut), trueFalse(!lacksBottomClearance(g)));
    std::fprintf(out, "\"min_teeth_without_undercut\": %s, \"min_shift_without_undercut\": %s, ",
                 jsonNumber(!ring(g), n.minTeethWithoutUndercut).c_str(),
                 jsonNumber(!ring(g), n.minShiftWithoutUndercut).c_str());
    std::fprintf(out, "\"span_teeth\": %s, \"span_measurement\": %s, ", jsonNumber(n.spanTeeth > 0, n.spanTeeth).c_str(),
                 jsonNumber(n.spanTeeth > 0, n.spanMeasurement).c_str());
    std::fprintf(out, "\"pin_diameter\": %s, \"measurement_over_pins\": %s, ", jsonNumber(!ring(g), p.pinDiameter).c_str(),
                 jsonNumber(p.fits, p.measurement).c_str());
    std::fprintf(out, "\"outline_points\": %zu, \"outline_arcs\": %zu", report.outlinePoints, report.outlineArcs);
    if (const GearPair* pair = report.pair)
        std::fprintf(out,
                     ", \"pair\": {\"working_pressure_angle_deg\": %.15g, \"centre_distance\": %.15g, "
                     "\"contact_ratio\": %.15g, \"effective_contact_ratio\": %.15g, \"path_cut_at_gear_form\": %s, "
                     "\"path_cut_at_mate_form\": %s, \"interference_gear\": %s, \"interference_mate\": %s}",
                     pair->workingPressureAngle * degreesPerRadianExact, pair->centreDistance, pair->contactRatio,
                     pair->effectiveContactRatio, trueFalse(pair->gearFormCutsPath), trueFalse(pair->mateFormCutsPath),
                     trueFalse(pair->interferenceGear), trueFalse(pair->interferenceMate));
    if (const InternalPair* pair = report.internalPair) {
        std::fprintf(out,
                     ", \"pair\": {\"working_pressure_angle_deg\": %.15g, \"centre_distance\": %.15g, "
                     "\"contact_ratio\": %.15g, \"effective_contact_ratio\": %.15g",
                     pair->workingPressureAngle * degreesPerRadianExact, pair->centreDistance, pair->contactRatio,
                     pair->effectiveContactRatio);
        const std::pair<const char*, const PairCheck*> checks[] = {
            {"involute_check", &pair->involute}, {"tip_check", &pair->tip}, {"radial_check", &pair->radial}};
        for (const auto& [key, check] : checks)
            std::fprintf(out, ", \"%s\": {\"passed\": %s, \"reason\": %s}", key, trueFalse(check->passed),
                         check->passed ? "null" : jsonString(check->reason).c_str());
        std::fputs("}", out);
    }
    std::fputs("}\n", out);
}
