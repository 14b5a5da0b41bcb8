// The SVG, DXF and CSV writers of the outline, and the atomic file wrapper they share.
#include "gear_export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double marginShare = 0.03;   // of the tip radius, round the picture
constexpr int mostDecimals = 15;       // a double holds no more

// The point written at d decimals, as integers of 10^-d: where two neighbours meet.
bool sameWhenWritten(const Vec2& a, const Vec2& b, double scale)
{
    return std::round(a.x * scale) == std::round(b.x * scale) && std::round(a.y * scale) == std::round(b.y * scale);
}

template <class Points, class At>
bool anyNeighboursMeet(const Points& points, At at, double scale)
{
    for (std::size_t i = 0; i < points.size(); ++i)
        if (sameWhenWritten(at(points[i]), at(points[(i + 1) % points.size()]), scale)) return true;
    return false;
}

// An arc's centre, radius and end angles (degrees, counter-clockwise from start to end, as a
// DXF ARC has them) from its ends and bulge.
struct Arc {
    Vec2 centre;
    double radius, start, end;
};

Arc arcOf(const Vec2& a, const Vec2& b, double bulge)
{
    const ArcCircle circle = arcCircle(a, b, bulge);
    const Vec2 centre = circle.centre;
    const double degrees = 180 / exactPi;
    const double fromA = std::atan2(a.y - centre.y, a.x - centre.x) * degrees;
    const double fromB = std::atan2(b.y - centre.y, b.x - centre.x) * degrees;
    // A clockwise arc from a to b is the counter-clockwise one from b to a.
    return {centre, circle.radius, bulge > 0 ? fromA : fromB,
            bulge > 0 ? fromB : fromA};
}

// ---- DXF: a code on one line, its value on the next ----

bool dxfGroup(std::FILE* out, int code, const char* value) { return std::fprintf(out, "%d\n%s\n", code, value) >= 0; }
bool dxfNumber(std::FILE* out, int code, double value, int decimals)
{
    return std::fprintf(out, "%d\n%.*f\n", code, decimals, value + 0.0) >= 0;
}
bool dxfLayer(std::FILE* out, const char* name, const char* colour)
{
    return dxfGroup(out, 0, "LAYER") && dxfGroup(out, 2, name) && dxfGroup(out, 70, "0") && dxfGroup(out, 62, colour) &&
           dxfGroup(out, 6, "CONTINUOUS");
}
bool dxfPoint(std::FILE* out, int code, const Vec2& p, int decimals)
{
    return dxfNumber(out, code, p.x, decimals) && dxfNumber(out, code + 10, p.y, decimals) &&
           dxfNumber(out, code + 20, 0, 1);
}
bool dxfLine(std::FILE* out, const Vec2& a, const Vec2& b, int decimals)
{
    return dxfGroup(out, 0, "LINE") && dxfGroup(out, 8, "GEAR") && dxfPoint(out, 10, a, decimals) &&
           dxfPoint(out, 11, b, decimals);
}
bool dxfArc(std::FILE* out, const Arc& arc, int decimals)
{
    // A reader finds an arc's ends from its centre, radius and angles: written four decimals
    // finer than the points, and the angles finer still for a large radius, the ends meet
    // their neighbours' within 10⁻⁹ of the points' unit, as a CAD program joins them.
    const int fine = decimals + 4;
    const int angle = fine + static_cast<int>(std::ceil(std::log10(std::fmax(1.0, arc.radius))));
    return dxfGroup(out, 0, "ARC") && dxfGroup(out, 8, "GEAR") && dxfPoint(out, 10, arc.centre, fine) &&
           dxfNumber(out, 40, arc.radius, fine) && dxfNumber(out, 50, arc.start, angle) &&
           dxfNumber(out, 51, arc.end, angle);
}

// How far the drawing reaches from the centre: the tip circle, or a ring's rim.
double reachOf(const GearNumbers& n) { return std::max(n.tipDiameter, n.rimDiameter) / 2; }

}  // namespace

int decimalsFor(const std::vector<std::vector<OutlinePoint>>& loops, const std::vector<std::vector<ArcVertex>>& arcLoops,
                double tolerance)
{
    // Rounding moves a point by at most half a unit of the last decimal in x and in y.
    int decimals = std::max(6, static_cast<int>(std::ceil(std::log10(5 * std::sqrt(2.0) / tolerance))));
    const auto anyMeet = [](const auto& loopsOf, auto at, double scale) {
        for (const auto& loop : loopsOf)
            if (anyNeighboursMeet(loop, at, scale)) return true;
        return false;
    };
    for (; decimals < mostDecimals; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        if (!anyMeet(loops, [](const OutlinePoint& p) { return p.at; }, scale) &&
            !anyMeet(arcLoops, [](const ArcVertex& v) { return v.at; }, scale))
            break;
    }
    return decimals;
}

