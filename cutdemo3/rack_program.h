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
// Reads the tooth count into rackGear.toothCount's successor z; at end of input keeps the
// previous z (false when there was none yet, after saying so).
bool askRackToothCount(std::FILE* in, std::FILE* out, int* z);
// Offers the data file; on key '1' asks for the name and writes table[0 … last].
void offerToothFile(std::FILE* in, std::FILE* out, int z, int last, const Point2 table[]);
// Prints the first three lines of the key list, which every edition shares.
void printSharedKeyLines(std::FILE* out);
// The cutdemo3 and cutdemo2 dialogue on the given streams.
bool runRackDialogue(std::FILE* in, std::FILE* out);

// ---- Keys ----

// The keyboard handler: mode digits, 's', 'w', 'W', 'z', Escape.
void onCutDemoKey(unsigned char key, int x, int y);
