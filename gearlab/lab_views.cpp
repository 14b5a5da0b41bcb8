// The three figures, drawn in millimetres under the view transform from the kept figures, and
// the labels that name their points, lines and circles.
#include "gearlab.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr unsigned short dottedPattern = 0x3333;  // the form circle: neither chain nor dashes
constexpr double labelOffset = 6;                 // pixels from a point to its label

Point2 asPoint(const Vec2& v) { return {v.x, v.y}; }

Vec2 plus(const Vec2& a, const Vec2& b, double k = 1) { return {a.x + k * b.x, a.y + k * b.y}; }

Vec2 unit(const Vec2& from, const Vec2& to)
{
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    return length > 0 ? Vec2{(to.x - from.x) / length, (to.y - from.y) / length} : Vec2{1, 0};
}

// Where the view is and how far a circle must reach to be seen, for drawCircleNear.
struct Visible {
    Point2 centre;          // mm, the window's centre
    double reach;           // mm, the window's half diagonal
    double pixelsPerMm;
};

Visible visibleArea(const LabView& view)
{
    return {{view.centre.x, view.centre.y - view.lift / view.pixelsPerMm},
            std::hypot(windowWidth(), windowHeight()) / 2 / view.pixelsPerMm, view.pixelsPerMm};
}

void drawReferenceCircle(const Visible& v, const Point2& centre, double diameter, unsigned short pattern, float width)
{
    drawCircleNear(centre, diameter / 2, v.centre, v.reach, v.pixelsPerMm, {circleColour, width, pattern});
}

// The pitch (chain), base (dashed), tip and root circles of a gear about centre.
void drawGearCircles(const Visible& v, const Point2& centre, const GearNumbers& n)
{
    drawReferenceCircle(v, centre, n.pitchDiameter, chainPattern, 1);
    drawReferenceCircle(v, centre, n.baseDiameter, dashedPattern, 1);
    drawReferenceCircle(v, centre, n.tipDiameter, solidPattern, 1);
    drawReferenceCircle(v, centre, n.rootDiameter, solidPattern, 1);
}

// A line through a and b that crosses the whole window.
void drawLongLine(const Visible& v, const Vec2& a, const Vec2& b, const Stroke& stroke)
{
    const Vec2 d = unit(a, b);
    const Point2 ends[2] = {asPoint(plus(a, d, -2 * v.reach - std::hypot(a.x - v.centre.x, a.y - v.centre.y))),
                            asPoint(plus(a, d, 2 * v.reach + std::hypot(a.x - v.centre.x, a.y - v.centre.y)))};
    drawPolyline(ends, 2, false, stroke);
}

Rgba partColour(OutlinePart part, bool undercut)
{
    if (undercut) return undercutColour;
    switch (part) {
    case OutlinePart::involute: return involuteColour;
    case OutlinePart::fillet: return filletColour;
    default: return landColour;
    }
}

void drawWholeOutline(const std::vector<Point2>& outline, const Rgba& colour, float width)
{
    drawPolyline(outline.data(), outline.size(), true, {colour, width, solidPattern});
}

// The outline of the space cut so far, coloured by part.
void drawCutOutline()
{
    const std::size_t n = figures.outline.size();
    std::vector<Point2> piece;
    const auto drawPiece = [&](const OutlineRun& r) {
        drawPolyline(piece.data(), piece.size(), false, {partColour(r.part, r.undercut), 3, solidPattern});
        piece.clear();
    };
    for (const OutlineRun& r : figures.runs) {
        for (std::size_t k = 0; k < r.count; ++k) {
            const std::size_t i = (r.first + k) % n;
            if (cutByNow(i))
                piece.push_back(figures.outline[i]);
            else if (!piece.empty())
                drawPiece(r);
        }
        drawPiece(r);
    }
}

