// The command line: long options "--name value" (or "--name=value"), each value checked and
// each complaint naming its option and quoting, printable, what was typed.
#include "gear_request.h"
#include "safefile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>

namespace {

constexpr double radiansPerDegreeExact = exactPi / 180;

struct OptionRule {
    const char* name;
    bool takesValue;
    bool forProfile;
    bool forLab;
};

constexpr OptionRule options[] = {
    {"--help", false, true, true},          {"--teeth", true, true, true},
    {"--module", true, true, true},         {"--pressure-angle", true, true, true},
    {"--shift", true, true, true},          {"--rack", true, true, true},
    {"--addendum", true, true, true},       {"--dedendum", true, true, true},
    {"--tip-radius", true, true, true},     {"--tolerance", true, true, true},
    {"--mate", true, true, true},           {"--mate-shift", true, true, true},
    {"--svg", true, true, false},           {"--dxf", true, true, false},
    {"--csv", true, true, false},           {"--json", false, true, false},
    {"--backlash", true, true, true},       {"--pin-diameter", true, true, false},
    {"--stroke-width", true, true, false},  {"--reference-circles", false, true, false},
    {"--chords", false, true, false},       {"--lang", true, false, true},
    {"--internal", false, true, true},      {"--rim-diameter", true, true, true},
    {"--cutter", true, true, true},         {"--cutter-teeth", true, true, true},
    {"--cutter-shift", true, true, true},
};

bool complain(std::string* message, const std::string& text)
{
    *message = text;
    return false;
}

std::string quoted(const std::string& text) { return "'" + printable(text) + "'"; }

// Plain decimal notation only: 0x10, inf and nan are not what a user means by a length.
bool decimal(const std::string& text)
{
    static const std::regex pattern(R"([+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?)");
    return std::regex_match(text, pattern);
}

bool readNumber(const std::string& option, const std::string& text, double* value, std::string* message)
{
    if (!decimal(text)) return complain(message, option + " needs a decimal number, not " + quoted(text));
    if (!readDecimal(text, value)) return complain(message, option + " needs a finite number, not " + quoted(text));
    return true;
}

bool readCount(const std::string& option, const std::string& text, int* value, int least, std::string* message)
{
    static const std::regex whole(R"([+-]?[0-9]+)");
    if (!std::regex_match(text, whole)) return complain(message, option + " needs a whole number, not " + quoted(text));
    errno = 0;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (errno == ERANGE || v < least || v > mostTeeth)
        return complain(message, option + " must be a tooth count from " + std::to_string(least) + " to " +
                                     std::to_string(mostTeeth) + ", not " + quoted(text));
    *value = static_cast<int>(v);
    return true;
}

// A number that must lie above low (or at it, when low itself is allowed) and below high.
bool readBounded(const std::string& option, const std::string& text, double low, bool lowAllowed, double high,
                 const char* range, double* value, std::string* message)
{
    double v = 0;
    if (!readNumber(option, text, &v, message)) return false;
    if (v < low || (v == low && !lowAllowed) || v >= high)
        return complain(message, option + " must be " + range + ", not " + quoted(text));
    *value = v;
    return true;
}

const OptionRule* optionNamed(const std::string& name)
{
    for (const OptionRule& o : options)
        if (name == o.name) return &o;
    return nullptr;
}

}  // namespace

bool readDecimal(const std::string& text, double* value)
{
    if (!decimal(text)) return false;
    errno = 0;
    const double v = std::strtod(text.c_str(), nullptr);
    // A number too small for a double comes back as 0 or a subnormal: that is still a number,
    // and the ranges say what is allowed. Too large is not.
    if (!std::isfinite(v) || (errno == ERANGE && std::fabs(v) > 1)) return false;
    *value = v + 0.0;  // no negative zero in what is printed back
    return true;
}

GearRequest defaultGearRequest(int teeth)
{
    GearRequest r{};
    r.gear = defaultGearParameters(teeth);
    r.gear.pressureAngle = 20 * radiansPerDegreeExact;  // as a typed --pressure-angle 20 gives it
    r.language = "en";
    return r;
}

