// Reading a recorded frame of the rack programs: discs, segments and curves by colour.
#pragma once

#include "gearplot.h"
#include "gl_standin.h"
#include "rack_program.h"

#include <cmath>
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
        if (isColour(p->colour, colour) && (width < 0 || p->lineWidth == width)) found.push_back(p);
    return found;
}

// Plain two-vertex segments of the colour (rack outlines, radius lines).
inline int segmentCount(const Rgba& colour)
{
    int n = 0;
    for (const auto* p : lines(colour))
        if (p->vertices.size() == 2 && p->lineWidth != 4.0f) ++n;
    return n;
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
    glEnable(GL_LIGHTING);
    glstub::clearLog();
}

// Draws one frame into a clean log.
inline void drawFrame()
{
    glstub::clearLog();
    rackEdition.display();
}

}  // namespace probe
