// What the unwinddemo drawing tests read from the recording stand-in: shown positions,
// curve segments by colour, and a fresh set-up with the stand-in reset.
#pragma once

#include "gl_standin.h"
#include "unwind.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace unwindtest {

const double rb = std::cos(gearPi / 9);  // base radius of the pitch circle 1.0 at 20°

inline Point2 shown(const glstub::Vertex& v) { return {v.viewX, v.viewY}; }

inline double gap(const Point2& a, const Point2& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The centre of a disc or polygon as shown: the mean of its vertices.
inline Point2 centreOf(const glstub::Primitive& p)
{
    Point2 c{0, 0};
    for (const glstub::Vertex& v : p.vertices) c = {c.x + v.viewX, c.y + v.viewY};
    return {c.x / p.vertices.size(), c.y / p.vertices.size()};
}

inline bool hasColour(const glstub::Primitive& p, const Rgba& c)
{
    return p.colour == glstub::Colour{c.red, c.green, c.blue, c.alpha};
}

// The segments of the traced curves (1.6 pixels wide) in one colour, in drawing order.
inline std::vector<const glstub::Primitive*> curveSegments(const Rgba& c)
{
    std::vector<const glstub::Primitive*> found;
    for (const glstub::Primitive* p : glstub::primitivesOf(GL_LINES))
        if (hasColour(*p, c) && std::fabs(p->lineWidth - 1.6f) < 1e-4f) found.push_back(p);
    return found;
}

// Every primitive in order (but those in colour skip): mode, colour and shown vertices.
inline std::vector<double> picture(const Rgba* skip = nullptr)
{
    std::vector<double> all;
    for (const glstub::Primitive& p : glstub::recording().primitives) {
        if (skip && hasColour(p, *skip)) continue;
        all.insert(all.end(), {double(p.mode), p.colour[0], p.colour[1], p.colour[2]});
        for (const glstub::Vertex& v : p.vertices) all.insert(all.end(), {v.viewX, v.viewY});
    }
    return all;
}

// The set-up without console noise, the view put to mode, and a fresh stand-in.
inline void startFresh(char mode)
{
    std::FILE* sink = std::fopen("/dev/null", "w");
    runUnwindSetUp(sink);
    std::fclose(sink);
    unwindView.mode = mode;
    unwindView.rollAngle = 0.0;
    glstub::reset();
}

// One display pass with a clean log.
inline void pass()
{
    glstub::clearLog();
    displayUnwindDemo();
}

// The involute point at unwinding angle t, as the end of the taut string.
inline Point2 involuteAt(double t)
{
    return {rb * std::sin(t) - rb * t * std::cos(t), rb * std::cos(t) + rb * t * std::sin(t)};
}

}  // namespace unwindtest
