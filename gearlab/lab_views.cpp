// The three figures, drawn in millimetres under the view transform from the kept figures.
#include "gearlab.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

Point2 asPoint(const Vec2& v) { return {v.x, v.y}; }

// Where the view is and how far a circle must reach to be seen, for drawCircleNear.
struct Visible {
    Point2 centre;          // mm
    double reach;           // mm, the window's half diagonal
    double pixelsPerMm;
};

Visible visibleArea()
{
    const double scale = viewScale();
    const double pixelsPerViewUnit = std::max(1, std::min(windowWidth(), windowHeight())) / 2.0;
    Vec2 centre{};
    double half = 0;
    fittedFrame(&centre, &half);
    const double pixelsPerMm = scale * pixelsPerViewUnit;
    return {{centre.x + lab.pan.x, centre.y + lab.pan.y}, std::hypot(windowWidth(), windowHeight()) / 2 / pixelsPerMm,
            pixelsPerMm};
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

// The limit line of the rack's straight flank, long enough to cross the figure.
void drawFlankLimit(const RackLimits& limits)
{
    const Vec2 a = limits.flankLimitStart, b = limits.flankLimitEnd;
    const double extend = 3;  // rack pitches each way beyond the two given points
    const Point2 ends[2] = {{a.x - extend * (b.x - a.x), a.y - extend * (b.y - a.y)},
                            {b.x + extend * (b.x - a.x), b.y + extend * (b.y - a.y)}};
    drawPolyline(ends, 2, false, {limitColour, 1.5f, dashedPattern});
}

}  // namespace

void drawGenerationView()
{
    const Visible v = visibleArea();
    drawWholeOutline(figures.outline, faintColour, 1);
    drawGearCircles(v, {0, 0}, figures.numbers);
    for (std::size_t i = 0; i + 1 < figures.traces.size(); ++i)
        drawPolyline(figures.traces[i].data(), figures.traces[i].size(), false, {traceColour, 1, solidPattern});
    const std::vector<Point2> rack = plainPoints(figures.currentRack);
    drawPolyline(rack.data(), rack.size(), false, {rackColour, 2, solidPattern});

    drawCutOutline();

    const double roll = generationRoll(lab.step);
    const RackLimits limits = rackLimitsAt(lab.gear, roll);
    drawFlankLimit(limits);
    const RackLimits mirrored = rackLimitsAt(lab.gear, -roll);
    drawDot(asPoint(limits.interferencePoint), 9, undercutColour);
    drawDot({-mirrored.interferencePoint.x, mirrored.interferencePoint.y}, 9, undercutColour);

    for (const RackContact& c : cuttingContacts())
        markCuttingPart(c, c.part == RackPart::flank ? flankCutColour : roundingCutColour);
}

void drawFinishedView()
{
    const Visible v = visibleArea();
    drawGearCircles(v, {0, 0}, figures.numbers);
    drawWholeOutline(figures.outline, landColour, 2);
    for (const OutlineRun& r : figures.runs) {
        if (!r.undercut) continue;
        drawPolyline(figures.outline.data() + r.first, r.count, false, {undercutColour, 5, solidPattern});
    }
}

void drawMeshView()
{
    const Visible v = visibleArea();
    if (!figures.paired) {
        drawFinishedView();
        return;
    }
    const GearPair& p = figures.pair;
    const double turn = meshTurn();
    const Point2 mateCentre = asPoint(p.mateCentre);

    drawGearCircles(v, {0, 0}, figures.numbers);
    drawGearCircles(v, mateCentre, figures.mateNumbers);
    glPushMatrix();
    glRotated(turn * 180 / exactPi, 0, 0, 1);
    drawWholeOutline(figures.outline, landColour, 2);
    glPopMatrix();
    glPushMatrix();
    glTranslated(mateCentre.x, mateCentre.y, 0);
    const double mateTurn = p.mateTurn - turn * lab.gear.teeth / lab.mateTeeth;
    glRotated(mateTurn * 180 / exactPi, 0, 0, 1);
    drawWholeOutline(figures.mateOutline, mateColour, 2);
    glPopMatrix();

    // The line of action between the base circles, and on it the path of contact between
    // the tip circles; a tip that runs past N cuts into the other gear's root: red.
    const Point2 n1 = asPoint(p.interferenceGearPoint), n2 = asPoint(p.interferenceMatePoint);
    const Point2 action[2] = {n1, n2};
    drawPolyline(action, 2, false, {circleColour, 1, solidPattern});
    const Point2 path[2] = {asPoint(p.contactStart), asPoint(p.contactEnd)};
    drawPolyline(path, 2, false, {contactColour, 4, solidPattern});
    if (p.interferenceGear) {
        const Point2 past[2] = {n1, asPoint(p.contactStart)};
        drawPolyline(past, 2, false, {undercutColour, 5, solidPattern});
    }
    if (p.interferenceMate) {
        const Point2 past[2] = {n2, asPoint(p.contactEnd)};
        drawPolyline(past, 2, false, {undercutColour, 5, solidPattern});
    }
    drawDot(n1, 9, p.interferenceGear ? undercutColour : landColour);
    drawDot(n2, 9, p.interferenceMate ? undercutColour : landColour);

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