// The current rack's run of the given part nearest to at, drawn bold in colour.
void markCuttingPart(const RackContact& contact, const Rgba& colour)
{
    const std::vector<RackPoint>& rack = figures.currentRack;
    std::size_t nearest = 0;
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < rack.size(); ++i) {
        if (rack[i].part != contact.part) continue;
        const double d = std::hypot(rack[i].at.x - contact.at.x, rack[i].at.y - contact.at.y) +
                         std::hypot(rack[i - 1].at.x - contact.at.x, rack[i - 1].at.y - contact.at.y);
        if (d < best) best = d, nearest = i;
    }
    if (nearest == 0) return;
    std::size_t first = nearest, last = nearest;
    while (first > 1 && rack[first - 1].part == contact.part) --first;
    while (last + 1 < rack.size() && rack[last + 1].part == contact.part) ++last;
    std::vector<Point2> run;
    for (std::size_t i = first - 1; i <= last; ++i) run.push_back(asPoint(rack[i].at));
    drawPolyline(run.data(), run.size(), false, {colour, 5, solidPattern});
    drawDot(asPoint(contact.at), 9, colour);
}

// The construction of view 1 at the current roll, in the gear frame.
struct Construction {
    Vec2 pitchPoint;        // C: where the rolling line touches the pitch circle
    Vec2 along;             // the rack's direction along its lines
    Vec2 outward;           // from the gear centre through C
    Vec2 reference;         // C moved out by x·m: on the rack's reference line
    Vec2 interference[2];   // N of the clockwise and of the counter-clockwise flanks
    RackLimits limits;      // the end of the straight flank (for the clockwise flanks)
};

Construction constructionNow()
{
    const double roll = generationRoll(lab.step);
    const double r = figures.numbers.pitchDiameter / 2;
    Construction c{};
    c.outward = {std::sin(roll), std::cos(roll)};
    c.along = {std::cos(roll), -std::sin(roll)};
    c.pitchPoint = plus({0, 0}, c.outward, r);
    c.reference = plus(c.pitchPoint, c.outward, lab.gear.shift * lab.gear.module);
    c.limits = rackLimitsAt(lab.gear, roll);
    const RackLimits mirrored = rackLimitsAt(lab.gear, -roll);
    c.interference[0] = c.limits.interferencePoint;
    c.interference[1] = {-mirrored.interferencePoint.x, mirrored.interferencePoint.y};
    return c;
}

void drawConstruction(const Visible& v, const Construction& c)
{
    const Stroke thin{constructionColour, 1, solidPattern};
    drawLongLine(v, c.pitchPoint, plus(c.pitchPoint, c.along), {constructionColour, 1, dashedPattern});
    drawLongLine(v, c.reference, plus(c.reference, c.along), {constructionColour, 1.5f, solidPattern});
    // The offset x·m between the two, as a short dimension line across them.
    const Vec2 side = plus(c.pitchPoint, c.along, -1.5 * lab.gear.module);
    const Point2 offset[2] = {asPoint(side), asPoint(plus(side, c.outward, lab.gear.shift * lab.gear.module))};
    drawPolyline(offset, 2, false, {constructionColour, 2, solidPattern});
    for (const Vec2& n : c.interference) drawLongLine(v, n, c.pitchPoint, thin);  // the lines of action
    const Vec2 a = c.limits.flankLimitStart, b = c.limits.flankLimitEnd;
    drawLongLine(v, a, b, {limitColour, 1.5f, dashedPattern});
    drawDot(asPoint(c.pitchPoint), 9, constructionColour);
    for (const Vec2& n : c.interference) drawDot(asPoint(n), 9, undercutColour);
}

// The construction of view 1 for the pinion cutter at the current roll, in the gear frame.
struct CutterConstruction {
    CutterPlace place;            // the cutter, its pitch point, and N and N0 of the clockwise flanks
    Vec2 interference[2];         // N of the clockwise and of the counter-clockwise flanks
    Vec2 cutterInterference[2];   // N0 of each
    double gearRolling;           // the gear's rolling circle, which touches the cutter's at the pitch point
    bool rollingApart;            // the rolling circles are not the pitch circles (x + x0 ≠ 0, or x − x0 for a ring)
};

