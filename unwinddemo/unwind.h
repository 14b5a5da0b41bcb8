// unwinddemo: the involute traced by unwinding a taut string from a base circle, two base
// circles joined by a crossed belt, and two ten-tooth involute gears meshing along it.
//
// Keys in the window: '1' base circle fixed, '2' base circle turning, '3' base circle
// rolling under the measuring arrow, '4' belt with one involute on each circle, '5' and '6'
// the meshing gear pair with and without the contact path; 'd' forward, 'D' backward,
// 's' one more step, 'w' smaller, 'W' larger, 'z' the console set-up again, Escape ends.
//
// Conventions: lengths in mm of a module-1 gear, angles in radians (degrees only for
// glRotated). The base circle is centred at the origin; the involute starts at its top
// point (0, rb) and is unwound clockwise, towards +x.
#pragma once

#include "gearplot.h"

#include <cstdio>

// ---- Constants ----
constexpr int unwindSteps = 400;                   // N: last index of the unwinding tables
constexpr int unwindTableSize = unwindSteps + 1;   // entries 0 … N
constexpr double unwindAngleStep = 0.01;           // rad of unwinding per table entry
constexpr double meshTurnStep = 0.01;              // rad the gears turn per pass, modes 4 to 6
constexpr double meshReach = 1.6;                  // mm a meshing flank reaches beyond the base circle
constexpr double startZoom = 0.5;                  // view units per mm after every set-up

// The gear data, one instance. Lengths in mm, angles in radians.
struct UnwindGear {
    double pressureAngle;   // α = π/9 (20°)
    double addendum;        // 1.0: addendum coefficient × m
    double dedendum;        // 1.25: dedendum coefficient × m
    int toothCount;         // 4 while the summary prints, then 10: both gears of modes 5 and 6
    double pitchRadius;     // 1.0, fixed (not z·m/2): the whole view scale rests on it
    double tipRadius;       // pitchRadius + addendum; printed only
    double rootRadius;      // pitchRadius − dedendum, negative; printed only
    double baseRadius;      // rb = pitchRadius·cos α: the one length every view uses
};

// The unwinding tables, one instance, filled by every set-up; entry i is at t = i·0.01 rad.
struct UnwindTables {
    Point2 tangentPoints[unwindTableSize];    // where the string leaves the base circle, mm
    Point2 involutePoints[unwindTableSize];   // the string's end: the involute point, mm
    int meshPointCount;                       // flank entries 0 … this are drawn in modes 5, 6
};

// The animation state, one instance.
struct UnwindView {
    char mode;           // display mode, '1' … '6'
    char direction;      // 'd' forward, 'D' backward
    int fixedStep;       // table index shown in mode 1, 0 … N
    int turnStep;        // table index shown in modes 2 and 3, 0 … N
    double rollAngle;    // rad the base circles have turned (modes 2 to 6); unbounded in 4 to 6
    double zoom;         // view zoom factor: mm × zoom = view units
};

extern UnwindGear unwindGear;
extern UnwindTables unwindTables;
extern UnwindView unwindView;

// ---- Set-up and unwinding maths (no drawing) ----

// The tangent point and the involute point at unwinding angle t ≥ 0 (rad), for the base
// radius of unwindGear.
void unwindPoint(double t, Point2* tangent, Point2* involute);
// How many leading points lie closer to the origin than limitRadius (at most n).
int countPointsWithin(const Point2 points[], int n, double limitRadius);
// Every key of the window: the six lines the set-up prints, then 'z' and Escape.
constexpr int unwindKeyCount = 8;
extern const KeyHelp unwindKeys[unwindKeyCount];
// The whole set-up, printing its console text to out.
void runUnwindSetUp(std::FILE* out);
// The set-up on the console: gear data, tables, summary and key list; resets the view
// state except mode and rollAngle.
void setUpUnwinding();

// ---- Drawing operations of the program (lengths in mm, k the zoom factor) ----

// Draws the polyline through k·points[0 … n], 0.004 view units wide.
void drawCurveZoomed(double k, const Point2 points[], int n, const Rgba& colour);
// Draws a base circle about the current origin with its centre dot and two diameters.
void drawBaseCircle(double k, double radius, const Rgba& colour);
// Moves the current matrix to k·centre and turns it by angle; no push.
void enterGearFrame(double k, const Point2& centre, double angle);
// Undoes enterGearFrame with the same arguments; no pop.
void leaveGearFrame(double k, const Point2& centre, double angle);
// Draws z copies of the polyline through points[0 … n], turned 2π/z apart about the origin.
void drawGearFlanks(double k, int z, const Point2 points[], int n, const Rgba& colour);

// ---- The window ----

constexpr int unwindCircleSegments = 120;   // N of the toolkit's circles
extern const WindowDescription unwindWindow;


// Draws one frame of the current mode and moves its animation on by one step.
void displayUnwindDemo();
// Mode digits, 'd', 'D', 'w', 'W', 's', 'z' and Escape; the mouse position is ignored.
void onUnwindKey(unsigned char key, int x, int y);
