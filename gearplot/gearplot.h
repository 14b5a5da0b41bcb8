// gearplot: the toolkit that the four gear-geometry teaching programs share.
//
// Conventions
// - Drawing arguments are view units: the window shows -1 … +1 in x and y, one unit is
//   400 pixels of the 800 × 800 window. A program multiplies its millimetres by its view
//   zoom factor first (the ...Zoomed operations take that factor as their first argument).
// - Angles are radians, counter-clockwise positive.
// - Every drawing operation disables GL_LIGHTING first and enables it last, so lighting is
//   left on between operations (that is what turns the captions near-black).
// - Only drawWideSegment, drawAxisCross and drawGrid change the line width, and none
//   restores it.
// - Points and colours are only read; nothing is kept between calls.
#pragma once

#include <signal.h>

#include <cstdio>
#include <functional>
#include <string>

// ---- Shared types ----

struct Point2 {
    double x;
    double y;
};

// Handed to glColor4f unchanged; blending is never enabled, so alpha shows nothing.
struct Rgba {
    float red;
    float green;
    float blue;
    float alpha;
};

// One generated curve of the rack programs: entries 0 … last, last given beside it.
constexpr int toothTableCapacity = 601;
using ToothTable = Point2[toothTableCapacity];

constexpr Rgba red{1, 0, 0, 0};
constexpr Rgba green{0, 1, 0, 0};
constexpr Rgba blue{0, 0, 1, 0};
constexpr Rgba black{0, 0, 0, 0};

// ---- Constants ----
// Two values of pi are in use on purpose; results are compared to the last printed digit.
constexpr double circleStepPi = 3.1415926536;        // angle steps of circles and ellipses
constexpr double gearPi = 3.14159265358979;          // the programs' own geometry
constexpr double degreesPerRadian = 57.2957795;      // multiplier, radians to degrees
constexpr double radiansPerDegree = 0.01745329252;   // divisor, radians to degrees
constexpr double pixelsPerViewUnit = 400.0;          // toView and the wide line width
constexpr double arrowShaftWidth = 0.02;             // view units
constexpr double arrowHeadLength = 0.1;              // view units

// ---- Supplied by each program: one definition in the program's own folder ----
extern const int circleSegmentCount;   // N: steps of a full turn in circles and ellipses
extern const char windowTitle[];       // the window's title, UTF-8
extern const double& toothCurveZoom;   // the program's view zoom factor, read by drawToothCurve

// ---- Application frame ----
using DisplayHandler = void (*)();
using KeyboardHandler = void (*)(unsigned char key, int x, int y);

// Opens the 800 × 800 titled window, registers the handlers and enters the GLUT main loop.
void runWindow(int* argc, char** argv, DisplayHandler display, KeyboardHandler keyboard);
// Creates the window with the program's title, also as a UTF-8 _NET_WM_NAME.
void createTitledWindow();
// Sets the current GLX window's _NET_WM_NAME and _NET_WM_ICON_NAME to title (UTF-8).
void publishUtf8Title(const char* title);
// Clears colour and depth and loads the identity: the first call of every display handler.
void beginFrame();
// Flushes and swaps the buffers: the last call of every display handler.
void endFrame();
// The reshape handler: whole-window viewport, identity projection, no aspect correction.
void reshapeView(int width, int height);
// Sets the clear colour to white.
void setWhiteBackground();
// Draws a caption with a GLUT bitmap font; its colour follows the lighting state.
void drawText(float x, float y, void* font, const char* text);

// ---- View scale and transforms ----

// Converts a view coordinate or length for OpenGL (400 pixels per unit over 400: itself).
double toView(double v);
// Multiplies the current matrix by a turn of angle, then a shift along the turned axes.
void rotateTranslate(double angle, double dx, double dy);
// Multiplies the current matrix by a turn of angle about base + offset; no push, no pop.
void rotateAbout(const Point2& base, const Point2& offset, double angle);

// ---- Lines ----

