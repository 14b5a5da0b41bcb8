// The lab's state, its start options and the figures the engine gives for each change.
#include "gearlab.h"
#include "gear_reasons.h"
#include "gear_request.h"

#include <algorithm>
#include <cmath>

// ---- Program state ----

LabState lab;          // the parameters and the view
LabFigures figures;    // the engine's results for them

namespace {

constexpr double rollScanStep = 0.05;   // of a module of rack travel, while finding where the cut starts
constexpr double rollScanReach = 15;    // modules of rack travel searched each way at most
constexpr int rackTeethEachSide = 2;    // rack teeth drawn beside tooth 0
constexpr int traceTeethEachSide = 1;   // and kept in the traces, which are many
constexpr double traceTolerance = 0.005;  // of a module: thin grey traces need no finer roundings

int rackIndexOf(const BasicRack& rack)
{
    for (int i = 0; i < labRackCount; ++i) {
        BasicRack named{};
        basicRackNamed(labRackNames[i], &named);
        if (named.addendum == rack.addendum && named.dedendum == rack.dedendum && named.tipRadius == rack.tipRadius)
            return i;
    }
    return -1;
}

// Which part a segment between two parts belongs to: the engine puts each join on the
// involute, or on the root arc's end, so the segment beside it lies on the other part.
int joinRank(OutlinePart part, bool undercut)
{
    if (undercut) return 4;
    switch (part) {
    case OutlinePart::fillet: return 3;
    case OutlinePart::tip: return 2;
    case OutlinePart::root: return 1;
    default: return 0;
    }
}

// Splits the closed outline into runs of one part (and one undercut flag). Neighbouring runs
// share their join point; the last run ends on point 0 again, at index size().
std::vector<OutlineRun> splitIntoRuns(const std::vector<OutlinePoint>& outline)
{
    std::vector<OutlineRun> runs;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const OutlinePoint& p = outline[i];
        if (!runs.empty() && runs.back().part == p.part && runs.back().undercut == p.undercut) {
            ++runs.back().count;
            continue;
        }
        if (runs.empty()) {
            runs.push_back({i, 1, p.part, p.undercut});
        } else if (joinRank(p.part, p.undercut) > joinRank(runs.back().part, runs.back().undercut)) {
            runs.push_back({i - 1, 2, p.part, p.undercut});
        } else {
            ++runs.back().count;
            runs.push_back({i, 1, p.part, p.undercut});
        }
    }
    if (!runs.empty()) ++runs.back().count;  // the closing segment back to point 0
    return runs;
}

// Where tooth 0 of the cutter, rack or pinion, touches the gear at a roll: either side, either part.
std::vector<RackContact> contactsOfToothZero(const GearParameters& gear, double roll)
{
    std::vector<RackContact> touching;
    for (FlankSide side : {FlankSide::clockwise, FlankSide::counterClockwise})
        for (RackPart part : {RackPart::flank, RackPart::tipRounding}) {
            const RackContact c = cutterContactAt(gear, roll, 0, side, part);
            if (c.touching) touching.push_back(c);
        }
    return touching;
}

bool cutterToothZeroTouches(const GearParameters& gear, double roll) { return !contactsOfToothZero(gear, roll).empty(); }

// The rolls of view 1: centred where cutter tooth 0 stands in the space between gear teeth 0
// and −1, reaching a little past the last roll at which it touches the blank.
void findGenerationRolls(const GearParameters& gear)
{
    const double r = gear.module * gear.teeth / 2;
    figures.centreRoll = exactPi / gear.teeth;
    const double step = rollScanStep * gear.module / r;
    const int most = static_cast<int>(std::min(rollScanReach / rollScanStep, (exactPi / 2) / step));
    int last = 0;
    for (int k = 1; k <= most; ++k)
        if (cutterToothZeroTouches(gear, figures.centreRoll + k * step) ||
            cutterToothZeroTouches(gear, figures.centreRoll - k * step))
            last = k;
    figures.rollReach = (last + 4) * step;
}