CutterConstruction cutterConstructionNow()
{
    const double roll = generationRoll(lab.step);
    CutterConstruction c{};
    c.place = pinionCutterAt(lab.gear, roll);
    const CutterPlace mirrored = pinionCutterAt(lab.gear, -roll);  // the other flanks, seen in a mirror
    c.interference[0] = c.place.interferencePoint;
    c.interference[1] = {-mirrored.interferencePoint.x, mirrored.interferencePoint.y};
    c.cutterInterference[0] = c.place.cutterInterferencePoint;
    c.cutterInterference[1] = {-mirrored.cutterInterferencePoint.x, mirrored.cutterInterferencePoint.y};
    c.gearRolling = std::hypot(c.place.pitchPoint.x, c.place.pitchPoint.y);
    c.rollingApart = std::fabs(c.place.rollingRadius - c.place.pitchRadius) > 1e-9 * c.place.pitchRadius;
    return c;
}

// The cutter's circles about its centre, radii in the order of the texts' cutterCircleNames.
void cutterRadii(const CutterPlace& place, double radii[5])
{
    radii[0] = place.pitchRadius;
    radii[1] = place.baseRadius;
    radii[2] = place.tipRadius;
    radii[3] = place.rootRadius;
    radii[4] = place.formRadius;
}

void drawCutterConstruction(const Visible& v, const CutterConstruction& c)
{
    const Point2 centre = asPoint(c.place.centre);
    const Stroke thin{constructionColour, 1, solidPattern};
    double radii[5];
    cutterRadii(c.place, radii);
    const unsigned short patterns[5] = {chainPattern, dashedPattern, solidPattern, solidPattern, dottedPattern};
    for (int i = 0; i < 5; ++i)
        drawCircleNear(centre, radii[i], v.centre, v.reach, v.pixelsPerMm, {constructionColour, 1, patterns[i]});
    if (c.rollingApart) {  // the circles that roll on each other, where they are not the pitch circles
        drawCircleNear({0, 0}, c.gearRolling, v.centre, v.reach, v.pixelsPerMm, {constructionColour, 1.5f, dashedPattern});
        drawCircleNear(centre, c.place.rollingRadius, v.centre, v.reach, v.pixelsPerMm,
                       {constructionColour, 1.5f, dashedPattern});
    }
    drawLongLine(v, {0, 0}, c.place.centre, {circleColour, 1, dashedPattern});  // the line of centres
    for (int side = 0; side < 2; ++side) drawLongLine(v, c.interference[side], c.cutterInterference[side], thin);
    drawDot(asPoint(c.place.pitchPoint), 9, constructionColour);
    for (const Vec2& n : c.interference) drawDot(asPoint(n), 9, undercutColour);
    for (const Vec2& n : c.cutterInterference) drawDot(asPoint(n), 9, limitColour);
}

bool onScreen(const Point2& p)
{
    return p.x >= 0 && p.y >= 0 && p.x < windowWidth() && p.y < windowHeight();
}

void addLabel(const LabView& view, std::vector<FigureLabel>* labels, const Vec2& at, const std::string& text,
              const Rgba& colour)
{
    const Point2 p = windowPixelOf(view, at);
    if (!onScreen(p)) return;
    // A name near the right edge is moved left to fit, never cut off.
    const double x = std::min(p.x + labelOffset, windowWidth() - labelOffset - labTextWidth(text));
    labels->push_back({{std::max(0.0, x), p.y + labelOffset}, text, colour});
}

