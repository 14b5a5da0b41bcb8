// The closed outline: one half tooth generated once (root arc, fillet, involute, tip land),
// mirrored into a whole tooth and turned into place z times.
#include "tooth_geometry.h"

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

struct HalfTooth {
    std::vector<Vec2> points;  // the clockwise half, from the middle of the space to the tooth centre line
    std::vector<OutlinePart> parts;
};

void appendPart(HalfTooth* half, const std::vector<Vec2>& points, OutlinePart part)
{
    half->points.insert(half->points.end(), points.begin(), points.end());
    half->parts.insert(half->parts.end(), points.size(), part);
}

Vec2 onCircle(double radius, double halfAngle) { return {radius * std::sin(halfAngle), radius * std::cos(halfAngle)}; }

HalfTooth halfTooth(const ToothGeometry& g, double tolerance)
{
    HalfTooth half;
    std::vector<Vec2> points;
    const double spaceMiddle = pi / g.teeth;
    const Vec2 filletFoot = filletPoint(g, 0);
    const double footAngle = std::atan2(filletFoot.x, filletFoot.y);

    // The root arc ends where the rounding's lowest point left it; a rack with touching
    // roundings leaves none.
    half.points.push_back(onCircle(g.rootRadius, spaceMiddle));
    half.parts.push_back(OutlinePart::root);
    if (spaceMiddle - footAngle > 1e-12) {
        sampleCurve([&](double d) { return onCircle(g.rootRadius, d); }, spaceMiddle, footAngle, tolerance,
                    &points);
        appendPart(&half, points, OutlinePart::root);
    }

    points.clear();
    sampleCurve([&](double b) { return filletPoint(g, b); }, 0, g.filletJoin, tolerance, &points);
    points.pop_back();  // the join itself is computed on the involute, exactly
    appendPart(&half, points, OutlinePart::fillet);

    points.clear();
    points.push_back(involutePoint(g, g.involuteStart));
    sampleCurve([&](double t) { return involutePoint(g, t); }, g.involuteStart, g.involuteEnd, tolerance, &points);
    appendPart(&half, points, OutlinePart::involute);

    points.clear();
    const double tipAngle = involuteHalfAngle(g, g.tipRadius);
    sampleCurve([&](double d) { return onCircle(g.tipRadius, d); }, tipAngle, 0, tolerance, &points);
    appendPart(&half, points, OutlinePart::tip);
    return half;
}

// Inside the involute, or under the base circle inside the radial line where it starts.
bool cutIntoTooth(const ToothGeometry& g, const Vec2& p)
{
    const double radius = std::hypot(p.x, p.y);
    const double limit = involuteHalfAngle(g, std::fmax(radius, g.baseRadius));
    return std::atan2(p.x, p.y) < limit;
}

}  // namespace

bool computeGearOutline(const GearParameters& gear, std::vector<OutlinePoint>* outline, std::string* reason)
{
    GearNumbers numbers{};
    if (!computeGearNumbers(gear, &numbers, reason)) return false;
    const ToothGeometry g = toothGeometry(gear);
    const HalfTooth half = halfTooth(g, gear.tolerance);
    const std::size_t n = half.points.size();

    // One tooth: the clockwise half as generated, then its mirror back out to the next space,
    // leaving out the tooth centre and the space middle that the next tooth starts with.
    std::vector<OutlinePoint> tooth;
    tooth.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const bool undercut = g.undercut && half.parts[i] == OutlinePart::fillet && cutIntoTooth(g, half.points[i]);
        tooth.push_back({half.points[i], half.parts[i], undercut});
    }
    for (std::size_t i = n - 1; i-- > 1;) {
        OutlinePoint p = tooth[i];
        p.at.x = -p.at.x;
        tooth.push_back(p);
    }

    outline->clear();
    outline->reserve(tooth.size() * gear.teeth);
    for (int k = 0; k < gear.teeth; ++k) {
        const double c = std::cos(2 * pi * k / gear.teeth);
        const double s = std::sin(2 * pi * k / gear.teeth);
        for (const OutlinePoint& p : tooth)
            outline->push_back({{p.at.x * c - p.at.y * s, p.at.x * s + p.at.y * c}, p.part, p.undercut});
    }
    return true;
}