std::size_t pointCount(const GearExport& gear)
{
    std::size_t n = 0;
    for (const auto& loop : gear.loops) n += loop.size();
    return n;
}

std::size_t arcCount(const GearExport& gear)
{
    std::size_t n = 0;
    for (const auto& loop : gear.arcLoops) n += loop.size();
    return n;
}

const char* outlinePartName(OutlinePart part)
{
    switch (part) {
    case OutlinePart::involute: return "involute";
    case OutlinePart::fillet: return "fillet";
    case OutlinePart::tip: return "tip";
    case OutlinePart::root: return "root";
    case OutlinePart::rim: return "rim";
    }
    return "?";
}

bool prepareGearExport(const GearParameters& gear, const ExportOptions& options, GearExport* out, std::string* reason,
                       long mostPoints)
{
    GearExport e{};
    if (!computeGearNumbers(gear, &e.numbers, reason) || !computeGearLoops(gear, &e.loops, reason, mostPoints) ||
        !computeGearArcLoops(gear, &e.arcLoops, reason))
        return false;
    e.tolerance = gear.tolerance;
    e.options = options;
    e.decimals = decimalsFor(e.loops, e.arcLoops, gear.tolerance);
    *out = std::move(e);
    return true;
}

bool writeOutlineSvg(std::FILE* out, const GearExport& gear)
{
    const GearNumbers& n = gear.numbers;
    const int d = gear.decimals;
    const double half = reachOf(n) * (1 + 2 * marginShare);
    bool ok = std::fprintf(out,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.*fmm\" height=\"%.*fmm\" "
                           "viewBox=\"%.*f %.*f %.*f %.*f\">\n",
                           d, 2 * half, d, 2 * half, d, -half, d, -half, d, 2 * half, d, 2 * half) >= 0;
    // SVG's y grows downwards: every y is negated so the gear is seen as drawn, not mirrored,
    // and a counter-clockwise arc is drawn with the sweep flag 0.
    ok = ok && std::fprintf(out, "<path id=\"gear-outline\" fill=\"none\"%s stroke=\"#000000\" stroke-width=\"%g\" d=\"",
                            gear.loops.size() > 1 ? " fill-rule=\"evenodd\"" : "", gear.options.strokeWidth) >= 0;
    for (std::size_t k = 0; k < gear.loops.size() && ok; ++k) {
        const char* move = k == 0 ? "M" : " M";
        if (gear.options.chords) {
            const std::vector<OutlinePoint>& p = gear.loops[k];
            for (std::size_t i = 0; i < p.size() && ok; ++i)
                ok = std::fprintf(out, "%s%.*f %.*f", i == 0 ? move : " L", d, p[i].at.x, d, -p[i].at.y + 0.0) >= 0;
        } else {
            const std::vector<ArcVertex>& a = gear.arcLoops[k];
            ok = ok && !a.empty() && std::fprintf(out, "%s%.*f %.*f", move, d, a[0].at.x, d, -a[0].at.y + 0.0) >= 0;
            for (std::size_t i = 0; i < a.size() && ok; ++i) {
                const Vec2 to = a[(i + 1) % a.size()].at;
                const double b = a[i].bulge;
                if (b == 0) {
                    ok = std::fprintf(out, " L%.*f %.*f", d, to.x, d, -to.y + 0.0) >= 0;
                    continue;
                }
                const double radius = arcCircle(a[i].at, to, b).radius;
                ok = std::fprintf(out, " A%.*f %.*f 0 %d %d %.*f %.*f", d, radius, d, radius, std::fabs(b) > 1 ? 1 : 0,
                                  b > 0 ? 0 : 1, d, to.x, d, -to.y + 0.0) >= 0;
            }
        }
        ok = ok && std::fputs(" Z", out) >= 0;
    }
    ok = ok && std::fputs("\"/>\n", out) >= 0;
    if (gear.options.referenceCircles) {
        ok = ok && std::fprintf(out, "<g id=\"reference\" fill=\"none\" stroke=\"#0000ff\" stroke-width=\"%g\">\n",
                                gear.options.strokeWidth) >= 0;
        const std::pair<const char*, double> circles[] = {{"pitch-circle", n.pitchDiameter}, {"base-circle", n.baseDiameter},
                                                          {"tip-circle", n.tipDiameter}, {"root-circle", n.rootDiameter}};
        for (const auto& [id, diameter] : circles)
            ok = ok && std::fprintf(out, "<circle id=\"%s\" cx=\"0\" cy=\"0\" r=\"%.*f\"/>\n", id, d, diameter / 2) >= 0;
        ok = ok && std::fputs("</g>\n", out) >= 0;
    }
    return ok && std::fputs("</svg>\n", out) >= 0;
}

