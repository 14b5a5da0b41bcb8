// cutdemo1, the earliest rack-cutter edition: it steps its generation in the angle φ at the
// gear centre (every point at roll t = tan φ), draws the rack as ten explicit teeth and
// writes a console trace of their corner points. Everything else is the shared rack code.
#pragma once

#include "rack_program.h"

#include <cstddef>
#include <cstdio>

// ---- State of this edition, beside rackGear, rackTables and rackView ----

// The rack values and the mode-4 range that only this edition keeps; lengths in mm, angles in
// radians of φ.
struct PhiRack {
    double phi0;                // atan2(hf·tan α, rp): φ at which the rack's tip corner cuts
                                // deepest, on the root circle; its tangent is undercutStartRoll
    double rootLandWidth;       // π/2 − 2·ha·tan α, mm: the rack's root between two teeth
    double tipLandWidth;        // π/2 − 2·hf·tan α, mm: across one rack tooth's tip
    double rackAddendumDepth;   // ha / cos α, mm: flank length above the pitch line
    double thmax;               // acos(rp / ra): the rack reference point reaches the tip circle
    double thmin;               // φ at which the tooth profile leaves the undercut curve
    double dth4;                // (thmax − thmin) / 50: the φ step of mode '4'
};

extern PhiRack phiRack;

constexpr int wholeToothLastStep = 50;  // mode '4' rolls the rack in 51 positions

// The console trace of one frame, collected here and written in one piece when the frame
// ends, so that thousands of lines cost one write instead of one each.
constexpr std::size_t rackTraceCapacity = 256 * 1024;  // bytes; a frame needs at most ~160 KB
struct RackTrace {
    std::FILE* sink;                 // where every frame's trace goes (stdout); nullptr: nowhere
    std::size_t length;              // bytes collected in text so far
    char text[rackTraceCapacity];
};

extern RackTrace rackTrace;

// ---- Generation (plain arithmetic, no drawing, no console) ----

// The φ-stepped loops: tip side 0.0025, root side 0.005, 151 undercut points from -phi0 on.
GenerationSteps phiSteps(double phi0);
// This edition's rack values for gear (mode-4 range left at 0).
PhiRack makePhiRack(const RackGear& gear);
// Fills tables for gear and sets the mode-4 range of rack from where the profile leaves the
// undercut curve; false when the tooth profile would not fit its table.
bool generatePhiTables(const RackGear& gear, RackTables* tables, PhiRack* rack);

// ---- Console ----

// The console set-up on the given streams; false when input ended before any tooth count.
bool runPhiDialogue(std::FILE* in, std::FILE* out);
// Its mode keys, as the dialogue lists them.
extern const KeyHelp phiModeKeys[2];
// Adds one trace line "\nI=%d  <label>[]=(%7.4f %7.4f)" to the frame's trace; label has two letters.
void traceCorner(int I, const char* label, const Point2& p);
// Writes the collected trace to its sink with one write and flushes it.
void flushRackTrace();

// ---- Drawing ----

// Draws one frame: the fixed header, the axis cross, the solid gear circles, the mode's
// caption and body, then writes the frame's trace.
void displayCutdemo1();

extern const RackEdition cutdemo1Edition;

// Draws rack tooth I (I pitches along the pitch line) at roll tan φ and traces its corners.
void drawRackTooth(int I, double phi, const Rgba& colour);
// Draws teeth -5 … 4 at roll tan φ and, when withPitchLine is 1, the rack's 40 mm pitch line.
void drawRackTeeth(int withPitchLine, double phi, const Rgba& colour);
