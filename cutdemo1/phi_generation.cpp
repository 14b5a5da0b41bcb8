// The φ-stepped generation of cutdemo1 on top of the shared rack generation.
#include "cutdemo1.h"

#include <cmath>

GenerationSteps phiSteps(double phi0) { return {true, 0.0025, 0.005, -phi0, 0.005, 150}; }

PhiRack makePhiRack(const RackGear& gear)
{
    const double tanAlpha = std::tan(gear.pressureAngle);
    PhiRack rack{};
    rack.phi0 = std::atan2(gear.rackShiftDedendum, gear.pitchRadius);
    rack.rootLandWidth = gearPi / 2 - 2.0 * tanAlpha;
    rack.tipLandWidth = gearPi / 2 - 2.5 * tanAlpha;
    rack.rackAddendumDepth = 1.0 / std::cos(gear.pressureAngle);
    return rack;
}

bool generatePhiTables(const RackGear& gear, RackTables* tables, PhiRack* rack)
{
    *rack = makePhiRack(gear);
    const int leaving = generateRackTables(gear, phiSteps(rack->phi0), tables);
    if (leaving < 0) return false;
    rack->thmax = std::acos(gear.pitchRadius / gear.tipRadius);
    // The rack's tip corner generated the undercut point where the profile leaves the curve.
    rack->thmin = -rack->phi0 - 0.005 * leaving;
    rack->dth4 = (rack->thmax - rack->thmin) / wholeToothLastStep;
    return true;
}