// Adds the cutter's position of step n to the traces.
void addGenerationStep(int n)
{
    const double roll = generationRoll(n);
    // Rasterising the traces is most of a frame's cost, so they are drawn coarser and
    // narrower than the current cutter.
    GearParameters coarse = lab.gear;
    coarse.tolerance = std::max(lab.gear.tolerance, traceTolerance * lab.gear.module);
    figures.traces.push_back(plainPoints(cutterOutlineAt(coarse, roll, -traceTeethEachSide, traceTeethEachSide)));
    figures.currentRack = cutterOutlineAt(lab.gear, roll, -rackTeethEachSide, rackTeethEachSide);
    if (figures.traces.size() > mostTraces) figures.traces.erase(figures.traces.begin());
}

// The traces of steps 0 … lab.step again, from none.
void rebuildGeneration()
{
    figures.traces.clear();
    figures.currentRack.clear();
    for (int n = 0; n <= lab.step; ++n) addGenerationStep(n);
    figures.lastStep = lab.step;
}

// An external gear cut by the pinion cutter, cut instead by the rack of the cutter's profile: its
// addendum cuts the root, its dedendum leaves the tip, its rounding the same. Empty for any
// other gear, or where that rack cannot cut it.
std::vector<Point2> rackCutOutlineOf(const GearParameters& gear)
{
    if (gear.cutter != CutterKind::pinion || gear.internal) return {};
    GearParameters byRack = gear;
    byRack.cutter = CutterKind::rack;
    byRack.rack = {gear.pinionCutter.dedendum, gear.pinionCutter.addendum, gear.pinionCutter.tipRadius};
    std::vector<OutlinePoint> outline;
    std::string reason;
    if (!computeGearOutline(byRack, &outline, &reason, labMostOutlinePoints)) return {};
    return plainPoints(outline);
}

}  // namespace

void resetLab()
{
    lab = LabState{};
    lab.gear = defaultGearParameters(defaultLabTeeth);
    lab.pressureDegrees = 20;
    lab.rack = 0;
    lab.mateTeeth = defaultMateTeeth;
    lab.mateShift = 0;
    lab.view = 1;
    lab.zoom = 1;
    lab.language = LabLanguage::english;
}

const char* labUsage()
{
    return "Usage: gearlab [--teeth Z] [--module M] [--pressure-angle DEG] [--shift X]\n"
           "              [--rack A|B|C|D|straight] [--addendum HA] [--dedendum HF] [--tip-radius RHO]\n"
           "              [--cutter rack|pinion] [--cutter-teeth Z0] [--cutter-shift X0]\n"
           "              [--internal [--rim-diameter D]] [--backlash J]\n"
           "              [--tolerance MM] [--mate Z2] [--mate-shift X2] [--lang en|ja]\n"
           "\n"
           "Opens the gear laboratory on the given gear (10 teeth unless told otherwise, so the\n"
           "undercut shows), cut by the rack or by a pinion cutter (25 teeth unless told otherwise);\n"
           "--internal makes it a ring gear, cut by the pinion cutter, its mate the pinion inside.\n"
           "Every change after that is made with keys in the window, or typed exactly after Enter;\n"
           "h lists them.\n";
}

bool parseLabOptions(int argc, const char* const argv[], bool* help, std::string* message)
{
    GearRequest request{};
    if (!parseGearRequest(argc, argv, GearProgram::lab, defaultGearRequest(defaultLabTeeth), &request, message))
        return false;
    *help = request.help;
    if (request.help) return true;
    if (request.gear.teeth > labMostTeeth) {
        *message = "--teeth must be at most " + std::to_string(labMostTeeth) + " in gearlab, not '" +
                   std::to_string(request.gear.teeth) + "'";
        return false;
    }
    resetLab();  // in English until the gear is taken: the console says why it is not
    const double degrees = request.gear.pressureAngle * 180 / exactPi;
    // Round away the conversion's last bit so 14.5 reads back as 14.5.
    const double typed = std::round(degrees * 1e9) / 1e9;
    BasicRack named = request.gear.rack;
    named.tipRadius = request.namedTipRadius;
    if (!changeGear(request.gear, typed, rackIndexOf(named), message)) {
        *message = "this gear cannot be cut: " + *message;
        return false;
    }
    if (request.withMate && !changeMate(request.mateTeeth, request.mateShift, message)) return false;
    lab.problem.clear();
    lab.language = request.language == "ja" ? LabLanguage::japanese : LabLanguage::english;
    return true;
}