// Each circle named on itself: at the first point, up its arc from the right (and on round
// below, with wholeTurn: a cutter's circles show their lower side), where the name lies between
// the caption bands and on no other label.
void addCircleLabels(const LabView& view, std::vector<FigureLabel>* labels, const Vec2& centre, const double radii[],
                     const char* const names[], int count, const Rgba& colour = circleColour, bool wholeTurn = false)
{
    std::vector<double> widths;
    for (const FigureLabel& l : *labels) widths.push_back(labTextWidth(l.text));
    const auto clear = [&](const Point2& at, double width) {
        if (at.x < 0 || at.x + width > windowWidth() || at.y < view.bottomBand + 4 || at.y + 16 > windowHeight() - view.topBand)
            return false;
        for (std::size_t k = 0; k < labels->size(); ++k) {
            const Point2 other = (*labels)[k].at;
            if (std::fabs(other.y - at.y) < 16 && at.x < other.x + widths[k] + 4 && other.x < at.x + width + 4) return false;
        }
        return true;
    };
    for (int i = 0; i < count; ++i) {
        const double width = labTextWidth(names[i]);
        // Each name starts a little further round than the last, so close circles' names stagger.
        for (int k = 48 * i; k <= (wholeTurn ? 48 * i + 1440 : 720); ++k) {
            const double angle = exactPi * k / 720;  // from the +x axis, up and round to −x
            const Point2 p = windowPixelOf(view, {centre.x + radii[i] * std::cos(angle), centre.y + radii[i] * std::sin(angle)});
            const Point2 at{p.x + 3, p.y + 3};
            if (!clear(at, width)) continue;
            labels->push_back({at, names[i], colour});
            widths.push_back(width);
            break;
        }
    }
}

}  // namespace

void drawGenerationView(const LabView& view)
{
    const Visible v = visibleArea(view);
    drawWholeOutline(figures.outline, faintColour, 1);
    drawGearCircles(v, {0, 0}, figures.numbers);
    drawReferenceCircle(v, {0, 0}, figures.numbers.formDiameter, dottedPattern, 1);
    for (std::size_t i = 0; i + 1 < figures.traces.size(); ++i)
        drawPolyline(figures.traces[i].data(), figures.traces[i].size(), false, {traceColour, 1, solidPattern});
    const std::vector<Point2> rack = plainPoints(figures.currentRack);
    drawPolyline(rack.data(), rack.size(), false, {rackColour, 2, solidPattern});

    drawCutOutline();
    if (lab.gear.cutter == CutterKind::pinion)
        drawCutterConstruction(v, cutterConstructionNow());
    else
        drawConstruction(v, constructionNow());
    for (const RackContact& c : cuttingContacts())
        markCuttingPart(c, c.part == RackPart::flank ? flankCutColour : roundingCutColour);
}

// A ring gear's rim, the circle that closes its face outside.
void drawRim(const Visible& v)
{
    if (lab.gear.internal)
        drawCircleNear({0, 0}, figures.numbers.rimDiameter / 2, v.centre, v.reach, v.pixelsPerMm, {landColour, 2, solidPattern});
}

void drawFinishedView(const LabView& view)
{
    const Visible v = visibleArea(view);
    drawGearCircles(v, {0, 0}, figures.numbers);
    drawReferenceCircle(v, {0, 0}, figures.numbers.formDiameter, dottedPattern, 1);
    // Cut by the pinion cutter, the gear the rack of the same profile cuts, under it: it shows
    // where the two fillets part.
    if (!figures.rackCutOutline.empty()) drawWholeOutline(figures.rackCutOutline, flankCutColour, 1);
    drawWholeOutline(figures.outline, landColour, 2);
    drawRim(v);
    for (const OutlineRun& r : figures.runs) {
        if (!r.undercut) continue;
        drawPolyline(figures.outline.data() + r.first, r.count, false, {undercutColour, 5, solidPattern});
    }
}

