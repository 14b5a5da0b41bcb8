// gearplot: the toolkit that the four gear-geometry teaching programs share.
//
// Conventions
// - Drawing arguments are view units: the window shows -1 … +1 in x and y, one unit is
//   400 pixels of the 800 × 800 window. A program multiplies its millimetres by its view
//   zoom factor first (the ...Zoomed operations take that factor as their first argument).
// - Angles are radians, counter-clockwise positive.
// - Every drawing operation disables GL_LIGHTING first and enables it last, so lighting is
//   left on between operations (that is what turns the captions near-black). Inside an
//   unlit run it stays off until the run ends.
// - Only drawWideSegment, drawWideCurve, drawAxisCross and drawGrid change the line width,
//   and none restores it.
// - Points and colours are only read; nothing is kept between calls.
#pragma once

#include "safefile.h"  // the atomic writer, the standard streams and signals every program uses

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

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
// Two values of π on purpose: circles and ellipses step with the ten-digit one, the gear
// geometry uses the fifteen-digit one. Swapping them moves printed radii, rolls and data-file
// rows in their last digit, and students check those against their worked tables.
constexpr double circleStepPi = 3.1415926536;        // angle steps of circles and ellipses
constexpr double gearPi = 3.14159265358979;          // the programs' own geometry
constexpr double degreesPerRadian = 57.2957795;      // multiplier, radians to degrees
constexpr double radiansPerDegree = 0.01745329252;   // divisor, radians to degrees
constexpr double pixelsPerViewUnit = 400.0;          // toView and the wide line width
constexpr double arrowShaftWidth = 0.02;             // view units
constexpr double arrowHeadLength = 0.1;              // view units

constexpr double smallestZoom = 1e-12;               // zoomOut stops here: every step stays undoable
constexpr double largestZoom = 1e12;                 // and zoomIn here
constexpr float captionLeft = -0.9f;                 // view x of every caption line
constexpr int heldDriverHeap = 64 << 20;             // bytes of freed heap kept between frames

// ---- Toolkit state, set once at start ----

// Sets N, the steps of a full turn in circles and ellipses (120 until a program sets it).
void setCircleSegmentCount(int n);
// The N in force.
int circleSegmentCount();
// Starts an unlit run: lighting goes off and stays off, the operations leave it so instead
// of turning it on again, and the driver is spared a flush at every toggle. Runs do not
// nest; no caption belongs inside one.
void beginUnlitRun();
// Ends the unlit run: lighting on, as every operation leaves it.
void endUnlitRun();
// What every operation does first: lighting off.
void lightingOff();
// What every operation does last: lighting on again, unless an unlit run is open.
void lightingOn();
// Sets the current colour: what the next unlit caption is drawn in.
void setColour(const Rgba& colour);

// ---- Application frame ----
using DisplayHandler = void (*)();
using KeyboardHandler = void (*)(unsigned char key, int x, int y);
using ReshapeHandler = void (*)(int width, int height);
using SpecialKeyHandler = void (*)(int key, int x, int y);  // GLUT_KEY_LEFT, …

// The code of a GLUT special key (GLUT_KEY_LEFT, …) among the characters of a key list.
constexpr int specialKey(int glutKey) { return 256 + glutKey; }
// The character GLUT gives for Escape, which ends every program.
constexpr unsigned char escapeKey = 27;
constexpr int mostKeysPerLine = 4;

// One line of a program's key help: the keys it names and what they do.
struct KeyHelp {
    int keys[mostKeysPerLine];  // the characters typed, or specialKey(…); 0 after the last
    const char* names;          // the keys as the help writes them: "'w' 'W'", "+ / -", "arrows"
    const char* effect;         // what they do, in the program's language
};

// What a program's window is: its title, the handlers GLUT calls and its keys.
struct WindowDescription {
    const char* title;                   // UTF-8
    DisplayHandler display;              // draws one frame
    KeyboardHandler keyboard;            // one key typed in the window
    ReshapeHandler reshape = nullptr;    // nullptr: reshapeView, which stretches the figure
    SpecialKeyHandler special = nullptr; // arrow and function keys; nullptr: not asked for
    const KeyHelp* keys = nullptr;       // every key the window takes, as its help groups them
    int keyCount = 0;
};