bool parseGearRequest(int argc, const char* const argv[], GearProgram program, const GearRequest& defaults,
                      GearRequest* request, std::string* message)
{
    GearRequest r = defaults;
    bool haveTeeth = false;
    bool haveMateShift = false;
    double degrees = NAN;
    // The rack's coefficients given one by one apply over the named rack, whatever the order.
    double addendum = NAN, dedendum = NAN, tipRadius = NAN;
    // The first option that shapes the rack, and the first that shapes the pinion cutter: a gear
    // has one cutter, and an option of the other would be silently ignored.
    std::string rackOption, pinionOption, cutterKind, rimOption;

    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        std::string value;
        const std::size_t equals = option.find('=');
        const bool inlineValue = option.compare(0, 2, "--") == 0 && equals != std::string::npos;
        if (inlineValue) {
            value = option.substr(equals + 1);
            option.erase(equals);
        }
        const OptionRule* rule = optionNamed(option);
        if (!rule) {
            if (option.rfind("-", 0) == 0) return complain(message, "unknown option " + quoted(option));
            return complain(message, "unexpected argument " + quoted(option));
        }
        if (!(program == GearProgram::profile ? rule->forProfile : rule->forLab))
            return complain(message, program == GearProgram::lab
                                         ? option + " is gearprofile's; gearlab writes its files with the e key"
                                         : option + " is gearlab's");
        if (!rule->takesValue) {
            if (inlineValue) return complain(message, option + " takes no value, not " + quoted(value));
            (option == "--help"       ? r.help
             : option == "--json"     ? r.json
             : option == "--chords"   ? r.exports.chords
             : option == "--internal" ? r.gear.internal
                                      : r.exports.referenceCircles) = true;
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) return complain(message, option + " needs a value");
            value = argv[++i];
        }

        bool ok = true;
        if (option == "--teeth") {
            ok = readCount(option, value, &r.gear.teeth, 1, message);
            haveTeeth = true;
        } else if (option == "--module") {
            ok = readBounded(option, value, smallestModule, true, INFINITY, "at least 0.000001 (mm)", &r.gear.module,
                             message);
        } else if (option == "--pressure-angle") {
            ok = readBounded(option, value, 0, false, 45, "between 0 and 45 degrees", &degrees, message);
        } else if (option == "--shift") {
            ok = readNumber(option, value, &r.gear.shift, message);
        } else if (option == "--rack") {
            if (!basicRackNamed(value, &r.gear.rack))
                return complain(message, "--rack must be A, B, C, D or straight, not " + quoted(value));
        } else if (option == "--cutter") {
            if (value != "rack" && value != "pinion")
                return complain(message, "--cutter must be rack or pinion, not " + quoted(value));
            cutterKind = value;
        } else if (option == "--cutter-teeth") {
            ok = readCount(option, value, &r.gear.pinionCutter.teeth, 1, message);
        } else if (option == "--cutter-shift") {
            ok = readNumber(option, value, &r.gear.pinionCutter.shift, message);
        } else if (option == "--rim-diameter") {
            ok = readBounded(option, value, 0, false, INFINITY, "a number above 0 (mm)", &r.gear.rimDiameter, message);
            rimOption = option;
        } else if (option == "--addendum") {
            ok = readBounded(option, value, 0, true, INFINITY, "0 or more", &addendum, message);
        } else if (option == "--dedendum") {
            ok = readBounded(option, value, 0, false, INFINITY, "a number above 0", &dedendum, message);
        } else if (option == "--tip-radius") {
            ok = readBounded(option, value, 0, true, INFINITY, "0 or more", &tipRadius, message);
        } else if (option == "--tolerance") {
            ok = readBounded(option, value, finestTolerance, true, INFINITY, "at least 0.0000001 (mm)",
                             &r.gear.tolerance, message);
        } else if (option == "--mate") {
            ok = readCount(option, value, &r.mateTeeth, 1, message);
            r.withMate = true;
        } else if (option == "--mate-shift") {
            ok = readNumber(option, value, &r.mateShift, message);
            haveMateShift = true;
        } else if (option == "--backlash") {
            ok = readBounded(option, value, 0, true, INFINITY, "0 or more (mm)", &r.gear.backlash, message);
        } else if (option == "--pin-diameter") {
            ok = readBounded(option, value, 0, false, INFINITY, "a number above 0 (mm)", &r.pinDiameter, message);
        } else if (option == "--stroke-width") {
            ok = readBounded(option, value, 0, false, INFINITY, "a number above 0 (mm)", &r.exports.strokeWidth, message);
        } else if (option == "--lang") {
            if (value != "en" && value != "ja") return complain(message, "--lang must be en or ja, not " + quoted(value));
            r.language = value;
        } else {  // the files
            if (value.empty()) return complain(message, option + " needs a file name");
            (option == "--svg" ? r.svgFile : option == "--dxf" ? r.dxfFile : r.csvFile) = value;
        }
        if (!ok) return false;
        if (option == "--rack" || option == "--addendum" || option == "--dedendum" || option == "--tip-radius") {
            if (rackOption.empty()) rackOption = option;
        } else if (option == "--cutter-teeth" || option == "--cutter-shift") {
            if (pinionOption.empty()) pinionOption = option;
        }
    }
    // The cutter: as asked, else the pinion cutter where a ring or its own values ask for it.
    // A ring asked of the rack is the engine's to refuse, with its reason.
    const bool pinion = cutterKind.empty() ? r.gear.internal || !pinionOption.empty() : cutterKind == "pinion";
    r.gear.cutter = pinion ? CutterKind::pinion : CutterKind::rack;
    if (pinion && !rackOption.empty())
        return complain(message, rackOption + " shapes the rack, but the pinion cutter cuts this gear");
    if (!pinion && !pinionOption.empty())
        return complain(message, pinionOption + " shapes the pinion cutter, but the rack cuts this gear (--cutter rack)");
    if (!rimOption.empty() && !r.gear.internal) return complain(message, "--rim-diameter needs --internal (a ring gear's rim)");
    if (program == GearProgram::profile && !r.help && !haveTeeth)
        return complain(message, "--teeth is required (the tooth count)");
    if (program == GearProgram::profile && haveMateShift && !r.withMate)
        return complain(message, "--mate-shift needs --mate (the mate's tooth count)");
    if (!std::isnan(degrees)) r.gear.pressureAngle = degrees * radiansPerDegreeExact;
    if (!std::isnan(addendum)) r.gear.rack.addendum = addendum;
    if (!std::isnan(dedendum)) r.gear.rack.dedendum = dedendum;
    r.namedTipRadius = r.gear.rack.tipRadius;
    if (!std::isnan(tipRadius))
        r.gear.rack.tipRadius = tipRadius;
    else
        r.gear.rack = fittedRack(r.gear.rack, r.gear.pressureAngle, &r.tipRadiusReduced);
    *request = r;
    return true;
}