bool changeGear(const GearParameters& wanted, double pressureDegrees, int rack, std::string* why)
{
    GearParameters gear = wanted;
    bool reduced = false;
    if (rack >= 0) {  // a named rack: its own rounding, or the largest that fits at this angle
        basicRackNamed(labRackNames[rack], &gear.rack);
        gear.rack = fittedRack(gear.rack, gear.pressureAngle, &reduced);
    }
    std::vector<OutlinePoint> outline;
    GearNumbers numbers{};
    std::string reason;
    if (gear.teeth > labMostTeeth) {
        reason = sayText(labTexts().mostTeeth, std::to_string(labMostTeeth));
    } else if (!computeGearNumbers(gear, &numbers, &reason) ||
               !computeGearOutline(gear, &outline, &reason, labMostOutlinePoints)) {
        reason = labReason(reason);
    } else {
        lab.gear = gear;
        lab.pressureDegrees = pressureDegrees;
        lab.rack = rack;
        lab.roundingReduced = reduced;
        figures.numbers = numbers;
        figures.outline = plainPoints(outline);
        figures.cutRolls.resize(outline.size());
        std::transform(outline.begin(), outline.end(), figures.cutRolls.begin(), [](const OutlinePoint& p) { return p.roll; });
        figures.runs = splitIntoRuns(outline);
        figures.pointsPerTooth = outline.size() / static_cast<std::size_t>(gear.teeth);
        figures.rackCutOutline = rackCutOutlineOf(gear);
        figures.pins = measureOverPins(gear, 0);
        recomputeFigures();
        return true;
    }
    lab.problem = labTexts().refused + reason;
    if (why) *why = reason;
    return false;
}

// The mate: cut by the same cutter; inside a ring gear, the external pinion.
GearParameters mateOf(const GearParameters& gear, int teeth, double shift)
{
    GearParameters mate = gear;
    mate.teeth = teeth;
    mate.shift = shift;
    mate.internal = false;
    return mate;
}

// Cuts the mate of teeth and shift: false, with the engine's reason, where it cannot be cut.
bool cutMate(int teeth, double shift, GearNumbers* numbers, std::vector<OutlinePoint>* outline, std::string* reason)
{
    const GearParameters mate = mateOf(lab.gear, teeth, shift);
    return computeGearNumbers(mate, numbers, reason) && computeGearOutline(mate, outline, reason, labMostOutlinePoints);
}

// View 3's pair of the current gear and its mate; cut, when the caller has cut the mate already.
void recomputePair(const GearNumbers* cutNumbers = nullptr, std::vector<OutlinePoint>* cutOutline = nullptr)
{
    figures.paired = lab.gear.internal ? computeInternalPair(lab.gear, lab.mateTeeth, lab.mateShift, &figures.ringPair,
                                                             &figures.pairProblem)
                                       : computeGearPair(lab.gear, lab.mateTeeth, lab.mateShift, &figures.pair,
                                                         &figures.pairProblem);
    figures.mateOutline.clear();
    if (figures.paired) {
        std::vector<OutlinePoint> outline;
        if (cutNumbers) {
            figures.mateNumbers = *cutNumbers;
            outline = std::move(*cutOutline);
        } else {
            figures.paired = cutMate(lab.mateTeeth, lab.mateShift, &figures.mateNumbers, &outline, &figures.pairProblem);
        }
        figures.mateOutline = plainPoints(outline);
    }
    figures.pairProblem = labReason(figures.pairProblem);
}

void recomputeFigures()
{
    findGenerationRolls(lab.gear);
    rebuildGeneration();
    figures.cutting = contactsOfToothZero(lab.gear, generationRoll(lab.step));
    recomputePair();
}

bool changeMate(int teeth, double shift, std::string* why)
{
    std::vector<OutlinePoint> outline;
    GearNumbers numbers{};
    std::string reason;
    if (teeth > labMostTeeth)
        reason = sayText(labTexts().mostTeeth, std::to_string(labMostTeeth));
    else if (!cutMate(teeth, shift, &numbers, &outline, &reason))
        reason = labReason(gearReason::mateCannotBeCut + reason);
    if (!reason.empty()) {
        lab.problem = labTexts().refused + reason;
        if (why) *why = reason;
        return false;
    }
    lab.mateTeeth = teeth;
    lab.mateShift = shift;
    recomputePair(&numbers, &outline);  // the gear and its generation stay as they are
    return true;
}