void drawMeshView(const LabView& view)
{
    const Visible v = visibleArea(view);
    if (!figures.paired) {
        drawFinishedView(view);
        return;
    }
    const MeshLayout p = meshLayout();
    const double turn = meshTurn();
    const Point2 mateCentre = asPoint(p.mateCentre);

    drawGearCircles(v, {0, 0}, figures.numbers);
    drawGearCircles(v, mateCentre, figures.mateNumbers);
    glPushMatrix();
    glRotated(turn * 180 / exactPi, 0, 0, 1);
    drawWholeOutline(figures.outline, landColour, 2);
    glPopMatrix();
    drawRim(v);
    glPushMatrix();
    glTranslated(mateCentre.x, mateCentre.y, 0);
    const double mateTurn = p.mateTurn + turn * p.mateTurnRate;
    glRotated(mateTurn * 180 / exactPi, 0, 0, 1);
    drawWholeOutline(figures.mateOutline, mateColour, 2);
    glPopMatrix();

    // The line of action between the base circles (inside a ring, on past N1 to the path's
    // end); on it the path of contact between the tip circles, thick where both flanks are
    // involute, red where a tip runs past N or below the other gear's form circle, into its
    // fillet or undercut.
    const Point2 action[2] = {asPoint(p.lineStart), asPoint(p.lineEnd)};
    drawPolyline(action, 2, false, {circleColour, 1, solidPattern});
    const Point2 path[2] = {asPoint(p.contactStart), asPoint(p.contactEnd)};
    drawPolyline(path, 2, false, {contactColour, 4, solidPattern});
    if (p.effectiveContactRatio > 0) {
        const Point2 effective[2] = {asPoint(p.effectiveStart), asPoint(p.effectiveEnd)};
        drawPolyline(effective, 2, false, {contactColour, 7, solidPattern});
    }
    if (p.startCut) {
        const Point2 past[2] = {asPoint(p.contactStart), asPoint(p.effectiveStart)};
        drawPolyline(past, 2, false, {undercutColour, 5, solidPattern});
    }
    if (p.endCut) {
        const Point2 past[2] = {asPoint(p.effectiveEnd), asPoint(p.contactEnd)};
        drawPolyline(past, 2, false, {undercutColour, 5, solidPattern});
    }
    // Inside a ring whose pinion's tips catch the ring's: the pinion's tip circle where it runs
    // among the ring's teeth, outside the ring's tip circle.
    if (lab.gear.internal && !figures.ringPair.tip.passed) {
        const double ra1 = figures.mateNumbers.tipDiameter / 2, ra2 = figures.numbers.tipDiameter / 2;
        std::vector<Point2> arc;
        const auto drawArc = [&] {
            if (arc.size() > 1) drawPolyline(arc.data(), arc.size(), false, {undercutColour, 3, solidPattern});
            arc.clear();
        };
        for (int k = 0; k <= 720; ++k) {
            const double a = 2 * exactPi * k / 720;
            const Point2 q{mateCentre.x + ra1 * std::sin(a), mateCentre.y + ra1 * std::cos(a)};
            if (std::hypot(q.x, q.y) > ra2)
                arc.push_back(q);
            else
                drawArc();
        }
        drawArc();
    }
    drawDot(asPoint(p.n1), 9, p.n1Passed ? undercutColour : landColour);
    drawDot(asPoint(p.n2), 9, p.n2Passed ? undercutColour : landColour);
    drawDot(asPoint(p.pitchPoint), 9, constructionColour);

    const std::vector<Vec2> contacts = meshContacts();
    for (const Vec2& c : contacts) drawDot(asPoint(c), 11, flankCutColour);
    // The base pitch: two neighbouring contacts are one pb apart; a bracket beside them shows it.
    if (contacts.size() >= 2) {
        const Vec2 a = contacts[0], b = contacts[1];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        const double offset = 0.3 * lab.gear.module;
        const Vec2 normal{-(b.y - a.y) / length * offset, (b.x - a.x) / length * offset};
        const Point2 bracket[4] = {{a.x, a.y}, {a.x + normal.x, a.y + normal.y}, {b.x + normal.x, b.y + normal.y}, {b.x, b.y}};
        drawPolyline(bracket, 4, false, {limitColour, 2, solidPattern});
    }
}

