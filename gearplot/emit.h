// Inside the toolkit: every vertex and caption it draws passes through here, so that a frame
// can also be recorded as SVG (see beginSvgRecording). Not for programs.
#pragma once

#include "gearplot.h"

#include <GL/gl.h>

// glBegin(mode), with what the recording needs to know of the stroke or fill.
void emitBegin(GLenum mode, const Rgba& colour, float lineWidth = 1, unsigned short pattern = solidPattern,
               float pointSize = 1);
// glVertex2d(x, y).
void emitVertex(double x, double y);
// glEnd().
void emitEnd();
// Records a caption drawn from raster position x, y of the current matrices.
void recordCaption(float x, float y, const std::string& text);