void advanceGeneration()
{
    if (lab.step == figures.lastStep + 1) {
        addGenerationStep(lab.step);
        figures.lastStep = lab.step;
    } else if (lab.step != figures.lastStep) {
        rebuildGeneration();
    }
    figures.cutting = contactsOfToothZero(lab.gear, generationRoll(lab.step));
}

std::vector<RackContact> cuttingContacts() { return figures.cutting; }

bool cutByNow(std::size_t i)
{
    const std::size_t n = figures.outline.size();
    const std::size_t half = figures.pointsPerTooth / 2;
    if (i > half && i < n - half) return false;  // another tooth space: not cut in view 1
    // The space's two sides lie at the outline's two ends, on its first and its last tooth:
    // one side's rolls count a full turn of cutter travel behind (a rack-cut or external gear's
    // last side, a ring's first). Each is taken on the turn of the space's own cut.
    double roll = figures.cutRolls[i];
    roll += 2 * exactPi * std::round((figures.centreRoll - roll) / (2 * exactPi));
    return roll <= generationRoll(lab.step);
}

double generationRoll(int n)
{
    return figures.centreRoll - figures.rollReach + 2 * figures.rollReach * n / generationSteps;
}

// Clockwise, so that the contacts run from the mate's tip (nearer N1) to this gear's tip; a ring
// counter-clockwise, so that they run from its tip to the pinion's.
double meshTurn()
{
    return (lab.gear.internal ? 1 : -1) * 2 * exactPi / lab.gear.teeth * lab.meshStep / meshStepsPerPitch;
}

namespace {

// What both kinds of pair give alike: the pitch point, the path of contact and its numbers.
template <class Pair>
void copyPath(const Pair& p, MeshLayout* l)
{
    l->pitchPoint = p.pitchPoint;
    l->contactStart = p.contactStart;
    l->contactEnd = p.contactEnd;
    l->effectiveStart = p.effectiveStart;
    l->effectiveEnd = p.effectiveEnd;
    l->centreDistance = p.centreDistance;
    l->workingPressureAngle = p.workingPressureAngle;
    l->contactRatio = p.contactRatio;
    l->effectiveContactRatio = p.effectiveContactRatio;
}

}  // namespace

MeshLayout meshLayout()
{
    MeshLayout l{};
    if (lab.gear.internal) {
        const InternalPair& p = figures.ringPair;
        copyPath(p, &l);
        l.mateCentre = p.pinionCentre;
        l.mateTurn = p.pinionTurn;
        l.mateTurnRate = static_cast<double>(lab.gear.teeth) / lab.mateTeeth;
        l.n1 = p.interferencePinionPoint;
        l.n2 = p.interferenceRingPoint;
        l.n1Passed = p.ringTipsPastN1;
        l.n2Passed = false;  // the pinion's tip moves away from N2
        l.startCut = p.pinionFormCutsPath;
        l.endCut = p.ringFormCutsPath;
        // N2 and N1 lie on one side of the pitch point: the line runs on past N1 to the path's end.
        const Vec2 along{-std::cos(p.workingPressureAngle), std::sin(p.workingPressureAngle)};
        const auto fromN2 = [&](const Vec2& q) { return (q.x - l.n2.x) * along.x + (q.y - l.n2.y) * along.y; };
        l.lineStart = l.n2;
        l.lineEnd = fromN2(p.contactEnd) > fromN2(l.n1) ? p.contactEnd : l.n1;
        return l;
    }
    const GearPair& p = figures.pair;
    copyPath(p, &l);
    l.mateCentre = p.mateCentre;
    l.mateTurn = p.mateTurn;
    l.mateTurnRate = -static_cast<double>(lab.gear.teeth) / lab.mateTeeth;
    l.n1 = p.interferenceGearPoint;
    l.n2 = p.interferenceMatePoint;
    l.n1Passed = p.interferenceGear;
    l.n2Passed = p.interferenceMate;
    l.startCut = p.gearFormCutsPath || p.interferenceGear;
    l.endCut = p.mateFormCutsPath || p.interferenceMate;
    l.lineStart = l.n1;
    l.lineEnd = l.n2;
    return l;
}

