// Inside the toolkit: every vertex and caption it draws passes through here, so that a frame
// can also be recorded as SVG (see beginSvgRecording). Not for programs.
#pragma once

#include "gearplot.h"

#include <GL/gl.h>

// glBegin(mode); a recording reads the colour, line width, stipple and point size in force.
void emitBegin(GLenum mode);
// glVertex2d(x, y).
void emitVertex(double x, double y);
// glEnd().
void emitEnd();
// Records a caption drawn from raster position x, y of the current matrices.
void recordCaption(float x, float y, const std::string& text);
// The next code point of UTF-8 text, advancing *p; U+FFFD for a malformed sequence.
char32_t nextCodePoint(const char** p);
