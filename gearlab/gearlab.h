// gearlab: the teacher's gear laboratory. One window shows an involute spur gear cut by its
// rack or by a pinion (shaper) cutter with the construction drawn (view 1), the finished gear
// with its numbers (view 2) and the gear meshing with a mate, every point of the path of
// contact labelled (view 3); the gear may be a ring gear, its mate then the pinion inside it.
// Tooth count, shift, pressure angle, cutter and mate change live from the keyboard, or
// exactly through a one-line entry.
//
// Keys: + - (z ± 1), > < (z ± 10), x X (shift ∓ 0.05), a A (pressure angle), r (rack),
// c (rack or pinion cutter), i (external or ring gear),
// m M (the mate's z ∓ 1), y Y (the mate's shift ∓ 0.05), j J (backlash ∓ 0.05 mm),
// Enter (entry: "x 0.532"),
// 1 2 3 (view), space (play / pause), s (step), 0 (first step), w W (zoom out / in),
// arrows (pan), f (fit; in view 3 the meshing zone and back), e (export outline),
// p (picture), h (help), Escape or q (end; Escape closes an open entry first).
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
constexpr long labMostOutlinePoints = 100000;  // per gear: the pair's two outlines drawn in a frame
constexpr int generationSteps = 120;       // steps of view 1 from the rack's entry to its exit
constexpr int meshStepsPerPitch = 24;      // steps of view 3 per angular pitch of the gear
constexpr unsigned animationInterval = 40; // ms between animation steps
constexpr double shiftStep = 0.05;         // of x per key press
constexpr double backlashStep = 0.05;      // mm of backlash per key press
constexpr double fittedShare = 0.95;       // of the room between the caption bands taken by a fitted figure
constexpr double panShare = 0.1;           // of the window's half size moved by one arrow key
constexpr int defaultMateTeeth = 10;
constexpr int defaultLabTeeth = 10;        // so that the undercut shows
constexpr int mostTraces = generationSteps + 1;  // rack positions kept: the traces never grow past it

// The pressure angles that a and A step through, degrees.
constexpr double labPressureAngles[] = {14.5, 20, 22.5, 25};

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
constexpr Rgba constructionColour{0.45f, 0.3f, 0.1f, 1};  // reference line, lines of action, labels
constexpr Rgba warningColour{0.85f, 0.4f, 0, 1};          // a pointed tip: shown, but said

enum class LabLanguage { english, japanese };

// The racks that r steps through, in order; "custom" is a rack given by its coefficients.
constexpr const char* labRackNames[] = {"A", "B", "C", "D", "straight"};
constexpr int labRackCount = static_cast<int>(std::size(labRackNames));

// ---- State: the lab's parameters and view, one instance ----

