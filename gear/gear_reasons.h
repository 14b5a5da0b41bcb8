// Why the engine refuses a gear, each reason as a printf pattern of numbers only. The engine
// says them in English; a program that speaks another language recognises a reason by its
// pattern and says it in its own, the numbers in the same order (allGearReasons lists them).
#pragma once

namespace gearReason {

constexpr const char* fewTeeth = "the tooth count must be at least 1";
constexpr const char* manyTeeth = "the tooth count must be at most 100000";
constexpr const char* smallModule = "the module must be at least 0.000001 mm";
constexpr const char* pressureAngle = "the pressure angle must lie between 0 and 45 degrees";
constexpr const char* shiftRange = "the profile shift must lie between -1000000 and 1000000";
constexpr const char* addendumRange = "the rack's addendum coefficient must lie between 0 and 1000000";
constexpr const char* dedendumRange = "the rack's dedendum coefficient must be above 0 and at most 1000000";
constexpr const char* tipRadiusRange = "the rack's tip radius coefficient must lie between 0 and 1000000";
constexpr const char* toleranceRange = "the tolerance must be at least 0.0000001 mm";
constexpr const char* backlashRange = "the backlash must be 0 or more and less than the tooth thickness";
constexpr const char* tooLarge = "the gear is too large to compute with: it reaches %.3g mm from its centre, more than 1e100 mm";
constexpr const char* belowPrecision =
    "the tolerance must be at least %.3g mm for a gear this large: finer lies below the precision of the arithmetic";
constexpr const char* overflow = "the gear's numbers overflow: the inputs are too large to compute with";
constexpr const char* rootInsideCentre =
    "the root circle lies at or inside the centre (root diameter %.4g mm): use more teeth or a larger shift";
constexpr const char* roundingsOverlap =
    "the rack's tip roundings overlap: the tip radius is too large for this pressure angle and dedendum; "
    "the largest that fits is %.4g";
constexpr const char* rackPointed =
    "the rack's teeth come to a point before their full depth: the dedendum is too large for this pressure angle";
constexpr const char* noStraightFlank = "the rack's tip rounding leaves no straight flank";
constexpr const char* tipInsideBase = "the tip circle lies inside the base circle: the tooth has no involute flank";
constexpr const char* pointed =
    "the tooth is pointed: its flanks cross below the tip circle (tip thickness %.4g mm); use a smaller shift or more teeth";
constexpr const char* undercutReachesTip =
    "no involute flank is left between the fillet and the tip circle: the undercut reaches the tip; use a larger "
    "shift or more teeth";
constexpr const char* flankEndsAboveTip =
    "no involute flank is left between the fillet and the tip circle: the rack's straight flank ends above the tip; "
    "use a smaller shift or a deeper rack";
constexpr const char* severed =
    "the undercut cuts through the tooth at radius %.4g mm: the two flanks' undercuts meet and the tooth would come "
    "off; use a larger shift or more teeth";
constexpr const char* tooManyPoints = "the outline would need about %.0f points, more than %ld: use a larger tolerance";
constexpr const char* crossesItself = "the outline would cross itself near radius %.4g mm";
constexpr const char* mateCannotBeCut = "the mate cannot be cut: ";  // followed by the mate's own reason
constexpr const char* shiftsTooNegative =
    "the teeth would overlap: the two shifts together are too negative for any centre distance";
constexpr const char* tipsReachRoots =
    "the teeth would overlap: at the centre distance %.4f mm a tip circle reaches past the other gear's root circle "
    "(their tips would need shortening)";

}  // namespace gearReason

// Every reason above, for the programs that say them in another language.
constexpr const char* allGearReasons[] = {
    gearReason::fewTeeth,          gearReason::manyTeeth,          gearReason::smallModule,
    gearReason::pressureAngle,     gearReason::shiftRange,         gearReason::addendumRange,
    gearReason::dedendumRange,     gearReason::tipRadiusRange,     gearReason::toleranceRange,
    gearReason::backlashRange,
    gearReason::tooLarge,          gearReason::belowPrecision,     gearReason::overflow,
    gearReason::rootInsideCentre,  gearReason::roundingsOverlap,   gearReason::rackPointed,
    gearReason::noStraightFlank,   gearReason::tipInsideBase,      gearReason::pointed,
    gearReason::undercutReachesTip, gearReason::flankEndsAboveTip, gearReason::severed,
    gearReason::tooManyPoints,     gearReason::crossesItself,      gearReason::mateCannotBeCut,
    gearReason::shiftsTooNegative, gearReason::tipsReachRoots,
};