namespace {

// The contacts of the pinion inside the ring, on the line of action of the ring's clockwise
// flanks: the clockwise flank of ring tooth k leaves the base circle ψb clockwise of the
// tooth's centre line (ψb = s/d − inv α, the ring's tooth widening outwards), so with the ring
// turned by δ it crosses the line rb·(α_w − ψb + 2πk/z + δ) from N2.
std::vector<Vec2> ringContacts()
{
    std::vector<Vec2> contacts;
    const InternalPair& p = figures.ringPair;
    const GearNumbers& n = figures.numbers;
    const double rb = n.baseDiameter / 2, pb = n.basePitch;
    const Vec2 n2 = p.interferenceRingPoint;
    const Vec2 along{-std::cos(p.workingPressureAngle), std::sin(p.workingPressureAngle)};
    const auto distance = [&](const Vec2& q) { return (q.x - n2.x) * along.x + (q.y - n2.y) * along.y; };
    const double psiB = n.toothThickness / n.pitchDiameter - involuteFunction(lab.gear.pressureAngle);
    const double first = rb * (p.workingPressureAngle - psiB + meshTurn());
    const double from = distance(p.contactStart), to = distance(p.contactEnd);
    double s = std::fmod(first - from, pb);
    if (s < 0) s += pb;
    for (s += from; s <= to; s += pb) contacts.push_back({n2.x + s * along.x, n2.y + s * along.y});
    return contacts;
}

}  // namespace

std::vector<Vec2> meshContacts()
{
    std::vector<Vec2> contacts;
    if (!figures.paired) return contacts;
    if (lab.gear.internal) return ringContacts();
    const GearPair& p = figures.pair;
    const Vec2 n1 = p.interferenceGearPoint, n2 = p.interferenceMatePoint;
    const double length = std::hypot(n2.x - n1.x, n2.y - n1.y);
    const Vec2 along{(n2.x - n1.x) / length, (n2.y - n1.y) / length};
    const auto distance = [&](const Vec2& q) { return (q.x - n1.x) * along.x + (q.y - n1.y) * along.y; };
    const double rb = figures.numbers.baseDiameter / 2;
    const double pb = figures.numbers.basePitch;
    // The flanks in contact on the way from N1 to N2 are those whose involutes unwind
    // towards N2: the ones on the far side of each tooth from N1, leaving the base circle ψb
    // from the tooth's centre line. A flank meets the line as far from N1 as the arc from its
    // start round to N1, so turning the gear by δ moves every contact along the line by rb·δ.
    const double psiB = figures.numbers.toothThickness / figures.numbers.pitchDiameter + involuteFunction(lab.gear.pressureAngle);
    const double beta = std::atan2(n1.y, n1.x);
    const double side = beta > exactPi / 2 ? 1 : -1;  // N1 left of the centre line
    const double first = rb * (std::fabs(beta - exactPi / 2) + psiB - side * meshTurn());
    const double from = distance(p.contactStart), to = distance(p.contactEnd);
    double s = std::fmod(first - from, pb);
    if (s < 0) s += pb;
    for (s += from; s <= to; s += pb) contacts.push_back({n1.x + s * along.x, n1.y + s * along.y});
    return contacts;
}

