// Tooth generation by a straight-sided rack cutter, module 1 mm, pressure angle 20°.
//
// Frame: origin at the pitch point, x along the rack's pitch line at roll 0, y up, away
// from the gear; the gear centre lies at (0, -rp). At roll t (radians) the rack rolls on
// the pitch circle and is turned by -t; positive t cuts the tip side of the flank,
// negative t the root side. Plain double arithmetic, no input, output or drawing.
#pragma once

#include "gearplot.h"

// The gear and rack constants of one set-up; lengths in mm, angles in radians.
struct RackGear {
    int toothCount;             // z
    double pressureAngle;       // α = π/9
    double addendum;            // ha = 1.0
    double dedendum;            // hf = 1.25
    double pitchRadius;         // rp = z/2 (a real division)
    double tipRadius;           // ra = rp + ha
    double rootRadius;          // rf = rp - hf
    double baseRadius;          // rb = rp·cos α
    double rackShiftAddendum;   // ha·tan α: run of a rack flank from pitch line to rack root
    double rackShiftDedendum;   // hf·tan α: run of a rack flank from pitch line to rack tip
    double rackFlankDepth;      // hf / cos α: flank length below the pitch line
    Point2 gearCentre;          // (0, -rp)
    double undercutStartRoll;   // hf·tan α / rp: the rack's tip corner touches the root circle
};

// The generated curves; each table holds entries 0 … its last index.
struct RackTables {
    ToothTable addendumRackPoints;   // rack reference point, tip side
    ToothTable addendumFlank;        // generated flank point, tip side
    int addendumLast;
    ToothTable dedendumRackPoints;   // rack reference point, root side
    ToothTable dedendumFlank;        // generated flank point, root side
    int dedendumLast;
    ToothTable undercutRackPoints;   // rack reference point at the undercut rolls
    ToothTable undercutCurve;        // path of the rack's tip corner
    int undercutLast;
    ToothTable involuteProfile;      // root side reversed, then the tip side, clipped at the tip
    int involuteLast;
    ToothTable toothProfile;         // undercut curve joined to the involute: the data file
    int profileLast;
};

// How the generation loops step. cutdemo3 steps the roll t itself; the earliest edition
// steps the angle φ at the gear centre and rolls t = tan φ.
struct GenerationSteps {
    bool stepsInAngle;       // roll = tan(x) instead of x
    double tipSideStep;      // x = tipSideStep·i
    double rootSideStep;     // x = -rootSideStep·j
    double undercutStart;    // x = undercutStart - undercutStep·k
    double undercutStep;
    int undercutLast;        // k = 0 … undercutLast
};

// The gear constants for tooth count z (z ≥ 1).
RackGear makeRackGear(int z);
// The steps of cutdemo3 and cutdemo2: roll steps of 0.005, 251 undercut points.
GenerationSteps rollSteps(const RackGear& gear);

// Rack reference point P(t) (the involute of the pitch circle).
Point2 rackReferencePoint(const RackGear& gear, double t);
// P(t), the generated flank point Q(t) and the signed distance s from P to Q along the flank.
void rackFlankPoint(const RackGear& gear, double t, Point2* rackPoint, Point2* flankPoint,
                    double* s);
// P(t) and the rack's tip corner K(t), the corner that cuts the undercut curve.
void rackTipPoint(const RackGear& gear, double t, Point2* rackPoint, Point2* tipPoint);
// Moves table[last] onto the tip circle along the line of the last segment; 1 if moved.
int clipToTipCircle(const RackGear& gear, int last, Point2 table[]);
// Joins the undercut curve U[0 … nu] to the involute T[0 … nt] into profile; 1 when joined,
// 0 when the joined profile would not fit a tooth table (then nothing is written).
// leavingIndex, when given, receives the undercut index at which the profile leaves U.
int joinUndercut(int nu, const Point2 U[], int nt, const Point2 T[], int* profileLast,
                 Point2 profile[], int* leavingIndex = nullptr);
// Fills every table: tip side, root side, merge, clip, undercut, join. Returns the undercut
// index at which the tooth profile leaves the undercut curve, or -1 when the tooth profile
// would not fit its table (no tooth count does so today; the dialogues refuse one that would).
int generateRackTables(const RackGear& gear, const GenerationSteps& steps, RackTables* tables);
