// gear: an involute spur gear as a basic rack or a pinion (shaper) cutter cuts it, external or
// internal, in plain values.
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
// - A pinion cutter is a gear of z0 teeth cutting at the centre distance a_w0 of the cutting
//   pressure angle α_w0. At roll φ the gear again stays put: the cutter's centre lies at
//   Rot(−φ)·(0, a_w0), a cutter tooth space faces the gear's tooth 0 at φ = 0, and the cutter
//   turns against the gear (external) or with it (internal) by φ·z/z0.
// - A ring (internal) gear: tooth 0 is centred on the +y axis and points to the centre; its tip
//   circle lies inside the pitch circle, its root circle outside. Its profile shift x·m moves
//   the profile away from the centre as for an external gear: a positive x widens the tooth
//   space (on the pitch circle e = m(π/2 + 2x·tan α)), thins the tooth and enlarges both the
//   tip and root circles. So its cutting pair has inv α_w0 = inv α + 2 tan α (x − x0)/(z − z0),
//   and a pinion of shift x1 meshes inside it at inv α_w = inv α + 2 tan α (x − x1)/(z − z1).
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

enum class CutterKind { rack, pinion };

// A pinion-type (shaper) cutter: an external gear of the gear's module and pressure angle
// with rounded tips, its coefficients its own as multiples of the module. Its addendum cuts
// the gear's root and clearance; its root circle leaves the gear's tip circle, as the rack's
// root line does.
struct PinionCutter {
    int teeth;         // z0 ≥ 1
    double shift;      // x0
    double addendum;   // ha0*: its tip circle is r0 + (ha0* + x0)·m
    double dedendum;   // hf0*: its root circle is r0 − (hf0* − x0)·m
    double tipRadius;  // ρa0*: the rounding of its tooth tips, tangent to its tip circle and flank
};

// Unshifted, 25 teeth: cuts a gear of addendum 1·m and root clearance 0.25·m, its tip
// rounding rack C's.
constexpr PinionCutter standardPinionCutter{25, 0.0, 1.25, 1.0, 0.25};

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

    // ---- The cutter and the ring gear (the defaults: a rack-cut external gear) ----
    CutterKind cutter = CutterKind::rack;                // what cuts the gear; a ring gear needs the pinion
    PinionCutter pinionCutter = standardPinionCutter;    // used when cutter is pinion
    bool internal = false;                               // a ring gear: teeth inside, cut by the pinion cutter
    double rimDiameter = 0;                              // a ring gear's outer rim, mm; 0: da + 6·m
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

    // ---- The cutter and the ring gear ----
    // A ring gear: tipDiameter < d < rootDiameter, the thicknesses are its tooth's, W_k spans
    // k tooth spaces, and a pinion cutter never undercuts it (undercut false, both limits 0).
    // Cut by a pinion cutter: da = 2(a_w0 ∓ rf0) and df = 2(a_w0 ∓ ra0) (− external, + ring),
    // flankDepth is how far the cutter's involute reaches beyond its pitch circle, and the
    // undercut limits are solved for that cutter.
    double cuttingPressureAngle;     // α_w0 of the cutting pair (α for a rack)
    double cuttingCentreDistance;    // a_w0 (0 for a rack)
    double formDiameter;             // where the involute meets the fillet (its start; a ring's outer end)
    double rimDiameter;              // a ring gear's outer rim (0 for an external gear)
};

// Checks the parameters and computes the numbers; false, with the reason, for parameters
// out of range or a gear that cannot be cut (root at the centre, pointed teeth, a rack too
// narrow at its tip, no involute left between fillet and tip, an undercut that cuts through
// the tooth, numbers too large to compute with; for a pinion cutter also its own shape, and
// its tips cutting into a ring gear's tips or past its interference point).
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

enum class OutlinePart { involute, fillet, tip, root, rim };

struct OutlinePoint {
    Vec2 at;            // gear frame, mm
    OutlinePart part;
    // A fillet point that the rack's tip has cut into the tooth beyond the involute (and,
    // under the base circle, beyond the radial line where the involute starts). Only an
    // undercut gear has such points.
    bool undercut;
    // The roll at which the rack (or the pinion cutter) cuts this point (the frames above); a
    // tip point is where the cutter's root passes over the blank; a rim point: 0.
    double roll;
};

// The closed toothed outline of all z teeth, the last point not repeating the first:
// counter-clockwise for an external gear; for a ring gear its inner boundary, clockwise, from
// the middle of the tooth space on the clockwise side of tooth 0. Checked to be a simple
// polygon; false, with the reason, where computeGearNumbers fails or the tolerance would need
// more than mostPoints points (judged before sampling), mostPoints the caller's own limit, at
// most mostOutlinePoints.
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

// The circle of the arc from a to b of this bulge (not 0): its centre lies off the chord's
// middle, on its left for a counter-clockwise arc.
struct ArcCircle {
    Vec2 centre;
    double radius;
};
ArcCircle arcCircle(const Vec2& a, const Vec2& b, double bulge);

// The same closed outline as circular arcs, each through the true curve at its ends and
// straying from it by no more than the tolerance, meeting end to end: counter-clockwise, the
// last vertex not repeating the first; false, with the reason, where computeGearOutline is.
bool computeGearArcs(const GearParameters& gear, std::vector<ArcVertex>* arcs, std::string* reason);
// Every loop as arcs, as computeGearLoops gives them as points: for a ring gear the toothed
// inner loop (clockwise) and the rim, two half circles.
bool computeGearArcLoops(const GearParameters& gear, std::vector<std::vector<ArcVertex>>* loops, std::string* reason);

// About how many points the outline takes at the gear's tolerance, judged from a coarse look at
// its curves before any is sampled (computeGearOutline refuses at once beyond twice its limit);
// 0 where the gear cannot be cut.
double estimateOutlinePoints(const GearParameters& gear);

