// The closed outline: one half tooth generated once (root arc, fillet, involute, tip land),
// mirrored into a whole tooth and turned into place z times.
#include "tooth_geometry.h"

#include <cmath>
#include <functional>
#include <string>

namespace {

struct HalfTooth {
    std::vector<Vec2> points;  // the clockwise half, from the middle of the space to the tooth centre line
    std::vector<OutlinePart> parts;
    std::vector<double> rolls;  // when the rack cuts each point
};

// Samples curve(t) over (t0, t1] into half as part; roll(t) says when the rack cuts it.
void appendPart(HalfTooth* half, const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance,
                OutlinePart part, const std::function<double(double)>& roll)
{
    std::vector<Vec2> points;
    std::vector<double> parameters;
    sampleCurve(curve, t0, t1, tolerance, &points, &parameters);
    half->points.insert(half->points.end(), points.begin(), points.end());
    half->parts.insert(half->parts.end(), points.size(), part);
    for (double t : parameters) half->rolls.push_back(roll(t));
}

Vec2 onCircle(double radius, double halfAngle) { return {radius * std::sin(halfAngle), radius * std::cos(halfAngle)}; }

HalfTooth halfTooth(const ToothGeometry& g, double tolerance)
{
    HalfTooth half;
    const double spaceMiddle = exactPi / g.teeth;
    double footRoll = 0;
    const Vec2 filletFoot = filletPoint(g, 0, &footRoll);
    const double footAngle = std::atan2(filletFoot.x, filletFoot.y);
    // A point of the root or tip circle is cut when it passes under the pitch point, where
    // the rack's tip line (or its root line) touches the circle: the roll is its angle.
    const auto asAngle = [](double d) { return d; };

    // The root arc ends where the rounding's lowest point left it; a rack with touching
    // roundings leaves none.
    half.points.push_back(onCircle(g.rootRadius, spaceMiddle));
    half.parts.push_back(OutlinePart::root);
    half.rolls.push_back(spaceMiddle);
    if (spaceMiddle - footAngle > 1e-12)
        appendPart(&half, [&](double d) { return onCircle(g.rootRadius, d); }, spaceMiddle, footAngle, tolerance,
                   OutlinePart::root, asAngle);

    appendPart(&half, [&](double b) { return filletPoint(g, b); }, 0, g.filletJoin, tolerance, OutlinePart::fillet,
               [&](double b) {
                   double roll = 0;
                   filletPoint(g, b, &roll);
                   return roll;
               });
    // The join itself is computed on the involute, exactly.
    half.points.pop_back();
    half.parts.pop_back();
    half.rolls.pop_back();

    // The involute point of roll t touches the rack where the line of action meets it, rb·t
    // beyond N: the gear has then rolled by ψ + tan α − t.
    const auto involuteRoll = [&](double t) { return g.halfToothAngle + std::tan(g.alpha) - t; };
    half.points.push_back(involutePoint(g, g.involuteStart));
    half.parts.push_back(OutlinePart::involute);
    half.rolls.push_back(involuteRoll(g.involuteStart));
    appendPart(&half, [&](double t) { return involutePoint(g, t); }, g.involuteStart, g.involuteEnd, tolerance,
               OutlinePart::involute, involuteRoll);

    const double tipAngle = involuteHalfAngle(g, g.tipRadius);
    appendPart(&half, [&](double d) { return onCircle(g.tipRadius, d); }, tipAngle, 0, tolerance, OutlinePart::tip,
               asAngle);
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
    const double total = (2.0 * n - 2) * gear.teeth;
    if (total > mostOutlinePoints) {
        if (reason)
            *reason = "the outline would need " + std::to_string(static_cast<long>(total)) + " points, more than " +
                      std::to_string(mostOutlinePoints) + ": use a larger tolerance";
        return false;
    }

    // One tooth: the clockwise half as generated, then its mirror back out to the next space,
    // leaving out the tooth centre and the space middle that the next tooth starts with.
    std::vector<OutlinePoint> tooth;
    tooth.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const bool undercut = g.undercut && half.parts[i] == OutlinePart::fillet && cutIntoTooth(g, half.points[i]);
        tooth.push_back({half.points[i], half.parts[i], undercut, half.rolls[i]});
    }
    for (std::size_t i = n - 1; i-- > 1;) {
        OutlinePoint p = tooth[i];
        p.at.x = -p.at.x;
        p.roll = -p.roll;
        tooth.push_back(p);
    }

    outline->clear();
    outline->reserve(tooth.size() * gear.teeth);
    for (int k = 0; k < gear.teeth; ++k) {
        const double c = std::cos(2 * exactPi * k / gear.teeth);
        const double s = std::sin(2 * exactPi * k / gear.teeth);
        // Turning the gear on by one tooth is rolling the rack back by one tooth.
        const double rollBack = 2 * exactPi * k / gear.teeth;
        for (const OutlinePoint& p : tooth)
            outline->push_back({{p.at.x * c - p.at.y * s, p.at.x * s + p.at.y * c}, p.part, p.undercut, p.roll - rollBack});
    }
    return true;
}
