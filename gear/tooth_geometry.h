// The shared inner workings of the gear engine: one tooth's constants, the curves of its
// clockwise flank and the map from the rack frame into the gear frame. Not for programs:
// they call gear.h.
#pragma once

#include "gear.h"

#include <functional>
#include <string>

// One gear's constants in millimetres and radians, in the frames of gear.h.
struct ToothGeometry {
    double module;          // m
    double alpha;           // α
    double shift;           // x
    int teeth;              // z
    double pitchRadius;     // r
    double baseRadius;      // rb
    double tipRadius;       // ra
    double rootRadius;      // rf
    double pitch;           // p = π·m
    double rackHalfThickness;  // half the rack tooth on its reference line: p/4, and J/2 more for backlash
    double lineHeight;      // r + x·m: the rack's reference line at roll 0
    double halfToothAngle;  // s / d: half the tooth's angle on the pitch circle
    double rounding;        // ρ = ρf*·m
    double roundingHeight;  // v of the rounding centres, rack frame (−hf·m + ρ)
    double roundingHalfGap; // e: half the distance between the two rounding centres of a rack tooth
    double flankDepth;      // h
    double rackAddendum;    // ha·m: the rack's root line above its reference line
    bool undercut;          // by the formula
    double filletEnd;       // β where the rounding meets the straight flank: π/2 − α
    double filletJoin;      // β where the fillet gives way to the involute
    double involuteStart;   // roll t of the involute where the fillet joins it
    double involuteEnd;     // roll t of the involute on the tip circle
};

// The constants, the undercut join included. Parameters must be valid.
ToothGeometry toothGeometry(const GearParameters& gear);

// The clockwise flank of a tooth centred on the +y axis: an involute that leaves the base
// circle at half-angle baseAngle (clockwise from the centre line) and unwinds towards the
// centre line (an external gear's tooth, sense −1) or away from it (a ring gear's, +1).
struct InvoluteFlank {
    double baseRadius;  // rb
    double baseAngle;   // half-angle where it leaves the base circle
    double sense;       // −1 external, +1 internal
};

// The flank's point at roll t (radius rb·√(1 + t²)).
Vec2 flankPoint(const InvoluteFlank& flank, double t);
// The flank's half-angle at a radius; under the base circle, the radial line it starts from.
double flankHalfAngle(const InvoluteFlank& flank, double radius);
// The roll t of the flank at a radius ≥ rb (0 below).
double flankRollAt(const InvoluteFlank& flank, double radius);
// The involute of a rack-cut tooth's clockwise flank.
InvoluteFlank involuteFlank(const ToothGeometry& g);

// The half-angle of the tooth at radius R ≥ rb: from the tooth centre line to the involute.
double involuteHalfAngle(const ToothGeometry& g, double radius);
// The radius where the involute starts: rb·√(1 + t²) at its starting roll.
double involuteStartRadius(const ToothGeometry& g);
// The clockwise flank's involute at roll t (radius rb·√(1 + t²)), tooth 0.
Vec2 involutePoint(const ToothGeometry& g, double t);
// The point the rack's rounding cuts where its contact normal is β from straight down
// (0 … π/2 − α), on the clockwise flank of tooth 0; roll, when given, receives φ.
Vec2 filletPoint(const ToothGeometry& g, double beta, double* roll = nullptr);
// The rack point (u, v) at roll φ, in the gear frame.
Vec2 rackToGear(const ToothGeometry& g, double roll, double u, double v);

// Where a fillet that dips into the tooth past the base circle comes out across the flank:
// its parameter in [from, to], solved by bisection to the last bit; from when it never does.
double undercutJoin(const std::function<Vec2(double)>& fillet, double from, double to, const InvoluteFlank& flank);

// Finds where f changes sign between a and b (f(a) ≤ 0 < f(b) or the reverse), halving the
// bracket until it stops shrinking.
template <class F>
double bisect(F f, double a, double b)
{
    constexpr int mostSteps = 200;
    const bool risingAtA = f(a) <= 0;
    for (int i = 0; i < mostSteps; ++i) {
        const double mid = 0.5 * (a + b);
        if (mid <= a || mid >= b) break;
        if ((f(mid) <= 0) == risingAtA)
            a = mid;
        else
            b = mid;
    }
    return 0.5 * (a + b);
}

// Two gears of the same module m and pressure angle α rolling without backlash: the working
// pressure angle from inv α_w = inv α + 2 tan α · shiftSum / toothSum and the centre distance
// toothSum·m·cos α / (2 cos α_w). For an internal pair the sums are differences (ring minus
// pinion). False when no centre distance keeps the teeth apart (inv α_w ≤ 0).
bool workingPair(double module, double alpha, double toothSum, double shiftSum, double* angle, double* centreDistance);

// As rackContactAt's sides: the counter-clockwise side of cutter tooth k is the mirror image,
// about the y axis, of the clockwise side of tooth −k − 1 at the reversed roll, cutter and gear
// being symmetric.
template <class ClockwiseSide>
RackContact eitherSide(ClockwiseSide clockwise, double roll, int tooth, FlankSide side)
{
    if (side == FlankSide::clockwise) return clockwise(roll, tooth);
    RackContact c = clockwise(-roll, -tooth - 1);
    c.at.x = -c.at.x;
    return c;
}

// A reason with its numbers: pattern is printf's, with one or two %g-like conversions.
std::string format(const char* pattern, double a, double b = 0);
// Gives the reason, when asked for one, and says no.
bool fail(std::string* reason, const std::string& why);

// Appends the points of curve(t) for t in (t0, t1], so that no chord strays from the
// curve by more than tolerance (checked at a quarter, half and three quarters of each piece);
// their parameters t too, when asked. Stops, false, once points holds more than most.
bool sampleCurve(const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance,
                 std::vector<Vec2>* points, std::vector<double>* parameters = nullptr,
                 std::size_t most = static_cast<std::size_t>(-1));
// Appends circular arcs following curve(t) over (t0, t1], each through the curve at its ends
// and middle and straying from the curve by no more than tolerance (checked at six points):
// each arc's end and its bulge, tan of a quarter of its turn (positive counter-clockwise).
void fitArcs(const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance, std::vector<Vec2>* ends,
             std::vector<double>* bulges);
// The point of the arc from a to b of this bulge at fraction f of its turn.
Vec2 pointOnArc(const Vec2& a, const Vec2& b, double bulge, double f);
// About how many points sampleCurve gives curve over [t0, t1] at tolerance, from a coarse look
// at its length and turning: an arc needs √(turning · length / 8·tolerance) chords.
double estimateCurvePoints(const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance);

// The smallest half-angle (from the tooth's centre line, clockwise positive) that the fillet of
// the clockwise flank reaches, and the radius where it first crosses the centre line when that
// is below 0: an undercut that cuts through the tooth.
double smallestFilletHalfAngle(const ToothGeometry& g, double* crossingRadius);
// Whether the polyline through points (closed back to the first, if asked) is simple: no two
// segments meet but neighbours at their shared end, none has length 0, every point finite.
// Where not, the index of a segment that meets another goes to at.
bool polylineIsSimple(const std::vector<Vec2>& points, bool closed, std::size_t* at = nullptr);
// Whether every number of the constants is finite: huge inputs overflow quietly otherwise.
bool finiteGeometry(const ToothGeometry& g);