bool writeOutlineDxf(std::FILE* out, const GearExport& gear)
{
    const int d = gear.decimals;
    const double ra = reachOf(gear.numbers);
    bool ok = dxfGroup(out, 0, "SECTION") && dxfGroup(out, 2, "HEADER") && dxfGroup(out, 9, "$ACADVER") &&
              dxfGroup(out, 1, "AC1009") && dxfGroup(out, 9, "$INSUNITS") && dxfGroup(out, 70, "4") &&
              dxfGroup(out, 9, "$EXTMIN") && dxfPoint(out, 10, {-ra, -ra}, d) && dxfGroup(out, 9, "$EXTMAX") &&
              dxfPoint(out, 10, {ra, ra}, d) && dxfGroup(out, 0, "ENDSEC");
    // The tables a reader of R12 looks for: the line type the layers name, and the layers.
    ok = ok && dxfGroup(out, 0, "SECTION") && dxfGroup(out, 2, "TABLES") && dxfGroup(out, 0, "TABLE") &&
         dxfGroup(out, 2, "LTYPE") && dxfGroup(out, 70, "1") && dxfGroup(out, 0, "LTYPE") &&
         dxfGroup(out, 2, "CONTINUOUS") && dxfGroup(out, 70, "0") && dxfGroup(out, 3, "Solid line") &&
         dxfGroup(out, 72, "65") && dxfGroup(out, 73, "0") && dxfGroup(out, 40, "0.0") && dxfGroup(out, 0, "ENDTAB");
    ok = ok && dxfGroup(out, 0, "TABLE") && dxfGroup(out, 2, "LAYER") && dxfGroup(out, 70, "3") &&
         dxfLayer(out, "0", "7") && dxfLayer(out, "GEAR", "7") && dxfLayer(out, "PITCH", "5") && dxfGroup(out, 0, "ENDTAB") &&
         dxfGroup(out, 0, "ENDSEC");
    ok = ok && dxfGroup(out, 0, "SECTION") && dxfGroup(out, 2, "BLOCKS") && dxfGroup(out, 0, "ENDSEC");
    ok = ok && dxfGroup(out, 0, "SECTION") && dxfGroup(out, 2, "ENTITIES");
    // Each loop end to end: each piece starts where the last ended, and the last ends where
    // the loop's first starts, so readers join them into closed contours.
    for (std::size_t k = 0; k < gear.loops.size() && ok; ++k) {
        if (gear.options.chords) {
            const std::vector<OutlinePoint>& p = gear.loops[k];
            for (std::size_t i = 0; i < p.size() && ok; ++i) ok = dxfLine(out, p[i].at, p[(i + 1) % p.size()].at, d);
        } else {
            const std::vector<ArcVertex>& a = gear.arcLoops[k];
            for (std::size_t i = 0; i < a.size() && ok; ++i) {
                const Vec2 to = a[(i + 1) % a.size()].at;
                // A line's ends as finely as the arcs' beside it, or the two would miss each other.
                ok = a[i].bulge == 0 ? dxfLine(out, a[i].at, to, d + 4) : dxfArc(out, arcOf(a[i].at, to, a[i].bulge), d);
            }
        }
    }
    ok = ok && dxfGroup(out, 0, "CIRCLE") && dxfGroup(out, 8, "PITCH") && dxfPoint(out, 10, {0, 0}, d) &&
         dxfNumber(out, 40, gear.numbers.pitchDiameter / 2, d);
    return ok && dxfGroup(out, 0, "ENDSEC") && dxfGroup(out, 0, "EOF");
}

bool writeOutlineCsv(std::FILE* out, const GearExport& gear)
{
    const int d = gear.decimals;
    // A loop column only where there is more than one loop: an external gear's file stays as it was.
    const bool loopColumn = gear.loops.size() > 1;
    bool ok = std::fputs(loopColumn ? "x_mm,y_mm,part,loop\n" : "x_mm,y_mm,part\n", out) >= 0;
    for (std::size_t k = 0; k < gear.loops.size() && ok; ++k)
        for (std::size_t i = 0; i < gear.loops[k].size() && ok; ++i) {
            const OutlinePoint& p = gear.loops[k][i];
            ok = std::fprintf(out, "%.*f,%.*f,%s", d, p.at.x + 0.0, d, p.at.y + 0.0, outlinePartName(p.part)) >= 0 &&
                 (loopColumn ? std::fprintf(out, ",%zu\n", k) : std::fputs("\n", out)) >= 0;
        }
    return ok;
}

bool saveOutline(const std::string& fileName, OutlineWriter write, const GearExport& gear, std::string* reason,
                 SaveTargets targets)
{
    return saveFileAtomically(fileName, [&](std::FILE* f) { return write(f, gear); }, reason, targets);
}
