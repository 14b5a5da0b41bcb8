// gear: an external involute spur gear as a basic rack cuts it, in plain values.
//
// Conventions
// - Lengths are millimetres, angles radians (the pressure angle too), counter-clockwise
//   positive. Rack coefficients (addendum, dedendum, tip radius) are multiples of the module.
// - The gear frame: the gear centre at the origin, tooth 0 centred on the +y axis, tooth k
//   turned by k·2π/z. The outline runs counter-clockwise from the middle of the tooth space
//   on the clockwise side of tooth 0.
// - The rack frame at roll φ: the gear stays put and the rack rolls round it. At φ = 0 the
//   rack's reference line is y = r + x·m, the middle of a rack tooth space sits on the +y axis
//   over tooth 0, and rack tooth k is centred at u = (k + ½)·π·m along the line (u grows to
//   the right, seen with the rack above the gear). A positive roll slides the rack r·φ to the
//   left along its line and turns it clockwise about the gear centre by φ: the gear turning
//   counter-clockwise under a fixed rack. A rack point (u, v), v up from the reference line,
//   lies at Rot(−φ)·(u − r·φ, r + x·m + v).
// - No globals, no drawing, no input or output: the command-line tool, the lab and the tests
//   all call the same functions.
#pragma once

#include <string>
#include <vector>

// ---- Inputs ----

struct Vec2 {
    double x;
    double y;
};

// The cutting rack, as coefficients of the module.
struct BasicRack {
    double addendum;     // ha*: depth of the rack's tooth space, the gear's addendum
    double dedendum;     // hf*: depth of the rack's teeth below the reference line, the gear's dedendum
    double tipRadius;    // ρf*: radius of the rounding at the rack's tooth tips (0: sharp corners)
};

struct GearParameters {
    int teeth;             // z ≥ 1
    double module;         // m > 0, mm
    double pressureAngle;  // α, radians, 0 < α < π/4
    double shift;          // profile shift coefficient x (rack moved out by x·m)
    BasicRack rack;
    double tolerance;      // largest chord (or arc) deviation of the outline from the true curve, mm
    // Backlash J, mm: the teeth are cut J thinner on the pitch circle, J/2 off each flank, by a
    // rack whose teeth are J thicker; the flanks stay exact involutes and the fillet follows.
    double backlash = 0;
};

// π to double precision: the engine's own, where the teaching programs keep their rounded values.
constexpr double exactPi = 3.14159265358979323846;

constexpr double defaultTolerance = 0.001;   // mm
constexpr double finestTolerance = 1e-7;     // mm; finer only multiplies points
constexpr double smallestModule = 1e-6;      // mm; below it even the finest tolerance is a tenth of a tooth
constexpr int mostTeeth = 100000;            // beyond this an outline is only memory
constexpr long mostOutlinePoints = 5000000;  // a finer outline is refused: use a larger tolerance
constexpr double pointedTipThickness = 0.2;  // sa below this many modules is called pointed
constexpr double mostCoefficient = 1e6;      // largest |x|, ha*, hf*, ρf*: beyond, tangents saturate
constexpr double largestDimension = 1e100;   // mm from the centre: its square stays a finite double
constexpr double relativePrecision = 1e-12;  // of the gear's reach: the finest tolerance the arithmetic keeps

// The standard basic racks A, B, C, D and "straight", the sharp rack of the teaching
// programs; false for any other name.
bool basicRackNamed(const std::string& name, BasicRack* rack);
// The largest tip radius coefficient whose two roundings fit a rack tooth of this dedendum at
// this pressure angle: the full-round tip, where they meet; negative where even sharp corners
// meet before the full depth.
double largestTipRadius(const BasicRack& rack, double pressureAngle);
// The rack with its tip radius lowered to the largest that fits where its own does not (a named
// rack at a large pressure angle); *reduced says whether it was.
BasicRack fittedRack(const BasicRack& rack, double pressureAngle, bool* reduced);
// Module 1, 20°, no shift, rack A, the default tolerance: what gearprofile starts from.
GearParameters defaultGearParameters(int teeth);

// ---- The numbers ----

