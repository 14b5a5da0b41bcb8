// Reading a recorded frame of the rack programs: discs, segments and curves by colour.
#pragma once

#include "gearplot.h"
#include "gl_standin.h"
#include "rack_program.h"

#include <cmath>
#include <utility>
#include <vector>

namespace probe {

struct Disc {
    double x, y, r;  // centre and radius as shown
    int vertices;
};

inline bool isColour(const glstub::Colour& c, const Rgba& want)
{
    return c[0] == want.red && c[1] == want.green && c[2] == want.blue && c[3] == want.alpha;
}

// Whether the primitive was drawn in the colour: into a layer every colour goes in opaque.
inline bool drawnIn(const glstub::Primitive& p, const Rgba& want)
{
    return isColour(p.colour, p.framebuffer ? Rgba{want.red, want.green, want.blue, 1} : want);
}

// Every filled polygon of the colour, read as a disc.
inline std::vector<Disc> discs(const Rgba& colour)
{
    std::vector<Disc> found;
    for (const auto* p : glstub::primitivesOf(GL_POLYGON)) {
        if (!isColour(p->colour, colour) || p->vertices.empty()) continue;
        double x = 0, y = 0;
        for (const auto& v : p->vertices) {
            x += v.viewX;
            y += v.viewY;
        }
        x /= p->vertices.size();
        y /= p->vertices.size();
        const auto& v0 = p->vertices[0];
        found.push_back({x, y, std::hypot(v0.viewX - x, v0.viewY - y), int(p->vertices.size())});
    }
    return found;
}

// GL_LINES primitives of the colour drawn with the given line width (any width if negative).
inline std::vector<const glstub::Primitive*> lines(const Rgba& colour, float width = -1)
{
    std::vector<const glstub::Primitive*> found;
    for (const auto* p : glstub::primitivesOf(GL_LINES))
        if (drawnIn(*p, colour) && (width < 0 || p->lineWidth == width)) found.push_back(p);
    return found;
}

// The axis cross: one primitive of two lines whose arms run 10 view units each way.
inline bool isAxisCross(const glstub::Primitive& p)
{
    return p.vertices.size() == 4 && p.vertices[0].x == -10 && p.vertices[1].x == 10;
}

// Plain segments of the colour (rack outlines, radius lines), drawn one by one or many in
// one batch (the rolling racks), each as where its ends show; not the wide curves or the
// axis cross.
// A layer is drawn upside down and shown turned back: its segments are given as they show.
inline std::vector<std::pair<glstub::Vertex, glstub::Vertex>> plainSegments(const Rgba& colour)
{
    std::vector<std::pair<glstub::Vertex, glstub::Vertex>> found;
    for (const auto* p : lines(colour))
        if (p->lineWidth != 4.0f && !isAxisCross(*p))
            for (std::size_t i = 0; i + 1 < p->vertices.size(); i += 2) {
                glstub::Vertex a = p->vertices[i], b = p->vertices[i + 1];
                if (p->framebuffer) a.viewY = -a.viewY, b.viewY = -b.viewY;
                found.push_back({a, b});
            }
    return found;
}

inline int segmentCount(const Rgba& colour) { return static_cast<int>(plainSegments(colour).size()); }

// Whether a segment can show in the window: not wholly beyond one edge (with margin).
inline bool reachesWindow(const glstub::Vertex& a, const glstub::Vertex& b, double margin = 0)
{
    const double e = 1 + margin;
    return !((a.viewX > e && b.viewX > e) || (a.viewX < -e && b.viewX < -e) || (a.viewY > e && b.viewY > e) ||
             (a.viewY < -e && b.viewY < -e));
}

// How many of the colour's segments lie beyond an edge of the window by more than 0.1:
// none should, as only what can reach the window is drawn.
inline int segmentsOutOfReach(const Rgba& colour)
{
    int n = 0;
    for (const auto& [a, b] : plainSegments(colour)) n += !reachesWindow(a, b, 0.1);
    return n;
}

// The rack outline at roll 0 with its reference point on the pitch point, from the rack's
// shape alone: four copies a pitch π apart (two back, one ahead), each the seven segments
// root, flank, tip, flank, root, flank, tip, flanks rising ha·tan α and falling hf·tan α
// about the pitch line; zoomed by k.
inline std::vector<std::pair<Point2, Point2>> rackOutlineAtPitchPoint(double k)
{
    const RackGear& g = rackGear;
    const double tanA = std::tan(g.pressureAngle), pi = gearPi;
    const double up = g.addendum * tanA, down = g.dedendum * tanA;
    std::vector<std::pair<Point2, Point2>> found;
    for (int i = -2; i <= 1; ++i) {
        const double x = i * pi;
        auto at = [&](double dx, double y) { return Point2{k * (x + dx), k * y}; };
        const Point2 v1 = at(-pi - down, -g.dedendum), v2 = at(-pi + up, g.addendum), v3 = at(-pi / 2 - up, g.addendum),
                     v4 = at(-pi / 2 + down, -g.dedendum), v5 = at(-down, -g.dedendum), v6 = at(up, g.addendum),
                     v7 = at(pi / 2 - up, g.addendum), v8 = at(pi / 2 + down, -g.dedendum);
        for (const auto& s : {std::pair{v1, v2}, {v2, v3}, {v3, v4}, {v5, v4}, {v5, v6}, {v6, v7}, {v7, v8}})
            found.push_back(s);
    }
    return found;
}

// The wide tooth-curve segments of the colour, 4 pixels wide, in drawing order.
inline std::vector<const glstub::Primitive*> curve(const Rgba& colour) { return lines(colour, 4.0f); }

inline double distance(double x0, double y0, double x1, double y1) { return std::hypot(x1 - x0, y1 - y0); }

// Sets up the rack program for tooth count z, mode and zoom, with a fresh GL context in the
// state every later frame finds (lighting left on by the previous frame).
inline void startRackProgram(int z, char mode, double zoom = 0.5)
{
    rackGear = makeRackGear(z);
    generateRackTables(rackGear, rollSteps(rackGear), &rackTables);
    rackView = RackView{mode, 0, 0, 0, 0, zoom};
    glstub::reset();
    reshapeView(800, 800);  // a fresh window, in which no layer is kept yet
    glEnable(GL_LIGHTING);
    glstub::clearLog();
}

// The layers shown in the frame: textured squares drawn into the window.
inline std::vector<const glstub::Primitive*> layersShown()
{
    std::vector<const glstub::Primitive*> found;
    for (const auto* p : glstub::primitivesOf(GL_TRIANGLES))
        if (p->texture && !p->framebuffer) found.push_back(p);
    return found;
}

// Draws one frame into a clean log.
inline void drawFrame()
{
    glstub::clearLog();
    rackEdition.display();
}

}  // namespace probe
