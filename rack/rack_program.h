// The rack-cutter programs: their state, set-up, drawing and keys. cutdemo3 is the fullest
// edition; cutdemo2 and cutdemo1 link this code and describe only what they do differently.
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

// What sets one rack edition apart: its window, its console set-up and its display.
struct RackEdition {
    const char* windowTitle;                       // UTF-8
    int circleSegments;                            // N of the toolkit's circles
    char lastModeKey;                              // the highest mode digit
    bool (*setUp)(std::FILE* in, std::FILE* out);  // the console set-up; false when input
                                                   // ended before any tooth count
    DisplayHandler display;                        // draws one frame of the current mode
    const KeyHelp* modeKeys;                       // its two lines of mode keys, as its dialogue
                                                   // lists them
};

extern RackGear rackGear;         // the current gear, rewritten by every set-up
extern RackTables rackTables;     // the current generated curves
extern RackView rackView;
extern RackEdition rackEdition;   // the edition that runs

// ---- Entry ----

// Makes edition the running one: its description, and its circle segment count in the toolkit.
void useRackEdition(const RackEdition& edition);
// The whole program: the console set-up, then the window until Escape. The exit status.
int runRackEdition(int argc, char** argv, const RackEdition& edition);

// ---- Set-up pieces the editions share ----

// Every step counter to 0.
void resetRackSteps();
// Counters to 0 and zoom to 0.5: the state after every set-up.
void resetRackView();
// Fills rackTables (and what else an edition keeps) for gear; false when the tooth profile
// would not fit its table.
using RackTableFiller = bool (*)(const RackGear& gear);

// The opening of every rack dialogue: the banner, the tooth count (at end of input the
// previous one is kept; one whose profile would not fit the tables is refused and asked
// again), the new rackGear with its tables filled by fill, and the module line. False, after
// saying so, when input ended before any tooth count.
bool askForRackGear(std::FILE* in, std::FILE* out, RackTableFiller fill);
// The keys every rack edition lists first: 's', 'z', 'w' and 'W'.
extern const KeyHelp rackKeys[3];
// The mode keys of cutdemo3 and cutdemo2.
extern const KeyHelp rollingModeKeys[2];
// The close of every rack dialogue: offers table[0 … last] as the data file, resets the
// view, prints rackKeys and the edition's two lines of mode keys, and flushes.
void finishRackDialogue(std::FILE* in, std::FILE* out, int z, int last, const Point2 table[],
                        const KeyHelp modeKeys[2]);
// The cutdemo3 and cutdemo2 dialogue on the given streams.
bool runRackDialogue(std::FILE* in, std::FILE* out);

// ---- Rack drawing, shared by cutdemo3 and cutdemo2 ----

// How an edition draws a generated tooth curve: k·table[0 … last].
using ToothCurveDrawer = void (*)(double k, const Point2 table[], int last, const Rgba& colour);
// How an edition draws mode '5', the gear turning under the rack.
using GearTurningDrawer = void (*)();

// Draws one and a half pitches of rack profile in the current frame, zoomed.
void drawRackOutline(const Rgba& colour);
// Draws the rack at roll t with its reference point at `at` (mm): four outline copies and,
// when showPitchLine is 1, the rack's pitch line as a chain line.
void drawRack(int showPitchLine, const Point2& at, double t, const Rgba& colour);
// How the gear circles are drawn: the pitch circle as a chain line or solid, with or without
// the black centre mark.
struct GearCircleStyle {
    bool chainPitchCircle;
    bool centreMark;
};

// Draws the pitch, tip, root and base circles of rackGear about k·centre.
void drawGearCircles(double k, const Point2& centre, const GearCircleStyle& style);
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
// The body of the current mode '1' … '6', drawing curves and mode '5' the edition's way.
void drawRackModeBody(ToothCurveDrawer drawCurve, GearTurningDrawer drawGearTurning);

// ---- Keys ----

// The keyboard handler of every edition: mode digits, 's', 'w', 'W', 'z', Escape.
void onCutDemoKey(unsigned char key, int x, int y);
