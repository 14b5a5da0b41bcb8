// What the earlier rack editions draw alike: tooth curves as bands of thin strokes.
#pragma once

#include "gearplot.h"

// Draws a–b (view units) as strokes 0.001 apart along its left-hand normal, from +w/2
// downwards: at least one stroke, in the current line width.
void drawStrokedSegment(const Point2& a, const Point2& b, double w, const Rgba& colour);
// Draws k·table[0 … last] as bands 0.004 wide.
void drawStrokedToothCurve(double k, const Point2 table[], int last, const Rgba& colour);
