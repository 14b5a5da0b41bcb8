// The rack of cutdemo1: ten explicit teeth at roll tan φ, each tracing its corner points.
#include "cutdemo1.h"

#include <cmath>

namespace {

Point2 plus(const Point2& a, double s, const Point2& d) { return {a.x + s * d.x, a.y + s * d.y}; }

// Direction of the rack's pitch line at roll t: the rack is turned by -t.
Point2 pitchLineDirection(double t) { return {std::cos(t), -std::sin(t)}; }

}  // namespace

void drawRackTooth(int I, double phi, const Rgba& colour)
{
    const double t = std::tan(phi);
    const double alpha = rackGear.pressureAngle;
    const Point2 e = pitchLineDirection(t);
    const Point2 d{std::sin(alpha + t), std::cos(alpha + t)};         // flank through P, outwards
    const Point2 dOther{-std::sin(alpha - t), std::cos(alpha - t)};   // the tooth's other flank
    const Point2 p = plus(rackReferencePoint(rackGear, t), I * gearPi, e);

    const Point2 R1 = plus(p, phiRack.rackAddendumDepth, d);      // flank end on the rack's root line
    const Point2 R2 = plus(R1, phiRack.rootLandWidth, e);         // along the root to the next tooth
    const Point2 r1 = plus(p, -rackGear.rackFlankDepth, d);       // flank end on the rack's tip line
    const Point2 r2 = plus(r1, -phiRack.tipLandWidth, e);         // across the tooth's tip
    const Point2 r3 = plus(r2, phiRack.rackAddendumDepth + rackGear.rackFlankDepth, dOther);

    const double k = rackView.zoom;
    drawSegmentZoomed(k, R1, r1, colour);
    drawSegmentZoomed(k, R1, R2, colour);
    drawSegmentZoomed(k, r1, r2, colour);
    drawSegmentZoomed(k, r2, r3, colour);

    traceCorner(I, "R2", R2);
    traceCorner(I, "R1", R1);
    traceCorner(I, "r1", r1);
    traceCorner(I, "r2", r2);
    traceCorner(I, "r3", r3);
}

void drawRackTeeth(int withPitchLine, double phi, const Rgba& colour)
{
    for (int I = -5; I <= 4; ++I) drawRackTooth(I, phi, colour);
    if (withPitchLine == 1) {
        const double t = std::tan(phi);
        const Point2 p = rackReferencePoint(rackGear, t);
        const Point2 e = pitchLineDirection(t);
        drawSegmentZoomed(rackView.zoom, plus(p, 20, e), plus(p, -20, e), blue);
    }
}
