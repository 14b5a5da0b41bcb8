// The rack-cutter programs: their state, set-up, drawing and keys. cutdemo3 is the fullest
// edition; cutdemo2 and cutdemo1 link this code and supply only what they do differently.
#pragma once

#include "rack_generation.h"

#include <cstdio>

// The display state, one instance.
struct RackView {
    char mode;          // display mode, '1' … lastModeKey
    int addendumStep;   // step of mode '1'
    int dedendumStep;   // step of mode '2'
    int undercutStep;   // step of mode '3'
    int wholeStep;      // step of the whole-tooth modes
    double zoom;        // view zoom factor: model millimetres × zoom = view units
};

extern RackGear rackGear;       // the current gear, rewritten by every set-up
extern RackTables rackTables;   // the current generated curves
extern RackView rackView;

// ---- Supplied by each rack edition ----
bool setUpRackGeneration();     // the console set-up; false when input ended before any z
void displayCutDemo();          // the display handler
extern const char lastModeKey;  // the highest mode digit of the edition

// ---- Set-up pieces the editions share ----

// Counters to 0 and zoom to 0.5: the state after every set-up.
void resetRackView();
// The opening of every rack dialogue: the banner, the tooth count (at end of input the
// previous one is kept), the new rackGear and the module line. False, after saying so, when
// input ended before any tooth count.
bool askForRackGear(std::FILE* in, std::FILE* out);
// Offers the data file; on key '1' asks for the name and writes table[0 … last].
void offerToothFile(std::FILE* in, std::FILE* out, int z, int last, const Point2 table[]);
// Prints the first three lines of the key list, which every edition shares.
void printSharedKeyLines(std::FILE* out);
// The cutdemo3 and cutdemo2 dialogue on the given streams.
bool runRackDialogue(std::FILE* in, std::FILE* out);

// ---- Rack drawing, shared by cutdemo3 and cutdemo2 ----

// How an edition draws a generated tooth curve: table[0 … last] zoomed by the view zoom.
using ToothCurveDrawer = void (*)(const Point2 table[], int last, const Rgba& colour);

// Draws one and a half pitches of rack profile in the current frame, zoomed.
void drawRackOutline(const Rgba& colour);
// Draws the rack at roll t with its reference point at `at` (mm): four outline copies and,
// when showPitchLine is 1, the rack's pitch line as a chain line.
void drawRack(int showPitchLine, const Point2& at, double t, const Rgba& colour);
// Draws the chain-line pitch circle, tip, root and base circles and the centre dot.
void drawGearCircles(double k, const Point2& centre);
// Marks G(t), where the rack's pitch line touches the pitch circle at roll t.
void drawPitchContactMarker(double t);
// The roll of the whole-tooth modes at step n: a quarter turn before the pitch point, then back.
double wholeToothRoll(int n);
// Draws the current rack at wholeToothRoll(n) and the racks of every earlier step.
void drawRollingRacks(int n);

// The mode bodies, drawn after an edition's captions, axis cross and circles. Each one
// advances the step counter of its mode.
void drawAddendumGeneration(ToothCurveDrawer drawCurve);   // '1': the tip-side flank
void drawDedendumGeneration(ToothCurveDrawer drawCurve);   // '2': the root-side flank
void drawUndercutGeneration(ToothCurveDrawer drawCurve);   // '3': the undercut curve
void drawRackRolling();                                    // '4': the rack rolls about the gear
void drawFinishedTooth(ToothCurveDrawer drawCurve);        // '6': both flanks of one tooth

// ---- Keys ----

// The keyboard handler: mode digits, 's', 'w', 'W', 'z', Escape.
void onCutDemoKey(unsigned char key, int x, int y);
