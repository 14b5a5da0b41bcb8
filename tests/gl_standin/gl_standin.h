// A recording stand-in for the OpenGL, GLUT and GLX functions the programs call, and the
// few Xlib calls that set window properties.
// Linked into the drawing tests instead of the real libraries: every call is logged, and
// the primitives, captions and state changes are kept so a test can check what a frame drew.
#pragma once

#include <GL/gl.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

namespace glstub {

using Colour = std::array<float, 4>;
using Matrix = std::array<double, 16>;  // column-major, as OpenGL keeps it

struct Vertex {
    double x, y;          // as given to glVertex2d
    double viewX, viewY;  // after the modelview and projection matrices: where it shows
};

struct Primitive {
    GLenum mode;                    // GL_LINES, GL_LINE_LOOP, GL_POLYGON, …
    std::vector<Vertex> vertices;
    Colour colour;                  // current colour at glBegin
    float lineWidth;                // current line width at glBegin
    bool lighting;                  // GL_LIGHTING at glBegin
    unsigned short stipple;         // the line stipple at glBegin, 0 when not enabled
    float pointSize;                // current point size at glBegin
    unsigned framebuffer = 0;       // the framebuffer drawn into; 0 the window
    unsigned texture = 0;           // the texture drawn with (glDrawArrays with GL_TEXTURE_2D on)
    bool alphaTested = false;       // GL_ALPHA_TEST was on
    std::vector<std::array<float, 2>> texels;  // each vertex's texture coordinates, when drawn with them
};

struct Caption {
    std::string text;               // the bytes given to glutBitmapCharacter
    double viewX, viewY;            // raster position after the matrices
    bool lit;                       // GL_LIGHTING at glRasterPos2f: near-black if so
    Colour colour;                  // current colour at glRasterPos2f (shows when not lit)
    void* font;
    std::vector<std::vector<unsigned char>> glyphs;  // each glBitmap drawn from here: its rows, bottom first
};

// The numeric arguments of one call, kept without allocating: a frame makes millions.
struct Arguments {
    std::array<double, 4> value{};
    std::size_t count = 0;
    std::size_t size() const { return count; }
    double operator[](std::size_t i) const { return value[i]; }
    double at(std::size_t i) const { return i < count ? value[i] : throw std::out_of_range("argument"); }
    std::vector<double> list() const { return {value.begin(), value.begin() + count}; }
};

// A property set on the window through Xlib, with its atoms as names.
struct WindowProperty {
    std::string name;               // "_NET_WM_NAME", …
    std::string type;               // "UTF8_STRING", …
    int format;                     // bits per item
    std::string value;              // the bytes given
};

struct Call {
    std::string name;               // "glTranslated", "glutSwapBuffers", …
    Arguments args;                 // numeric arguments in order (enums as numbers)
};

struct Recording {
    std::vector<Call> calls;
    std::vector<Primitive> primitives;
    std::vector<Caption> captions;
    std::vector<std::string> errors;   // misuse: vertex outside glBegin, stack underflow, …

    // OpenGL state
    bool lighting = false;
    float lineWidth = 1.0f;
    float pointSize = 1.0f;
    bool stippleEnabled = false;
    unsigned short stipplePattern = 0xFFFF;
    Colour colour{1, 1, 1, 1};
    Colour clearColour{0, 0, 0, 0};
    std::array<int, 4> viewport{0, 0, 0, 0};
    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Matrix> modelview;
    std::vector<Matrix> projection;
    std::vector<Colour> attribStack;
    bool inBegin = false;

    // Framebuffers, textures and client arrays
    bool framebuffersWork = true;          // false: a driver that completes no framebuffer
    unsigned framebuffer = 0;              // bound; 0 the window
    unsigned texture = 0;                  // bound to GL_TEXTURE_2D
    bool texturing = false;                // GL_TEXTURE_2D enabled
    bool alphaTest = false;                // GL_ALPHA_TEST enabled
    unsigned lastName = 0;                 // names are given 1, 2, … across both kinds
    std::vector<unsigned> framebuffers;    // made and not deleted
    std::vector<unsigned> textures;
    std::vector<std::array<int, 3>> textureSizes;  // name, width, height, as glTexImage2D made them
    std::vector<std::array<unsigned, 2>> attachments;  // framebuffer, texture
    const float* vertexArray = nullptr;    // glVertexPointer's, two floats a vertex
    const float* texelArray = nullptr;     // glTexCoordPointer's, likewise
    bool vertexArrayOn = false, texelArrayOn = false;

    // GLUT state
    bool glutInitialised = false;
    int windowWidth = 300, windowHeight = 300;
    unsigned displayMode = 0;
    std::string windowTitle;
    void (*display)() = nullptr;
    void (*reshape)(int, int) = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;
    void (*special)(int, int, int) = nullptr;
    bool idleOrTimerOrMouse = false;
    void (*timer)(int) = nullptr;          // the last timer set, and its delay and value
    unsigned timerDelay = 0;
    int timerValue = 0;
    int redisplaysPosted = 0;
    Colour framePixel{1, 1, 1, 1};         // what glReadPixels reads everywhere

    // The pretend X display behind glXGetCurrentDisplay
    std::vector<std::string> atoms;               // atom n is atoms[n - 1]
    std::vector<WindowProperty> windowProperties; // in the order they were set
};

// The one recording; reset() gives a fresh context (lighting off, width 1, identities).
Recording& recording();
void reset();
// Forgets the calls, primitives and captions recorded so far but keeps the GL state.
void clearLog();

// Fires the timer set last (as GLUT would once its delay passed); false if none was set.
bool fireTimer();

// Small queries the tests use often.
int countCalls(const std::string& name);
std::vector<const Call*> callsNamed(const std::string& name);
std::vector<const Primitive*> primitivesOf(GLenum mode);
Matrix currentModelview();
// The primitives drawn into the framebuffer (0: the window).
std::vector<const Primitive*> primitivesInto(unsigned framebuffer);

}  // namespace glstub
