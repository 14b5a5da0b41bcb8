// gearlab: the teacher's gear laboratory. One window shows an involute spur gear cut by its
// rack (view 1), the finished gear with its numbers (view 2) and the gear meshing with a mate
// (view 3); tooth count, shift, pressure angle and rack change live from the keyboard.
//
// Keys: + - (z ± 1), > < (z ± 10), x X (shift ∓ 0.05), a A (pressure angle), r (rack),
// m M (the mate's z ∓ 1), 1 2 3 (view), space (play / pause), s (step), 0 (first step),
// w W (zoom out / in), arrows (pan), f (fit), e (export outline), p (picture), h (help),
// Escape or q (end).
//
// The maths is the gear engine's (gear.h); this code only keeps its results and draws them.
#pragma once

#include "gear.h"
#include "gearplot.h"

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

// ---- Constants ----

constexpr int labMostTeeth = 1000;         // the largest gear the lab draws at full frame rate
constexpr int generationSteps = 120;       // steps of view 1 from the rack's entry to its exit
constexpr int meshStepsPerPitch = 24;      // steps of view 3 per angular pitch of the gear
constexpr unsigned animationInterval = 40; // ms between animation steps
constexpr double shiftStep = 0.05;         // of x per key press
constexpr double fittedShare = 0.95;       // of the room between the caption bands taken by a fitted figure
constexpr double captionBandPixels = 70;   // kept free for the captions at the top and at the bottom
constexpr double panShare = 0.1;           // of the window's half size moved by one arrow key
constexpr int defaultMateTeeth = 10;
constexpr int mostTraces = generationSteps + 1;  // rack positions kept: the traces never grow past it

// The pressure angles that a and A step through, degrees.
constexpr double labPressureAngles[] = {14.5, 20, 25};

// Colours by meaning, shared by the figures and the panel's legend.
constexpr Rgba involuteColour{0, 0, 1, 1};
constexpr Rgba filletColour{0, 0.6f, 0, 1};
constexpr Rgba undercutColour{1, 0, 0, 1};
constexpr Rgba landColour{0, 0, 0, 1};               // tip and root
constexpr Rgba faintColour{0.82f, 0.82f, 0.82f, 1};  // the finished gear behind the cut
constexpr Rgba traceColour{0.62f, 0.62f, 0.62f, 1};
constexpr Rgba rackColour{0.15f, 0.15f, 0.15f, 1};
constexpr Rgba flankCutColour{1, 0.5f, 0, 1};
constexpr Rgba roundingCutColour{0.8f, 0, 0.8f, 1};
constexpr Rgba limitColour{0.5f, 0, 0.5f, 1};
constexpr Rgba circleColour{0.35f, 0.35f, 0.6f, 1};
constexpr Rgba contactColour{0, 0.55f, 0, 1};
constexpr Rgba mateColour{0, 0.3f, 0.7f, 1};

enum class LabLanguage { english, japanese };

// The racks that r steps through, in order; "custom" is a rack given by its coefficients.
constexpr const char* labRackNames[] = {"A", "B", "C", "D", "straight"};
constexpr int labRackCount = static_cast<int>(std::size(labRackNames));

// ---- State: the lab's parameters and view, one instance ----

struct LabState {
    GearParameters gear;      // the gear shown (the engine's record)
    double pressureDegrees;   // α in degrees, as typed and shown
    int rack;                 // index into labRackNames, or -1 for a custom rack
    int mateTeeth;            // z of the mate in view 3
    int view;                 // 1 generation, 2 finished gear, 3 meshing pair
    int step;                 // view 1: 0 … generationSteps
    int meshStep;             // view 3: steps turned, any whole number
    bool playing;             // the animation timer is running
    bool timerPending;        // a GLUT timer is set and has not fired yet
    double zoom;              // 1: the figure fitted to the window
    Vec2 pan;                 // mm: the figure's centre moved from the fitted one
    bool help;                // the help overlay is shown
    LabLanguage language;
    std::string problem;      // why the last change was refused (red), or empty
    std::string notice;       // what the last export wrote, or empty
    bool pictureRequested;    // p: the next frame is also written as PNG and SVG
};

extern LabState lab;

// What the engine gave for the current parameters: computed on each change, only read by
// the drawing. Outlines are kept as plain points split into runs of one part.
struct OutlineRun {
    std::size_t first;        // index of the run's first point in the outline
    std::size_t count;        // its points, the join with a neighbour included (the last run's
                              // last point is point 0 again, at index size())
    OutlinePart part;
    bool undercut;
};

