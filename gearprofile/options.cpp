// The command line: long options "--name value" (or "--name=value"), each value checked
// and each complaint naming its option.
#include "gearprofile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double radiansPerDegreeExact = exactPi / 180;

bool complain(std::string* message, const std::string& text)
{
    *message = text;
    return false;
}

bool readNumber(const std::string& option, const std::string& text, double* value, std::string* message)
{
    const char* s = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s, &end);
    if (text.empty() || end == s || *end != '\0')
        return complain(message, option + " needs a number, not '" + text + "'");
    if (!std::isfinite(v) || errno == ERANGE)
        return complain(message, option + " needs a finite number, not '" + text + "'");
    *value = v;
    return true;
}

bool readCount(const std::string& option, const std::string& text, int* value, std::string* message)
{
    const char* s = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s, &end, 10);
    if (text.empty() || end == s || *end != '\0')
        return complain(message, option + " needs a whole number, not '" + text + "'");
    if (errno == ERANGE || v < 1 || v > mostTeeth)
        return complain(message, option + " must be a tooth count from 1 to " + std::to_string(mostTeeth) +
                                     ", not '" + text + "'");
    *value = static_cast<int>(v);
    return true;
}

// A number that must lie above low (or at it, when low itself is allowed) and below high.
bool readBounded(const std::string& option, const std::string& text, double low, bool lowAllowed, double high,
                 const char* range, double* value, std::string* message)
{
    double v = 0;
    if (!readNumber(option, text, &v, message)) return false;
    if (v < low || (v == low && !lowAllowed) || v >= high) return complain(message, option + " must be " + range + ", not '" + text + "'");
    *value = v;
    return true;
}

}  // namespace

const char* profileUsage()
{
    return "Usage: gearprofile --teeth Z [--module M] [--pressure-angle DEG] [--shift X]\n"
           "                   [--rack A|B|C|D|straight] [--addendum HA] [--dedendum HF] [--tip-radius RHO]\n"
           "                   [--tolerance MM] [--mate Z2 [--mate-shift X2]]\n"
           "                   [--svg FILE] [--dxf FILE] [--csv FILE] [--json]\n"
           "\n"
           "Prints the numbers of an involute spur gear cut by a basic rack and writes its closed\n"
           "outline. Defaults: module 1 mm, pressure angle 20 degrees, shift 0, rack A, tolerance\n"
           "0.001 mm. --addendum, --dedendum and --tip-radius change the rack's coefficients.\n"
           "Exit status: 0 done, 1 a file could not be written, 2 bad options or a gear that\n"
           "cannot be cut.\n";
}

bool parseProfileRequest(int argc, const char* const argv[], ProfileRequest* request, std::string* message)
{
    ProfileRequest r{};
    r.gear = defaultGearParameters(1);
    bool haveTeeth = false;
    bool haveMateShift = false;
    double degrees = 20;
    // The rack's coefficients given one by one apply over the named rack, whatever the order.
    double addendum = NAN, dedendum = NAN, tipRadius = NAN;

    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        std::string value;
        const std::size_t equals = option.find('=');
        const bool inlineValue = option.compare(0, 2, "--") == 0 && equals != std::string::npos;
        if (inlineValue) {
            value = option.substr(equals + 1);
            option.erase(equals);
        }
        if (option == "--help") {
            r.help = true;
            continue;
        }
        if (option == "--json") {
            r.json = true;
            continue;
        }
        static const char* const valued[] = {"--teeth", "--module", "--pressure-angle", "--shift", "--rack",
                                             "--addendum", "--dedendum", "--tip-radius", "--tolerance", "--mate",
                                             "--mate-shift", "--svg", "--dxf", "--csv"};
        bool known = false;
        for (const char* name : valued) known = known || option == name;
        if (!known) {
            if (option.rfind("-", 0) == 0) return complain(message, "unknown option '" + option + "'");
            return complain(message, "unexpected argument '" + option + "'");
        }
        if (!inlineValue) {
            if (i + 1 >= argc) return complain(message, option + " needs a value");
            value = argv[++i];
        }

        bool ok = true;
        if (option == "--teeth") {
            ok = readCount(option, value, &r.gear.teeth, message);
            haveTeeth = true;
        } else if (option == "--module") {
            ok = readBounded(option, value, 0, false, INFINITY, "a number above 0 (mm)", &r.gear.module, message);
        } else if (option == "--pressure-angle") {
            ok = readBounded(option, value, 0, false, 45, "between 0 and 45 degrees", &degrees, message);
        } else if (option == "--shift") {
            ok = readNumber(option, value, &r.gear.shift, message);
        } else if (option == "--rack") {
            if (!basicRackNamed(value, &r.gear.rack))
                return complain(message, "--rack must be A, B, C, D or straight, not '" + value + "'");
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
            ok = readCount(option, value, &r.mateTeeth, message);
            r.withMate = true;
        } else if (option == "--mate-shift") {
            ok = readNumber(option, value, &r.mateShift, message);
            haveMateShift = true;
        } else if (option == "--svg" || option == "--dxf" || option == "--csv") {
            if (value.empty()) return complain(message, option + " needs a file name");
            (option == "--svg" ? r.svgFile : option == "--dxf" ? r.dxfFile : r.csvFile) = value;
        }
        if (!ok) return false;
    }
    if (!r.help && !haveTeeth) return complain(message, "--teeth is required (the tooth count)");
    if (haveMateShift && !r.withMate) return complain(message, "--mate-shift needs --mate (the mate's tooth count)");
    r.gear.pressureAngle = degrees * radiansPerDegreeExact;
    if (!std::isnan(addendum)) r.gear.rack.addendum = addendum;
    if (!std::isnan(dedendum)) r.gear.rack.dedendum = dedendum;
    if (!std::isnan(tipRadius)) r.gear.rack.tipRadius = tipRadius;
    *request = r;
    return true;
}