struct GearNumbers {
    double pitchDiameter;            // d = m·z
    double baseDiameter;             // db = d·cos α
    double tipDiameter;              // da = d + 2m(ha* + x)
    double rootDiameter;             // df = d − 2m(hf* − x)
    double basePitch;                // pb = π·m·cos α
    double toothThickness;           // s on the pitch circle, thinned by the backlash
    double toothThicknessNominal;    // s before the backlash: m(π/2 + 2x tan α)
    double backlash;                 // J, as given
    double chordalThickness;         // s̄ = d sin ψ, ψ = s/d: the caliper's chord across the tooth
    double chordalHeight;            // h̄ = m(ha* + x) + (d/2)(1 − cos ψ): from the tip to that chord
    double formDiameter;             // where the involute starts, above the fillet or undercut
    double tipThickness;             // sa, the arc thickness on the tip circle
    bool pointed;                    // sa < 0.2·m
    double flankDepth;               // h: depth of the rack's straight flank below its reference line
    bool undercut;                   // h/m − x > (z/2)·sin²α
    double minTeethWithoutUndercut;  // 2(h/m − x)/sin²α
    double minShiftWithoutUndercut;  // h/m − (z/2)·sin²α
    // The span W_k over k teeth, k putting the calipers' contact nearest the circle r + x·m
    // among the k whose contact lies on the involute (between the form and tip circles); 0
    // where no k does, and then there is no span measurement.
    int spanTeeth;
    double spanMeasurement;          // W_k, with the backlash
    double spanContactDiameter;      // where the calipers touch the flanks: 2√(rb² + (W_k/2)²)
};

// Checks the parameters and computes the numbers; false, with the reason, for parameters
// out of range or a gear that cannot be cut (root at the centre, pointed teeth, a rack too
// narrow at its tip, no involute left between fillet and tip, an undercut that cuts through
// the tooth, numbers too large to compute with).
bool computeGearNumbers(const GearParameters& gear, GearNumbers* numbers, std::string* reason);

// ---- Measurement over pins ----

// Two pins in opposite tooth spaces (even z), or one pin and the gear across (odd z).
struct PinMeasurement {
    bool fits;                 // the pin touches both flanks on their involutes
    double pinDiameter;        // d_p
    double measurement;        // M: d_M + d_p (even z), d_M cos(π/2z) + d_p (odd z)
    double centreDiameter;     // d_M = db / cos α_M, through the pins' centres
    double contactDiameter;    // where the pin touches the flanks
    double leastDiameter;      // the pins between these touch the flanks on their involutes
    double mostDiameter;
};
// The measurement for pins of diameter pinDiameter, or of the diameter that touches the flanks
// on the pitch circle, d_p = db·(tan(α + π/z − s/d) − tan α), when pinDiameter is 0; the
// pin-centre angle from inv α_M = s/d + inv α + d_p/db − π/z, s with the backlash. Parameters
// must be valid.
PinMeasurement measureOverPins(const GearParameters& gear, double pinDiameter);

// ---- The outline ----

enum class OutlinePart { involute, fillet, tip, root };

struct OutlinePoint {
    Vec2 at;            // gear frame, mm
    OutlinePart part;
    // A fillet point that the rack's tip has cut into the tooth beyond the involute (and,
    // under the base circle, beyond the radial line where the involute starts). Only an
    // undercut gear has such points.
    bool undercut;
    // The roll at which the rack cuts this point (the rack frame above); a tip point is
    // where the rack's root line passes over the blank.
    double roll;
};

// The closed outline of all z teeth, counter-clockwise, the last point not repeating the
// first, checked to be a simple polygon; false, with the reason, where computeGearNumbers
// fails or the tolerance would need more than mostPoints points (judged before sampling).
// mostPoints is the caller's own limit, at most mostOutlinePoints.
bool computeGearOutline(const GearParameters& gear, std::vector<OutlinePoint>* outline,
                        std::string* reason, long mostPoints = mostOutlinePoints);

// A vertex of an outline of arcs: the segment from here to the next vertex is a circular arc of
// this bulge, the tangent of a quarter of its turn (0 straight, positive counter-clockwise), as
// DXF and CAD programs take it.
struct ArcVertex {
    Vec2 at;
    double bulge;
    OutlinePart part;  // of the segment that starts here
};

// The same closed outline as circular arcs, each through the true curve at its ends and
// straying from it by no more than the tolerance, meeting end to end: counter-clockwise, the
// last vertex not repeating the first; false, with the reason, where computeGearOutline is.
bool computeGearArcs(const GearParameters& gear, std::vector<ArcVertex>* arcs, std::string* reason);