// Keeps up to heldDriverHeap bytes of freed memory for the next frame instead of returning
// it to the system (runWindow does this first).
void holdDriverHeap();
// Opens the 800 × 800 titled window, registers the handlers and enters the GLUT main loop.
void runWindow(int* argc, char** argv, const WindowDescription& window);
// Creates the window with the given title, also as a UTF-8 _NET_WM_NAME.
void createTitledWindow(const char* title);
// Sets the current GLX window's _NET_WM_NAME and _NET_WM_ICON_NAME to title (UTF-8).
void publishUtf8Title(const char* title);
// Clears colour and depth and loads the identity: the first call of every display handler.
void beginFrame();
// Flushes and swaps the buffers: the last call of every display handler.
void endFrame();
// The reshape handler: whole-window viewport, identity projection, no aspect correction.
void reshapeView(int width, int height);
// The reshape handler that keeps circles round: -1 … 1 spans the shorter side, centred.
void reshapeKeepingAspect(int width, int height);
// The window's size in pixels as the last reshape gave it (800 × 800 before the first).
int windowWidth();
int windowHeight();
// Draws from here on in window pixels, origin at the bottom left, for bands and captions
// that keep their size; endWindowPixels restores both matrices.
void beginWindowPixels();
void endWindowPixels();
// Sets the clear colour to white.
void setWhiteBackground();
// Draws a caption with a GLUT bitmap font; its colour follows the lighting state.
void drawText(float x, float y, void* font, const char* text);
// Draws a caption line at the left margin in 18-point Helvetica.
void drawCaption(float y, const char* text);
// Loads a GNU Unifont .hex file (every glyph 8 or 16 pixels wide, 16 high); false with the reason.
bool loadUnicodeFont(const std::string& fileName, std::string* reason);
// Whether a Unicode font has been loaded.
bool unicodeFontLoaded();
// Draws UTF-8 text in the loaded Unicode font from raster position x, y, glyph by glyph
// with glBitmap; a character the font lacks shows as an empty box. Its colour as drawText's.
void drawUnicodeText(float x, float y, const char* text);
// The width in pixels that drawUnicodeText gives text.
int unicodeTextWidth(const char* text);

// ---- Key help ----

// Writes each line as a line break, its names, the separator and its effect.
void printKeyHelp(std::FILE* out, const KeyHelp lines[], int count, const char* separator);
// The line's names padded with blanks to the given column, then its effect.
std::string keyHelpLine(const KeyHelp& line, int column);
// The columns UTF-8 text takes on a console or in Unifont: two for an East Asian wide character.
int textColumns(const char* text);
// The columns of one character.
int codePointColumns(char32_t c);
// Lists the keys beside the window of a web page, each key also a button there; the desktop
// window shows none (runWindow calls this with the window's keys).
void publishKeys(const KeyHelp lines[], int count);

// ---- View scale and transforms ----

// Converts a view coordinate or length for OpenGL (400 pixels per unit over 400: itself).
double toView(double v);
// Multiplies the current matrix by a turn of angle, then a shift along the turned axes.
void rotateTranslate(double angle, double dx, double dy);
// Multiplies the current matrix by a turn of angle about base + offset; no push, no pop.
void rotateAbout(const Point2& base, const Point2& offset, double angle);
// The zoom one 'w' press gives: zoom × 0.9, unless that falls below smallestZoom.
double zoomOut(double zoom);
// The zoom one 'W' press gives: zoom / 0.9, unless that rises above largestZoom.
double zoomIn(double zoom);

// ---- Window reach ----
// What lies well outside the window colours no pixel; long dashed lines, huge circles and
// far-off racks skip it. Each test errs on the side of drawing.

// The current modelview and projection matrices in the plane: window = M·local + t.
struct WindowReach {
    double xx, xy, yx, yy;   // M, row by row
    double tx, ty;           // t
    double stretch;          // the most M lengthens any local length
};