std::vector<FigureLabel> figureLabels(const LabView& view)
{
    const LabTexts& t = labTexts();
    std::vector<FigureLabel> labels;
    const GearNumbers& n = figures.numbers;
    if (lab.view == 1 && lab.gear.cutter == CutterKind::pinion) {
        const CutterConstruction c = cutterConstructionNow();
        addLabel(view, &labels, c.place.pitchPoint, "C", constructionColour);
        for (const Vec2& point : c.interference) addLabel(view, &labels, point, "N", undercutColour);
        for (const Vec2& point : c.cutterInterference) addLabel(view, &labels, point, "N0", limitColour);
        addLabel(view, &labels, plus(c.place.pitchPoint, unit(c.interference[0], c.place.pitchPoint), 2 * lab.gear.module),
                 t.lineOfAction, constructionColour);
        double radii[5];
        cutterRadii(c.place, radii);
        addCircleLabels(view, &labels, c.place.centre, radii, t.cutterCircleNames, 5, constructionColour, true);
        if (c.rollingApart) {
            addCircleLabels(view, &labels, {0, 0}, &c.gearRolling, &t.rollingCircles[0], 1, constructionColour);
            addCircleLabels(view, &labels, c.place.centre, &c.place.rollingRadius, &t.rollingCircles[1], 1,
                            constructionColour, true);
        }
    } else if (lab.view == 1) {
        const Construction c = constructionNow();
        addLabel(view, &labels, c.pitchPoint, "C", constructionColour);
        for (const Vec2& point : c.interference) addLabel(view, &labels, point, "N", undercutColour);
        const double m = lab.gear.module;
        if (std::fabs(lab.gear.shift) > 1e-12) {
            addLabel(view, &labels, plus(c.reference, c.along, 3 * m), t.referenceLine, constructionColour);
            addLabel(view, &labels, plus(c.pitchPoint, c.along, 3 * m), t.rollingLine, constructionColour);
            char offset[32];
            std::snprintf(offset, sizeof offset, "%.4g", lab.gear.shift * m);
            addLabel(view, &labels, plus(plus(c.pitchPoint, c.along, -1.5 * m), c.outward, lab.gear.shift * m / 2),
                     sayText(t.shiftOffset, offset), constructionColour);
        } else {
            addLabel(view, &labels, plus(c.pitchPoint, c.along, 3 * m), t.noOffset, constructionColour);
        }
        addLabel(view, &labels, plus(c.pitchPoint, unit(c.interference[0], c.pitchPoint), 2 * m), t.lineOfAction,
                 constructionColour);
        addLabel(view, &labels, plus(c.limits.flankLimitEnd, unit(c.limits.flankLimitStart, c.limits.flankLimitEnd), m),
                 t.flankLimit, limitColour);
    }
    if (lab.view != 3 || !figures.paired) {
        const double radii[5] = {n.pitchDiameter / 2, n.baseDiameter / 2, n.tipDiameter / 2, n.rootDiameter / 2,
                                 figures.numbers.formDiameter / 2};
        addCircleLabels(view, &labels, {0, 0}, radii, t.circleNames, 5);
        return labels;
    }
    const MeshLayout p = meshLayout();
    addLabel(view, &labels, p.n1, "N1", p.n1Passed ? undercutColour : landColour);
    addLabel(view, &labels, p.n2, "N2", p.n2Passed ? undercutColour : landColour);
    addLabel(view, &labels, p.pitchPoint, "C", constructionColour);
    addLabel(view, &labels, p.contactStart, "A", contactColour);
    addLabel(view, &labels, p.contactEnd, "E", contactColour);
    const std::vector<Vec2> contacts = meshContacts();
    if (contacts.size() >= 2) {  // beside the bracket, on its far side from the line
        const Vec2 a = contacts[0], b = contacts[1], d = unit(a, b);
        const Vec2 middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
        addLabel(view, &labels, plus(middle, {-d.y, d.x}, 0.6 * lab.gear.module), "p_b", limitColour);
    }
    return labels;
}
