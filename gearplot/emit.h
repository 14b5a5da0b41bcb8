// Inside the toolkit: every vertex and caption it draws passes through here, so that a frame
// can also be recorded as SVG (see beginSvgRecording). Not for programs.
#pragma once

#include "gearplot.h"

#include <GL/gl.h>

// What the toolkit has set, kept here rather than read back from OpenGL.
struct DrawingState {
    Rgba colour;              // glColor4f
    float lineWidth;          // pixels
    unsigned short pattern;   // line stipple; solidPattern: stipple off
    float pointSize;          // pixels
    bool lit;                 // GL_LIGHTING enabled
};
const DrawingState& drawingState();
// glLineWidth(width).
void setLineWidth(float width);
// The line stipple (factor 1) on with pattern, or off for solidPattern.
void setLineStipple(unsigned short pattern);
// glPointSize(size).
void setPointSize(float size);
// GL_LIGHTING on or off.
void setLighting(bool on);

// glBegin(mode); a recording takes the drawing state in force.
void emitBegin(GLenum mode);
// glVertex2d(x, y).
void emitVertex(double x, double y);
// glEnd().
void emitEnd();
// How many times the window was reshaped: a page rescales its canvas with a reshape too.
int reshapeCount();
// Whether beginLayer has turned the drawing into a layer.
bool drawingIntoLayer();
// While drawing into a layer, the primitive begun, each of its vertices and its end: the
// layer keeps where it was drawn, to show only that.
void beginLayerPrimitive(GLenum mode);
void layerVertex(double x, double y);
void endLayerPrimitive();
// Whether a frame is being recorded as SVG: a layer shown in it would be missing from it.
bool svgRecording();
// Records a caption drawn from raster position x, y of the current matrices.
void recordCaption(float x, float y, const std::string& text);
// out = a × b, 4 × 4 matrices column-major as OpenGL keeps them; out may not be a or b.
void multiplyMatrices(const double a[16], const double b[16], double out[16]);
// The next code point of UTF-8 text, advancing *p; U+FFFD for a malformed sequence.
char32_t nextCodePoint(const char** p);
