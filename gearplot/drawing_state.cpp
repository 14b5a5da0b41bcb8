// The drawing state the toolkit sets, kept on this side of OpenGL: what a recording reads
// back, the same on the desktop and in a page, whose GL layer keeps no such state to give.
#include "emit.h"

namespace {

// The state in force, as the last setter left it (OpenGL's own defaults at start).
DrawingState state{{1, 1, 1, 1}, 1, solidPattern, 1, false};

}  // namespace

const DrawingState& drawingState() { return state; }

void setColour(const Rgba& colour)
{
    state.colour = colour;
    // In a layer a pixel's alpha tells whether it was drawn, so every colour goes in opaque.
    glColor4f(colour.red, colour.green, colour.blue, drawingIntoLayer() ? 1.0f : colour.alpha);
}

void setLineWidth(float width)
{
    state.lineWidth = width;
    glLineWidth(width);
}

void setLineStipple(unsigned short pattern)
{
    if (pattern == state.pattern) return;
    if (pattern == solidPattern) {
        glDisable(GL_LINE_STIPPLE);
    } else {
        if (state.pattern == solidPattern) glEnable(GL_LINE_STIPPLE);
        glLineStipple(1, pattern);
    }
    state.pattern = pattern;
}

void setPointSize(float size)
{
    state.pointSize = size;
    glPointSize(size);
}

void setLighting(bool on)
{
    state.lit = on;
    if (on)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
}