struct LabFigures {
    GearNumbers numbers;
    std::vector<Point2> outline;       // the gear's closed outline, mm
    std::vector<OutlineRun> runs;      // the outline split by part
    // View 1
    double centreRoll;                 // the roll at which rack tooth 0 stands centred in the space
    double rollReach;                  // the rolls run centreRoll ± rollReach
    std::vector<std::vector<Point2>> traces;  // rack positions 0 … step, at most mostTraces
    std::vector<RackPoint> currentRack;  // the last position with its parts, drawn bold
    int lastStep;                      // the step the traces reach
    std::size_t pointsPerTooth;        // outline points of one tooth
    std::vector<double> cutRolls;      // per outline point, the roll at which the rack cuts it
    // View 3
    bool paired;                       // the pair could be computed
    std::string pairProblem;           // why not
    GearPair pair;
    GearNumbers mateNumbers;
    std::vector<Point2> mateOutline;   // mate frame, mm
};

extern LabFigures figures;

// The plain points of engine points, outline or rack, for drawing.
template <class EnginePoint>
std::vector<Point2> plainPoints(const std::vector<EnginePoint>& points)
{
    std::vector<Point2> plain;
    plain.reserve(points.size());
    for (const EnginePoint& p : points) plain.push_back({p.at.x, p.at.y});
    return plain;
}

// ---- Start ----

// Reads gearprofile's gear options and --lang into lab; false with one line naming the option.
// help is set for --help.
bool parseLabOptions(int argc, const char* const argv[], bool* help, std::string* message);
// The usage text of --help.
const char* labUsage();
// The lab before options: z = 10, module 1, 20°, no shift, rack A, view 1, English.
void resetLab();

// ---- Changes ----

// Puts gear in place of the current one if the engine can cut it, recomputing the figures
// and keeping the view; otherwise keeps the gear and says why in lab.problem. True if taken.
bool changeGear(const GearParameters& gear, double pressureDegrees, int rack);
// Recomputes the figures of the current parameters (after the mate or the step changed).
void recomputeFigures();
// Brings the traces and the cut outline of view 1 up to lab.step.
void advanceGeneration();
// Where rack tooth 0 touches the gear at the current step of view 1: either side, either part.
std::vector<RackContact> cuttingContacts();
// Whether the rack has cut the outline point at index i (within half a tooth of the
// space that rack tooth 0 cuts) by the roll of the current step.
bool cutByNow(std::size_t i);
// The roll of view 1 at step n.
double generationRoll(int n);
// The gear's turn of view 3 at the current step, radians (negative: it turns clockwise).
double meshTurn();
// The contact points on the path of contact at the current turn of view 3.
std::vector<Vec2> meshContacts();
// The fitted centre and half size (mm) of the current view's figure.
void fittedFrame(Vec2* centre, double* halfSize);
// View units per millimetre at the current zoom.
double viewScale();

// ---- Keys and animation ----

void onLabKey(unsigned char key, int x, int y);
void onLabSpecialKey(int key, int x, int y);
void onLabTimer(int value);
// One animation step of the current view; false when there is nothing more to do.
bool stepLab();

// ---- Drawing ----

void displayLab();
void reshapeLab(int width, int height);
// The three figures, in millimetres under the current view transform.
void drawGenerationView();
void drawFinishedView();
void drawMeshView();
// The white bands with the status line and the panel, and the help overlay: drawn last.
void drawLabCaptions();

// ---- Texts ----

constexpr int labKeyCount = 17;     // lines of the help, each a group of keys
constexpr int labKeyColumn = 10;    // where the help's effects start, in Unifont's columns

struct LabTexts {
    const char* viewNames[3];      // generation, finished gear, meshing pair
    const char* rack;              // the status line's labels
    const char* view;
    const char* step;
    const char* zoom;
    const char* finished;
    const char* playing;
    const char* undercut;
    const char* noUndercut;
    const char* cuttingFlank;      // what part of the rack cuts now
    const char* cuttingRounding;
    const char* cuttingBoth;
    const char* notCutting;
    const char* refused;           // before the engine's reason, in red
    const char* pairRefused;
    const char* helpHint;
    const char* helpTitle;
    KeyHelp keys[labKeyCount];     // the help's lines, each a group of keys
    const char* legendInvolute;
    const char* legendFillet;
    const char* legendUndercut;
    const char* legendLimits;      // what N and the dashed line are
    const char* toothThickness;    // the panel of view 2
    const char* tipThickness;
    const char* span;
    const char* contactRatio;      // the panel of view 3
    const char* centreDistance;
    const char* interference;
    const char* noInterference;
    const char* basePitch;
    const char* mate;
    const char* wrote;             // before the paths written
    const char* cannotWrite;       // before the reason
};

// The texts of the current language.
const LabTexts& labTexts();
// Draws a caption at window pixel x, y (the baseline) in the lab's font.
void drawLabText(float x, float y, const std::string& text);

// ---- Exports ----

// The stem of the current gear's files: gear-z10-m1-a20-x0.00-A.
std::string exportStem();
// e: the outline as SVG, DXF and CSV in the working folder; the paths on out, failures on err
// and in lab.problem. True when all three were written.
bool exportOutline(std::FILE* out, std::FILE* err);
// p, called by the display after drawing and before the swap: the frame as PNG and SVG.
bool savePicture(std::FILE* out, std::FILE* err);

// The whole program; the exit status.
int runGearLab(int argc, char** argv);
