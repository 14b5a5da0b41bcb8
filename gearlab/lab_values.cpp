// Exact values typed into the one-line entry: "name value", applied as the keys apply their
// steps, refused with the reason where the name, the value or the engine says no.
#include "gear_reasons.h"
#include "gear_request.h"
#include "gearlab.h"

#include <cmath>
#include <cstdlib>
#include <regex>

namespace {

bool refuse(std::string* problem, const std::string& why)
{
    *problem = why;
    return false;
}

}  // namespace

bool applyEntryLine(const std::string& line, std::string* problem)
{
    const LabTexts& t = labTexts();
    static const std::regex shape(R"(\s*(\S+)\s*(.*?)\s*)");
    std::smatch parts;
    std::regex_match(line, parts, shape);
    const std::string name = parts[1], value = parts[2];
    if (name.empty()) return true;  // an empty line changes nothing

    GearParameters gear = lab.gear;
    if (name == "rack") {  // a rack named is the rack that cuts
        gear.cutter = CutterKind::rack;
        for (int i = 0; i < labRackCount; ++i)
            if (value == labRackNames[i]) return changeGear(gear, lab.pressureDegrees, i, problem);
        return refuse(problem, sayText(t.entryRack, value));
    }
    if (name == "internal") {
        if (value != "on" && value != "off") return refuse(problem, sayText(t.entryOnOff, value));
        gear.internal = value == "on";
        if (gear.internal) gear.cutter = CutterKind::pinion;
        return changeGear(gear, lab.pressureDegrees, lab.rack, problem);
    }
    if (name == "z" || name == "mate" || name == "cutter") {
        static const std::regex whole(R"([+-]?[0-9]{1,9})");
        if (!std::regex_match(value, whole)) return refuse(problem, sayText(t.entryWhole, value));
        const int teeth = std::atoi(value.c_str());
        if (teeth < 1) return refuse(problem, labReason(gearReason::fewTeeth));
        if (name == "mate") return changeMate(teeth, lab.mateShift, problem);
        if (name == "cutter") {  // the pinion cutter's teeth, and the pinion cutter cuts
            gear.pinionCutter.teeth = teeth;
            gear.cutter = CutterKind::pinion;
        } else {
            gear.teeth = teeth;
        }
        return changeGear(gear, lab.pressureDegrees, lab.rack, problem);
    }
    const bool known =
        name == "x" || name == "a" || name == "m" || name == "matex" || name == "tol" || name == "j" || name == "cutterx";
    if (!known) return refuse(problem, sayText(t.entryUnknown, name));
    double number = 0;
    if (!readDecimal(value, &number)) return refuse(problem, sayText(t.entryNumber, value));
    if (name == "matex") return changeMate(lab.mateTeeth, number, problem);
    if (name == "cutterx") {
        gear.pinionCutter.shift = number;
        gear.cutter = CutterKind::pinion;
    }
    double degrees = lab.pressureDegrees;
    if (name == "x") gear.shift = number;
    if (name == "m") gear.module = number;
    if (name == "tol") gear.tolerance = number;
    if (name == "j") gear.backlash = number;
    if (name == "a") {
        if (!(number > 0 && number < 45)) return refuse(problem, t.entryAngle);
        degrees = number;
        gear.pressureAngle = number * exactPi / 180;
    }
    return changeGear(gear, degrees, lab.rack, problem);
}
