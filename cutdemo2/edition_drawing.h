// What the earlier rack editions draw alike: tooth curves as bands of thin strokes, and the
// gear circles all solid.
#pragma once

#include "gearplot.h"

// Draws a–b (view units) as strokes 0.001 apart along its left-hand normal, from +w/2
// downwards: at least one stroke, in the current line width.
void drawStrokedSegment(const Point2& a, const Point2& b, double w, const Rgba& colour);
// Draws table[0 … last], zoomed by the rack view's zoom, as bands 0.004 wide.
void drawStrokedToothCurve(const Point2 table[], int last, const Rgba& colour);
// Draws the pitch, tip, root and base circles solid about the zoomed gear centre.
void drawSolidGearCircles();