// About how many points the outline takes at the gear's tolerance, judged from a coarse look at
// its curves before any is sampled (computeGearOutline refuses at once beyond twice its limit);
// 0 where the gear cannot be cut.
double estimateOutlinePoints(const GearParameters& gear);

// The radius where the involute of the outline starts: where the fillet joins it, exactly
// (solved, not sampled) when the gear is undercut. Parameters must be valid.
double involuteStartRadius(const GearParameters& gear);

// ---- The rack at a roll ----

enum class RackPart { flank, tipRounding, tipLine, rootLine };

struct RackPoint {
    Vec2 at;        // gear frame, mm
    RackPart part;  // the part of the segment that ends here (the first point: rootLine)
};

// The rack teeth first … last (see the rack frame above) at roll φ, as one polyline in
// the gear frame from the root line left of the first tooth to the root line right of the
// last; the roundings within the parameters' tolerance.
std::vector<RackPoint> rackOutlineAt(const GearParameters& gear, double roll, int first, int last);

enum class FlankSide { clockwise, counterClockwise };  // which flank of a gear tooth

// Where one side of rack tooth k touches the gear at roll φ with the given part (flank or
// tipRounding): its left side cuts the clockwise flank of gear tooth −k, its right side the
// counter-clockwise flank of gear tooth −k − 1. A side can touch with both parts at once:
// the flank higher up the tooth while the rounding cuts the fillet.
struct RackContact {
    bool touching;   // false when that part is not in contact (or only above the blank)
    RackPart part;   // the part asked about
    Vec2 at;         // the contact point, gear frame
    bool kept;       // the point stays on the finished outline (not cut away later)
};
RackContact rackContactAt(const GearParameters& gear, double roll, int rackTooth, FlankSide side,
                          RackPart part = RackPart::flank);

// The point N where the line of action touches the base circle, and the line where the
// rack's straight flank ends (depth h below the reference line), at roll φ in the gear frame.
// N is the one for the clockwise flanks; mirror x for the other side.
struct RackLimits {
    Vec2 interferencePoint;   // N
    Vec2 flankLimitStart;     // two points of the limit line, one rack pitch apart
    Vec2 flankLimitEnd;
};
RackLimits rackLimitsAt(const GearParameters& gear, double roll);

// ---- A meshing pair ----

// The pair frame: the gear's centre at the origin, the mate's at (0, a_w); the line of
// action runs from N1 up to N2 through the pitch point on the y axis.
struct GearPair {
    double workingPressureAngle;  // α_w, radians
    double centreDistance;        // a_w
    double contactRatio;          // ε, transverse, of the path between the tip circles (the textbook value)
    // ε of the path that is really involute on both flanks: cut where either flank stops being
    // involute, at its form circle (involuteStartRadius); below 1 the teeth lose contact.
    double effectiveContactRatio;
    bool gearFormCutsPath;        // the mate's tip reaches below this gear's form circle (its fillet or undercut)
    bool mateFormCutsPath;        // this gear's tip reaches below the mate's form circle
    bool interferenceGear;        // the mate's tip runs past N1, into the gear's base
    bool interferenceMate;        // the gear's tip runs past N2
    Vec2 mateCentre;              // (0, a_w)
    Vec2 pitchPoint;              // on the y axis, at the gear's working pitch radius
    Vec2 interferenceGearPoint;   // N1, on the gear's base circle
    Vec2 interferenceMatePoint;   // N2, on the mate's base circle
    Vec2 contactStart;            // where the mate's tip circle crosses the line of action
    Vec2 contactEnd;              // where the gear's tip circle crosses it
    Vec2 effectiveStart;          // the effective path's ends: contactStart and contactEnd, or the
    Vec2 effectiveEnd;            //   form circles' crossings where those cut the path (equal when none is left)
    double mateTurn;              // turn the mate's own outline by this to mesh with tooth 0
};

// The pair of gear with a mate of mateTeeth teeth and shift mateShift, on the same rack
// and module; false, with the reason, when either gear cannot be cut or the teeth overlap.
bool computeGearPair(const GearParameters& gear, int mateTeeth, double mateShift, GearPair* pair,
                     std::string* reason);

// ---- Involute helpers ----

// inv α = tan α − α.
double involuteFunction(double angle);
// The angle whose involute function is value (value ≥ 0), by Newton's method.
double inverseInvolute(double value);
