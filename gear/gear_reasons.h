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
// The pinion cutter and the ring gear.
constexpr const char* cutterTeeth = "the cutter's tooth count must lie between 1 and 100000";
constexpr const char* cutterShift = "the cutter's profile shift must lie between -1000000 and 1000000";
constexpr const char* cutterAddendum = "the cutter's addendum coefficient must be above 0 and at most 1000000";
constexpr const char* cutterDedendum = "the cutter's dedendum coefficient must lie between 0 and 1000000";
constexpr const char* cutterTipRadius = "the cutter's tip radius coefficient must lie between 0 and 1000000";
constexpr const char* rimRange = "the rim diameter must be 0 (the default) or a number above it";
constexpr const char* backlashByRack = "backlash is cut by a rack: give the pinion cutter's gear none";
constexpr const char* ringByRack = "a ring gear is cut by a pinion cutter, not by a rack";
constexpr const char* cutterRootInside =
    "the cutter's root circle lies at or inside its centre (root diameter %.4g mm): give it more teeth or a smaller "
    "dedendum";
constexpr const char* cutterRoundingBelowBase =
    "the cutter's tip rounding reaches below its base circle: use a smaller tip radius or a cutter with more teeth";
constexpr const char* cutterTipInsideBase = "the cutter's tip circle lies inside its base circle: it has no involute flank";
constexpr const char* cutterRoundingsOverlap = "the cutter's tip roundings overlap: the tip radius is too large for this cutter";
constexpr const char* cutterPointed = "the cutter's teeth come to a point below their tip circle";
constexpr const char* ringFewTeeth = "a ring gear needs more teeth than its cutter (%.0f)";
constexpr const char* cutterOverlaps =
    "the cutter and the gear would overlap at any centre distance: their shifts together are too negative";
constexpr const char* ringTipInsideBase =
    "the ring's tip circle (%.4g mm) lies inside its base circle (%.4g mm): its teeth would end below the involute; "
    "use a larger shift or more teeth";
constexpr const char* tipsPastCutterN =
    "the gear's tips reach past the cutter's interference point: the cutter's flank under its base circle would cut "
    "them; use a cutter with more teeth";
constexpr const char* ringTipsPastCutterN =
    "the ring's tips reach %.4g mm past the cutter's interference point: the cutter's flank under its base circle "
    "would cut them; use a larger shift or a cutter with more teeth";
constexpr const char* cutterCutsRingTips =
    "the cutter's tips would cut %.4g mm into the ring's tips as they leave a tooth space: use a cutter with fewer teeth";
constexpr const char* rimInsideRoot = "the rim (diameter %.4g mm) must lie outside the root circle (%.4g mm)";
// A pinion inside a ring gear.
constexpr const char* pairNeedsRing = "the pair needs a ring gear: the gear must be internal";
constexpr const char* pinionCannotBeCut = "the pinion cannot be cut: ";  // followed by the pinion's own reason
constexpr const char* pinionTeeth = "the pinion needs fewer teeth than the ring gear";
constexpr const char* ringShiftTooLow =
    "the teeth would overlap: the ring's shift is too far below the pinion's for any centre distance";
constexpr const char* tipsMiss = "the pinion's tips do not reach the ring's teeth at the centre distance %.4f mm";
constexpr const char* ringTipsPastN1 =
    "the ring's tips run %.4g mm past the pinion's interference point N1 and dig into its flank under the base circle";
constexpr const char* ringTipsBelowForm =
    "the ring's tips reach %.4g mm below the pinion's form circle (diameter %.4g mm) and dig into its fillet";
constexpr const char* pinionTipsPastForm =
    "the pinion's tips reach %.4g mm past the ring's form circle (diameter %.4g mm) and dig into its fillet";
constexpr const char* tipInterference =
    "the pinion's tip corners catch the ring's tip corners by %.4g mm as they leave a tooth space (tip interference); "
    "the ring needs more teeth than the pinion by more";
constexpr const char* radialAssembly =
    "pushed in radially, tip corners would run %.4g mm into the other gear's teeth: the pinion has to go in along its axis";
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
    gearReason::shiftsTooNegative, gearReason::tipsReachRoots,     gearReason::cutterTeeth,
    gearReason::cutterShift,       gearReason::cutterAddendum,     gearReason::cutterDedendum,
    gearReason::cutterTipRadius,   gearReason::rimRange,           gearReason::backlashByRack,
    gearReason::ringByRack,        gearReason::cutterRootInside,   gearReason::cutterRoundingBelowBase,
    gearReason::cutterTipInsideBase, gearReason::cutterRoundingsOverlap, gearReason::cutterPointed,
    gearReason::ringFewTeeth,      gearReason::cutterOverlaps,     gearReason::ringTipInsideBase,
    gearReason::tipsPastCutterN,   gearReason::ringTipsPastCutterN, gearReason::cutterCutsRingTips,
    gearReason::rimInsideRoot,     gearReason::pairNeedsRing,      gearReason::pinionCannotBeCut,
    gearReason::pinionTeeth,       gearReason::ringShiftTooLow,    gearReason::tipsMiss,
    gearReason::ringTipsPastN1,    gearReason::ringTipsBelowForm,  gearReason::pinionTipsPastForm,
    gearReason::tipInterference,   gearReason::radialAssembly,
};