// Every closed loop of the gear's face: the toothed outline above, and for a ring gear then
// its rim, a counter-clockwise circle of rimDiameter from the +y axis (parts: rim). A ring is
// the region between the two. mostPoints limits all loops together, as computeGearOutline's.
bool computeGearLoops(const GearParameters& gear, std::vector<std::vector<OutlinePoint>>* loops,
                      std::string* reason, long mostPoints = mostOutlinePoints);

// The radius where the involute of the outline meets the fillet (the form circle): exactly
// (solved, not sampled) when the gear is undercut; a ring gear's involute ends there, outwards.
// Parameters must be valid.
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

// ---- The cutter at a roll: the rack, or the pinion cutter ----

// As rackOutlineAt, for either cutter. Pinion cutter tooth k is the one that sits in the
// gear's tooth space clockwise of gear tooth −k at roll 0, as rack tooth k does; it is drawn
// from its root arc on the side that cuts clockwise flanks, over its tip, to the root arc on
// the other side. Parts: flank (its involute, and the radial line under its base circle),
// tipRounding, tipLine (its tip arc), rootLine (its root arc).
std::vector<RackPoint> cutterOutlineAt(const GearParameters& gear, double roll, int first, int last);

// As rackContactAt, for either cutter: pinion cutter tooth k cuts the clockwise flank of
// gear tooth −k and the counter-clockwise flank of gear tooth −k − 1.
RackContact cutterContactAt(const GearParameters& gear, double roll, int cutterTooth, FlankSide side,
                            RackPart part = RackPart::flank);

// Where the pinion cutter stands at roll φ, gear frame, with its circles about its centre.
// N and N0 are the ends of the line of action of the clockwise flanks; mirror x for the other
// side. Parameters must be valid and cut by the pinion cutter.
struct CutterPlace {
    Vec2 centre;                   // the cutter's centre
    Vec2 pitchPoint;               // I, where the two rolling circles touch
    Vec2 interferencePoint;        // N, on the gear's base circle
    Vec2 cutterInterferencePoint;  // N0, on the cutter's base circle
    double pitchRadius;            // r0 = m·z0/2
    double rollingRadius;          // r_w0, the cutter's circle that rolls on the gear's
    double baseRadius;             // rb0
    double tipRadius;              // ra0
    double rootRadius;             // rf0
    double formRadius;             // where the cutter's involute gives way to its tip rounding
};
CutterPlace pinionCutterAt(const GearParameters& gear, double roll);

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

// ---- A pinion inside a ring gear ----

// One check of an internal pair: passed, or the reason why not with its numbers.
struct PairCheck {
    bool passed;
    std::string reason;  // empty when passed
};

// The pair frame: the ring's centre at the origin, the pinion's at (0, a_w) on the same side
// as the pitch point; the line of action of the ring's clockwise flanks runs from N2 on the
// ring's base circle through N1 on the pinion's and the pitch point, in that order.
struct InternalPair {
    double workingPressureAngle;   // α_w
    double centreDistance;         // a_w = m(z − z1)·cos α / (2 cos α_w)
    double contactRatio;           // ε, between the two tip circles
    double effectiveContactRatio;  // ε of the part of that path where both flanks are involute
    Vec2 pinionCentre;             // (0, a_w)
    Vec2 pitchPoint;               // (0, r_w of the ring)
    Vec2 interferenceRingPoint;    // N2, on the ring's base circle
    Vec2 interferencePinionPoint;  // N1, on the pinion's base circle
    Vec2 contactStart;             // where the ring's tip circle crosses the line of action
    Vec2 contactEnd;               // where the pinion's tip circle crosses it
    Vec2 effectiveStart;           // the path cut to the form circles: where the pinion's involute starts …
    Vec2 effectiveEnd;             // … and where the ring's ends (or the tips, if they come first)
    double pinionTurn;             // turn the pinion's own outline by this, then move it to pinionCentre
    bool ringTipsPastN1;           // the path starts beyond N1, under the pinion's base circle
    bool pinionFormCutsPath;       // the effective path starts later, at the pinion's form circle
    bool ringFormCutsPath;         // it ends sooner, at the ring's form circle
    // The interferences, each with its reason:
    PairCheck involute;  // each tip meets only the other's involute: the ring's run neither past N1 nor below
                         // the pinion's form circle into its fillet, the pinion's not past the ring's form circle
    PairCheck tip;       // the pinion's tip corners leave a tooth space without catching the ring's tip corners
    PairCheck radial;    // the pinion can be pushed in radially, along the line of centres, to mesh
};

// The pair of a ring gear (internal, cut by the pinion cutter) and a pinion of pinionTeeth
// teeth and shift pinionShift meshing inside it, cut by the same cutter and module; false,
// with the reason, when either cannot be cut or their teeth overlap at the centre distance.
// The interferences are reported, not refused: they are what a teacher shows.
bool computeInternalPair(const GearParameters& ring, int pinionTeeth, double pinionShift, InternalPair* pair,
                         std::string* reason);

// ---- Involute helpers ----

// inv α = tan α − α.
double involuteFunction(double angle);
// How far below its reference line a basic rack's straight flank reaches, in modules: its
// dedendum less what its tip rounding takes off, h = hf* − ρ*(1 − sin α).
double straightFlankDepth(double dedendum, double tipRadius, double alpha);
// The fewest teeth a rack whose straight flank is depth modules deep cuts without undercut at
// shift x: 2(depth − x)/sin²α (the textbook's 2/sin²α for depth 1, x 0).
double fewestTeethWithoutUndercut(double depth, double alpha, double shift);
// The angle whose involute function is value (value ≥ 0), by Newton's method.
double inverseInvolute(double value);