struct LabState {
    GearParameters gear;      // the gear shown (the engine's record)
    double pressureDegrees;   // α in degrees, as typed and shown
    int rack;                 // index into labRackNames, or -1 for a custom rack
    bool roundingReduced;     // the named rack's tip rounding does not fit at α: the full-round tip is cut
    int mateTeeth;            // z of the mate in view 3
    double mateShift;         // x of the mate
    int view;                 // 1 generation, 2 finished gear, 3 meshing pair
    int step;                 // view 1: 0 … generationSteps
    int meshStep;             // view 3: steps turned, any whole number
    bool playing;             // the animation timer is running
    bool timerPending;        // a GLUT timer is set and has not fired yet
    double zoom;              // 1: the figure fitted to the window
    Vec2 pan;                 // mm: the figure's centre moved from the fitted one
    bool meshZone;            // view 3 fitted to the meshing zone round C instead of the whole pair
    bool help;                // the help overlay is shown
    LabLanguage language;
    std::string problem;      // what the last key could not do, in full (red), or empty
    std::string notice;       // what the last export wrote, or empty
    bool pictureRequested;    // p: the next frame is also written as PNG and SVG
    bool entryOpen;           // Enter: the one-line entry at the bottom takes the keys
    std::string entry;        // what is typed there, UTF-8
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
    std::vector<RackContact> cutting;  // where cutter tooth 0 touches at the current step
    // View 2 of a gear cut by the pinion cutter: the same gear cut by the rack of the cutter's
    // profile (empty otherwise, or where that rack cannot cut it)
    std::vector<Point2> rackCutOutline;
    PinMeasurement pins;               // over pins of the default diameter, for view 2's numbers
    // View 3
    bool paired;                       // the pair could be computed
    std::string pairProblem;           // why not
    GearPair pair;                     // an external gear and its mate
    InternalPair ringPair;             // a ring gear and the pinion inside it
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

// Reads the gear options (gearprofile's), --mate, --mate-shift and --lang into lab; false with
// one line naming the option. help is set for --help.
bool parseLabOptions(int argc, const char* const argv[], bool* help, std::string* message);
// The usage text of --help.
const char* labUsage();
// The lab before options: z = 10, module 1, 20°, no shift, rack A, view 1, English.
void resetLab();

// ---- Changes ----

// Puts gear in place of the current one if the engine can cut it, recomputing the figures
// and keeping the view; otherwise keeps the gear and says why in lab.problem (and in *why, when
// given, without the lab's prefix). True if taken. A named rack (rack ≥ 0) is cut with its
// own rounding, or the largest that fits at α.
bool changeGear(const GearParameters& gear, double pressureDegrees, int rack, std::string* why = nullptr);
// Puts the mate of teeth and shift in place if it can be cut (the pair may still not mesh:
// then view 3 says why); otherwise keeps it and says why, as changeGear does. True if taken.
bool changeMate(int teeth, double shift, std::string* why = nullptr);
// Applies a line of the entry, "name value": z, x, a, m, rack, cutter, cutterx, internal, mate,
// matex, j, tol. False, with the reason in *problem, where the name or value is wrong or the
// engine refuses the change.
bool applyEntryLine(const std::string& line, std::string* problem);
// The reason an engine refusal gives, in the lab's language.
std::string labReason(const std::string& englishReason);
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
// The gear's turn of view 3 at the current step, radians (an external gear turns clockwise, a
// ring counter-clockwise, so that the contacts run from A to E).
double meshTurn();
// View 3's pair as it is drawn and labelled, from either kind of pair: N1 and N2 as the
// textbooks name them (the gear's and the mate's outside, the pinion's and the ring's inside).
struct MeshLayout {
    Vec2 mateCentre;
    double mateTurn;          // the mate's outline turned by this when the gear is not turned
    double mateTurnRate;      // the mate's turn per turn of the gear: −z/z2 outside, z/z1 inside
    Vec2 pitchPoint;          // C
    Vec2 n1, n2;              // the interference points N1 and N2
    bool n1Passed, n2Passed;  // a tip runs past it: drawn red
    Vec2 contactStart;        // A
    Vec2 contactEnd;          // E
    Vec2 effectiveStart, effectiveEnd;
    bool startCut, endCut;    // a tip runs past N or a form circle there: A to the effective start red, and so on
    double centreDistance;
    double workingPressureAngle;
    double contactRatio;
    double effectiveContactRatio;
    Vec2 lineStart, lineEnd;  // the line of action drawn: between the base circles, or on through the path
};
MeshLayout meshLayout();
// The contact points on the path of contact at the current turn of view 3.
std::vector<Vec2> meshContacts();
// The fitted centre and half size (mm) of the current view's figure.
void fittedFrame(Vec2* centre, double* halfSize);
// Where the figure sits in the window for the current state and window: worked out once a
// frame, since the caption bands it keeps clear of depend on every text.
struct LabView {
    Vec2 centre;          // mm shown at the window's middle, before the lift
    double pixelsPerMm;
    double lift;          // pixels the figure is raised by, to sit midway between the bands
    double topBand;       // pixels of the caption bands
    double bottomBand;
};
LabView labView();
// View units per millimetre at the current zoom.
double viewScale();
// Where a point of the figure (mm) shows in the window, in pixels from the bottom left.
Point2 windowPixelOf(const LabView& view, const Vec2& at);
Point2 windowPixelOf(const Vec2& at);

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
void drawGenerationView(const LabView& view);
void drawFinishedView(const LabView& view);
void drawMeshView(const LabView& view);
// The figure's labels, the white bands with the status line and the panel, and the help
// overlay: drawn last.
void drawLabCaptions(const LabView& view);
void drawLabCaptions();
// The labels the figure puts beside its points and circles, in window pixels: drawn with the
// captions, so they keep their size.
struct FigureLabel {
    Point2 at;          // window pixels, the label's baseline start
    std::string text;
    Rgba colour;
};
std::vector<FigureLabel> figureLabels(const LabView& view);
// Pixels of the top and bottom caption bands for the current texts and window width.
void captionBands(double* top, double* bottom);
// text cut into lines no wider than pixels, between words where it can.
std::vector<std::string> wrappedLines(const std::string& text, double pixels);
// The width of text in the lab's font, pixels.
double labTextWidth(const std::string& text);

// ---- Texts ----

constexpr int labKeyCount = 22;     // lines of the help, each a group of keys
constexpr int labKeyColumn = 10;    // where the help's effects start, in Unifont's columns

struct LabTexts {
    const char* viewNames[3];      // generation, finished gear, meshing pair
    const char* rack;              // the status line's labels
    const char* reduced;           // after a rounding cut smaller than the named rack's own
    const char* view;
    const char* step;
    const char* zoom;
    const char* mate;
    const char* finished;
    const char* playing;
    const char* undercut;
    const char* noUndercut;
    const char* pointedTip;        // "pointed tip: sa = %s mm", orange
    const char* cuttingFlank;      // what part of the rack cuts now
    const char* cuttingRounding;
    const char* cuttingBoth;
    const char* notCutting;
    const char* refused;           // before the engine's reason, in red
    const char* couldNotWrite;     // before the file and the reason, in red
    const char* wrote;             // before the paths written
    const char* pairRefused;
    const char* helpHint;
    const char* helpTitle;
    KeyHelp keys[labKeyCount];     // the help's lines, each a group of keys
    const char* helpNotes[3];      // what N, the straight-flank limit and the form circle are
    // View 1: the legend of the cut outline and the names in the figure.
    const char* legendInvolute;
    const char* legendFillet;
    const char* legendUndercut;
    const char* circleNames[5];    // pitch, base, tip, root, form
    const char* referenceLine;
    const char* rollingLine;
    const char* shiftOffset;       // "x·m = %s mm"
    const char* noOffset;          // x = 0: the two lines are one
    const char* lineOfAction;
    const char* flankLimit;        // the end of the rack's straight flank
    const char* zMin;              // z_min, x, the flank's depth, the textbook z_min
    const char* xMin;              // x_min and z
    // View 2
    const char* toothThickness;
    const char* tipThickness;
    const char* span;
    const char* noSpan;            // no k touches on the involute
    const char* beforeBacklash;    // " (%s before the backlash)"
    const char* overPins;          // "M %s over pins of %s mm"
    // View 3
    const char* mateLine;          // "mate z %s  x %s"
    const char* centreDistance;
    const char* contactRatio;      // "ε %s between the tip circles"
    const char* effectiveRatio;    // "ε_eff %s where both flanks are involute"
    const char* loseContact;       // ε_eff < 1
    const char* gearFormCut;       // the mate's tip below this gear's form circle
    const char* mateFormCut;
    const char* interference;
    const char* noInterference;
    const char* basePitch;
    const char* meshLegend;        // every colour and mark of view 3
    // The entry.
    const char* entryPrompt;
    const char* entryUnknown;      // "unknown name '%s': …"
    const char* entryNumber;       // "'%s' is not a number"
    const char* entryWhole;        // "'%s' is not a whole number"
    const char* entryRack;         // "no rack '%s': …"
    const char* entryAngle;        // the pressure angle's range
    const char* entryOnOff;        // reserved for switches: "'%s' is neither on nor off"
    const char* mostTeeth;         // "gearlab shows at most %s teeth"
    // The pinion cutter and the ring gear.
    const char* ring;              // after the tooth count in the status line
    const char* cutter;            // "cutter z0 %s x0 %s", in place of the rack
    const char* cuttingCutterFlank;  // the pinion cutter's involute flank cuts now
    const char* cuttingCutterBoth;   // its flank and its tip rounding
    const char* cutterCircleNames[5];  // the cutter's pitch, base, tip, root and form circles
    const char* rollingCircles[2];   // the gear's and the cutter's rolling circles, where they leave the pitch circles
    const char* cuttingPair;       // "cutting pair: α_w0 %s°   a_w0 %s mm"
    const char* zMinCutter;        // z_min, x, z0, x0
    const char* ringNote;          // a ring gear has no undercut
    const char* noPinsRing;        // nor a measurement over pins
    const char* pinionLine;        // "pinion z %s   x %s inside the ring"
    const char* involuteCheck;     // "involute interference: %s"
    const char* tipCheck;
    const char* radialCheck;
    const char* checkPassed;       // "none"
    const char* radialPassed;      // the pinion can be pushed in radially
    const char* rackCompared;      // view 2: the legend of the rack-cut outline beside the cutter's
    const char* cutterNotes[3];    // N0; a ring's tooth difference; the pinion cutter's fillet
};

// The texts of the current language.
const LabTexts& labTexts();
// A pattern of the texts with its values, as text: %s in order, or %1$s … where a language
// puts them in another order.
std::string sayText(const char* pattern, const std::string& a, const std::string& b = "", const std::string& c = "",
                    const std::string& d = "");
// Draws a caption at window pixel x, y (the baseline) in the lab's font.
void drawLabText(float x, float y, const std::string& text);

// ---- Exports ----

// The stem of the current gear's files, every value exact: gear-z10-m1-a20-x0-A, with the
// rack's coefficients for a custom rack and -tol… for a tolerance other than the default.
std::string exportStem();
// e: the outline as SVG, DXF and CSV in the working folder; the paths on out, failures on err
// and in lab.problem. True when all three were written.
bool exportOutline(std::FILE* out, std::FILE* err);
// p, called by the display after drawing and before the swap: the frame as PNG and SVG.
bool savePicture(std::FILE* out, std::FILE* err);

// The whole program; the exit status.
int runGearLab(int argc, char** argv);