// The reach of the current matrices (read from OpenGL).
WindowReach windowReach();
// Where the local point p shows in the window, in view units.
Point2 inWindow(const WindowReach& w, const Point2& p);
// Whether anything within radius of the local point centre can colour a window pixel.
bool discReachesWindow(const WindowReach& w, const Point2& centre, double radius);
// Whether the local segment a–b can colour a window pixel; slack (view units) widens the
// window further for callers whose points are known only within it.
bool segmentReachesWindow(const WindowReach& w, const Point2& a, const Point2& b, double slack = 0);
// The stretch from … to of the local x axis that can reach the window, for a line of the
// given length along it; false when it passes the window by. A frame holding NaN lets the
// whole axis through.
bool xAxisInReach(const WindowReach& w, double length, double* from, double* to);

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
// Draws the segments k·ends[2i] – k·ends[2i + 1] for i < count, as drawSegmentZoomed would.
void drawSegmentsZoomed(double k, const Point2 ends[], int count, const Rgba& colour);
// Draws the segments ends[2i] – ends[2i + 1] for i < count in one primitive: one draw for all.
void drawSegmentBatch(const Point2 ends[], int count, const Rgba& colour);
// Draws the chain line k·a – k·b.
void drawChainSegmentZoomed(double k, const Point2& a, const Point2& b, const Rgba& colour);
// Draws k·table[0 … last] as segments width view units wide; leaves the line width at 2.0
// when it drew a segment.
void drawWideCurve(double k, const Point2 table[], int last, double width, const Rgba& colour);
// Draws k·table[0 … last] as segments 0.01 wide.
void drawToothCurve(double k, const Point2 table[], int last, const Rgba& colour);
// Draws a black cross of lines through origin, turned by angle, across the whole window.
void drawAxisCross(const Point2& origin, double angle);
// Draws a black grid of 2n + 1 lines each way, spaced dx and dy, turned by angle.
void drawGrid(const Point2& origin, double angle, int n, double dx, double dy);

// ---- Polylines and dots (any units the current matrix maps; widths in pixels) ----

// How a polyline is stroked: GL line width in pixels and a 16-bit line stipple (0xFFFF solid).
struct Stroke {
    Rgba colour;
    float width;
    unsigned short pattern;
};
constexpr unsigned short solidPattern = 0xFFFF;
constexpr unsigned short dashedPattern = 0x0F0F;
constexpr unsigned short chainPattern = 0x18FF;

// Draws points[0 … count − 1] as one line strip, closed back to the first point if asked.
void drawPolyline(const Point2 points[], std::size_t count, bool closed, const Stroke& stroke);
// Draws the arc of the circle of radius r about centre that lies within distance reach of
// near (all of it when reach is infinite), in chords no more than a quarter pixel off the circle at
// pixelsPerUnit; so a huge circle seen close up costs no more than a small one.
void drawCircleNear(const Point2& centre, double r, const Point2& near, double reach, double pixelsPerUnit,
                    const Stroke& stroke);
// Draws a square dot of size pixels at p.
void drawDot(const Point2& p, float size, const Rgba& colour);

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

// ---- Pictures of the window ----

// Writes width × height RGB pixels, top row first, as an 8-bit PNG; false when a write failed.
bool writePng(std::FILE* out, int width, int height, const std::vector<unsigned char>& rgb);
// Reads the current frame (the back buffer, before endFrame) as RGB pixels, top row first.
std::vector<unsigned char> readFramePixels(int width, int height);

// ---- Layers kept between frames ----
// What stays put while frames go by can be drawn once into a layer off the window and shown
// again in every later frame: the driver then fills the window once instead of rasterising
// every line of it again.

// A picture of the window's size, transparent where nothing was drawn into it. A zeroed one
// is empty; it lives as long as the window.
struct KeptLayer {
    unsigned framebuffer;  // OpenGL's names for it, 0 until it is first drawn into
    unsigned texture;
    int width, height;     // the window's size in pixels it was made for
    int shape;             // and the reshape that gave the window that size (1 the first)
    std::vector<unsigned char> drawn;  // per tile of it, whether anything was drawn there
};

// Whether the layer was made for the window as the last reshape left it.
bool layerFitsWindow(const KeptLayer& layer);
// Draws from here on into the layer, emptied first when asked or when it does not fit the
// window; false, drawing still into the window, where the driver has no layers or an SVG
// recording runs (which must see every line).
bool beginLayer(KeptLayer* layer, bool empty);
// Draws into the window again.
void endLayer();
// Puts the layer's drawn pixels over the window's, which stay wherever it is transparent.
void showLayer(const KeptLayer& layer);

// ---- A frame recorded as SVG ----

// From here on, every drawing operation of the toolkit is also kept, in window pixels of a
// width × height window, as the elements of an SVG document.
void beginSvgRecording(int width, int height);
// Ends the recording and gives the whole SVG document (empty if none was begun).
std::string finishSvgRecording();

// ---- Tooth data file (saved through safefile.h's atomic writer) ----

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