// Draws the segment a–b in the current line width.
void drawSegment(const Point2& a, const Point2& b, const Rgba& colour);
// Draws a–b width view units wide; leaves the line width at 2.0.
void drawWideSegment(const Point2& a, const Point2& b, double width, const Rgba& colour);
// Draws a–b dashed, dash four fifths of a period of about 0.1, ending exactly at b.
void drawDashedSegment(const Point2& a, const Point2& b, const Rgba& colour);
// Draws a–b as a chain line (long dash, gap, short dash, gap as 9 : 2 : 2 : 2).
void drawChainSegment(const Point2& a, const Point2& b, const Rgba& colour);
// Draws the segment k·a – k·b.
void drawSegmentZoomed(double k, const Point2& a, const Point2& b, const Rgba& colour);
// Draws the chain line k·a – k·b.
void drawChainSegmentZoomed(double k, const Point2& a, const Point2& b, const Rgba& colour);
// Draws table[0 … last], zoomed by toothCurveZoom, as segments 0.01 wide.
void drawToothCurve(const Point2 table[], int last, const Rgba& colour);
// Draws a black cross of lines through origin, turned by angle, across the whole window.
void drawAxisCross(const Point2& origin, double angle);
// Draws a black grid of 2n + 1 lines each way, spaced dx and dy, turned by angle.
void drawGrid(const Point2& origin, double angle, int n, double dx, double dy);

// ---- Circles and ellipses ----

// Fills the N-gon of radius r about centre.
void fillDisc(const Point2& centre, double r, const Rgba& colour);
// Draws the closed N-gon of radius r about centre.
void drawCircle(const Point2& centre, double r, const Rgba& colour);
// Draws the circle of radius k·r about k·centre.
void drawCircleZoomed(double k, const Point2& centre, double r, const Rgba& colour);
// Draws a dashed circle, each dash four fifths of its sector.
void drawDashedCircle(const Point2& centre, double r, const Rgba& colour);
// Draws a chain-line circle, the style of pitch circles.
void drawChainCircle(const Point2& centre, double r, const Rgba& colour);
// Draws the chain-line circle of radius k·r about k·centre.
void drawChainCircleZoomed(double k, const Point2& centre, double r, const Rgba& colour);
// Fills the ellipse with semi-axes a (along the turned x axis) and b, turned by angle.
void fillEllipse(const Point2& centre, double a, double b, double angle, const Rgba& colour);
// Draws the outline of that ellipse.
void drawEllipse(const Point2& centre, double a, double b, double angle, const Rgba& colour);

// ---- Rectangles and arrow ----

// Fills the w × h rectangle whose lower-left corner is corner, turned about it by angle.
void fillRectangle(const Point2& corner, double w, double h, double angle, const Rgba& colour);
// Draws the outline of that rectangle.
void drawRectangle(const Point2& corner, double w, double h, double angle, const Rgba& colour);
// Fills an arrow of the given length whose tip is at tip, pointing along angle.
void drawArrow(const Point2& tip, double length, double angle, const Rgba& colour);

// ---- Tooth data file and atomic files ----

// Writes a file's whole content to the given stream; false when a write failed.
using FileWriter = std::function<bool(std::FILE* out)>;
// Writes fileName through write, atomically (temporary file, then rename); on failure says why.
// A symbolic link is written through to its target, even a dangling one; the replaced file
// keeps its permissions and, where the process may, its owner and group.
bool saveFileAtomically(const std::string& fileName, const FileWriter& write, std::string* reason);

// The system calls that make a save durable and final; tests replace them to make them fail.
struct FileSystemCalls {
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};
extern FileSystemCalls fileSystemCalls;

// Writes the tooth data (header, rows 0 … m, trailer) to out; false when a write failed.
bool writeToothData(std::FILE* out, int z, int m, const Point2 table[]);
// Writes the tooth data to the named file, atomically; on failure says why in reason.
bool saveToothData(const std::string& fileName, int z, int m, const Point2 table[],
                   std::string* reason);
// Asks for a file name on in and writes table[0 … m] there, reporting failures on out.
void writeToothFile(std::FILE* in, std::FILE* out, int z, int m, const Point2 table[]);

// ---- Console ----

// Asks with prompt until a tooth count from 1 to INT_MAX is typed; false at end of input.
bool readToothCount(std::FILE* in, std::FILE* out, const char* prompt, int* z);
// Skips the rest of the current line, then reads one key: without echo or Enter on a
// terminal, else the first character of the next line ('\n' for an empty one); EOF at end.
int readKeyAfterLine(std::FILE* in);
// Reads the next line that is not blank, without the blanks around it; false at end of input.
bool readTrimmedLine(std::FILE* in, std::string* line);
// Catches sig with handler, restarting interrupted reads, unless the program was started with
// sig ignored, which it keeps; the earlier action goes to previous.
void catchSignalUnlessIgnored(int sig, void (*handler)(int), struct sigaction* previous);
// Opens /dev/null on any of descriptors 0 to 2 that is closed: the first call of every main.
void ensureStandardStreams();