void fittedFrame(Vec2* centre, double* halfSize)
{
    const GearNumbers& n = figures.numbers;
    const double ra = n.tipDiameter / 2;
    const double r = n.pitchDiameter / 2;
    const double m = lab.gear.module;
    if (lab.view == 1) {
        const double a = exactPi / lab.gear.teeth;
        *centre = {r * std::sin(a), r * std::cos(a)};
        *halfSize = std::min(1.1 * ra, 6 * m);
    } else if (lab.view == 3 && figures.paired && lab.meshZone) {
        // Round the pitch point: both tip circles where they cross, and the path of contact. Inside
        // a ring the tip circles cross far round, where the teeth have long parted: the path alone.
        const MeshLayout p = meshLayout();
        const double ra2 = figures.mateNumbers.tipDiameter / 2, aw = p.centreDistance;
        const double y = (ra * ra - ra2 * ra2 + aw * aw) / (2 * aw);
        const Vec2 crossing = lab.gear.internal ? p.pitchPoint : Vec2{std::sqrt(std::fmax(0.0, ra * ra - y * y)), y};
        const auto from = [&](const Vec2& q) { return std::hypot(q.x - p.pitchPoint.x, q.y - p.pitchPoint.y); };
        *centre = p.pitchPoint;
        *halfSize = 1.15 * std::max({from(crossing), from(p.contactStart), from(p.contactEnd), (lab.gear.internal ? 3 : 2) * m});
    } else if (lab.view == 3 && figures.paired && lab.gear.internal) {
        *centre = {0, 0};  // the pinion lies inside the ring's rim
        *halfSize = 1.05 * n.rimDiameter / 2;
    } else if (lab.view == 3 && figures.paired) {
        const double ra2 = figures.mateNumbers.tipDiameter / 2;
        const double aw = figures.pair.centreDistance;
        *centre = {0, (aw + ra2 - ra) / 2};
        *halfSize = 1.05 * std::max((aw + ra + ra2) / 2, std::max(ra, ra2));
    } else {
        *centre = {0, 0};
        *halfSize = 1.08 * std::max(ra, n.rimDiameter / 2);
    }
}

LabView labView()
{
    Vec2 centre{};
    double half = 1;
    fittedFrame(&centre, &half);
    LabView v{};
    captionBands(&v.topBand, &v.bottomBand);
    // A fitted figure stays clear of the caption bands at the top and bottom: its half size
    // is fittedShare of the room between them, or of half the width if that is less.
    const double room = std::max(1.0, std::min(windowWidth() / 2.0, (windowHeight() - v.topBand - v.bottomBand) / 2));
    v.centre = {centre.x + lab.pan.x, centre.y + lab.pan.y};
    v.pixelsPerMm = lab.zoom * fittedShare * room / half;
    v.lift = (v.bottomBand - v.topBand) / 2;
    return v;
}

double viewScale() { return labView().pixelsPerMm / (std::max(1, std::min(windowWidth(), windowHeight())) / 2.0); }

Point2 windowPixelOf(const LabView& view, const Vec2& at)
{
    return {windowWidth() / 2.0 + (at.x - view.centre.x) * view.pixelsPerMm,
            windowHeight() / 2.0 + view.lift + (at.y - view.centre.y) * view.pixelsPerMm};
}

Point2 windowPixelOf(const Vec2& at) { return windowPixelOf(labView(), at); }

std::string exportStem()
{
    // Every value exactly as the gear holds it, so two different gears never share a name.
    const GearParameters& g = lab.gear;
    std::string stem = std::string(g.internal ? "ring" : "gear") + "-z" + std::to_string(g.teeth) + "-m" +
                       shortestText(g.module) + "-a" + shortestText(lab.pressureDegrees) + "-x" + shortestText(g.shift) + "-";
    if (g.cutter == CutterKind::pinion) {
        const PinionCutter& c = g.pinionCutter;
        stem += "cutter-z" + std::to_string(c.teeth) + "-x" + shortestText(c.shift);
        if (c.addendum != standardPinionCutter.addendum || c.dedendum != standardPinionCutter.dedendum ||
            c.tipRadius != standardPinionCutter.tipRadius)
            stem += "-ha" + shortestText(c.addendum) + "-hf" + shortestText(c.dedendum) + "-rho" + shortestText(c.tipRadius);
    } else if (lab.rack >= 0) {
        stem += labRackNames[lab.rack];
    } else {
        stem += "ha" + shortestText(g.rack.addendum) + "-hf" + shortestText(g.rack.dedendum) + "-rho" +
                shortestText(g.rack.tipRadius);
    }
    if (g.internal && g.rimDiameter != 0) stem += "-rim" + shortestText(g.rimDiameter);
    if (g.backlash != 0) stem += "-j" + shortestText(g.backlash);
    if (g.tolerance != defaultTolerance) stem += "-tol" + shortestText(g.tolerance);
    return stem;
}
