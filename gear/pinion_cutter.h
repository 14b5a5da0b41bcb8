// The shared inner workings of a gear cut by a pinion cutter, external or internal: the
// cutter's tooth, the cutting pair, the map from the cutter's frame into the gear frame and
// the fillet. Not for programs: they call gear.h.
#pragma once

#include "tooth_geometry.h"

// One pinion-cut gear's constants in millimetres and radians, in the frames of gear.h. The
// cutter frame: the cutter's centre at the origin, its tooth 0 centred on the +y axis, its
// clockwise side the one that cuts the gear's clockwise flanks.
struct PinionCut {
    // The gear
    bool internal;
    int teeth;                  // z
    double module;              // m
    double alpha;               // α
    double pitchRadius;         // r
    double baseRadius;          // rb
    double tipRadius;           // ra: the circle the cutter's root leaves
    double rootRadius;          // rf: the circle its tip cuts
    double halfToothAngle;      // s / d on the pitch circle
    InvoluteFlank flank;        // the clockwise flank of tooth 0

    // The cutter, in its frame
    int cutterTeeth;            // z0
    double cutterPitchRadius;   // r0
    double cutterTipRadius;     // ra0
    double cutterRootRadius;    // rf0
    InvoluteFlank cutterFlank;  // the clockwise flank of its tooth 0
    double rounding;            // ρ
    Vec2 roundingCentre;        // C, the clockwise rounding's centre
    double formRoll;            // t of the cutter's involute where the rounding takes over (T)
    double tipNormal;           // β (clockwise from +y) of the rounding's normal at the tip circle: C's half-angle
    double flankNormal;         // β of its normal where it meets the involute

    // The cutting pair
    double cuttingAngle;        // α_w0
    double centreDistance;      // a_w0
    double rollingRadius;       // r_w0, the cutter's rolling circle
    double actionLength;        // |N N0| = a_w0·sin α_w0

    // The gear's tooth
    bool undercut;              // the cutter's form point T runs past N
    double filletJoin;          // β where the fillet gives way to the involute
    double involuteAtFillet;    // t of the gear's flank at the join
    double involuteAtTip;       // t of the gear's flank on the tip circle
};

// The clockwise flank of tooth 0 of a gear, external or ring, whatever cuts it.
InvoluteFlank gearFlank(const GearParameters& gear);
// The constants, the undercut join included. Parameters must have valid inputs; whether the
// gear can be cut is computeGearNumbers' check, made on these constants.
PinionCut pinionCut(const GearParameters& gear);

// A cutter-frame point at roll φ, in the gear frame.
Vec2 cutterToGear(const PinionCut& c, double roll, const Vec2& q);
// The point the cutter's rounding cuts with its normal at β (tipNormal … flankNormal), on the
// clockwise flank of tooth 0; roll, when given, receives φ.
Vec2 pinionFilletPoint(const PinionCut& c, double beta, double* roll = nullptr);
// The roll at which the gear's flank point of roll t lies on the line of action.
double pinionInvoluteRoll(const PinionCut& c, double t);
// The undercut limits of an external gear for its pinion cutter, solved by bisection: the
// least shift at its tooth count and the fewest teeth (a real number) at its shift.
double pinionLeastShift(const GearParameters& gear, const PinionCut& c);
double pinionFewestTeeth(const GearParameters& gear, const PinionCut& c);
// The radius where the cutter's involute ends in its tip rounding.
double cutterFormRadius(const PinionCut& c);
// The radius where the gear's involute starts next to its fillet: its form circle.
double gearFormRadius(const PinionCut& c);
// The rim a ring gear is given: rimDiameter, or da + 6·m when that is 0.
double rimDiameterOf(const GearParameters& gear, const PinionCut& c);

// How far (an angle at the larger gear's centre) a pinion's tip corner clears the ring's
// tip corner as it leaves a tooth space: negative when it cuts into it. The pinion has z1
// teeth and the tip and base radii ra1, rb1, the ring z2, ra2, rb2; a, α_w their pair.
double tipInterferenceMargin(int z1, double ra1, double rb1, int z2, double ra2, double rb2, double a,
                             double workingAngle);
