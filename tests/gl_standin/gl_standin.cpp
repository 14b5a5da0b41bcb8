#define GL_GLEXT_PROTOTYPES  // the framebuffer calls, declared as the toolkit sees them
#include "gl_standin.h"

#include <GL/glut.h>
#include <GL/glx.h>

#include <algorithm>
#include <cmath>

namespace glstub {
namespace {

Recording theRecording;

constexpr Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += a[k * 4 + row] * b[col * 4 + k];
            r[col * 4 + row] = s;
        }
    return r;
}

std::vector<Matrix>& currentStack()
{
    Recording& r = theRecording;
    return r.matrixMode == GL_PROJECTION ? r.projection : r.modelview;
}

void log(const char* name, std::initializer_list<double> args = {})
{
    Call c{name, {}};
    for (double a : args) c.args.value[c.args.count++] = a;
    theRecording.calls.push_back(c);
}

void multiplyCurrent(const Matrix& m)
{
    Matrix& top = currentStack().back();
    top = multiply(top, m);
}

void project(double x, double y, double* vx, double* vy)
{
    const Matrix m = multiply(theRecording.projection.back(), theRecording.modelview.back());
    const double w = m[3] * x + m[7] * y + m[15];
    *vx = (m[0] * x + m[4] * y + m[12]) / w;
    *vy = (m[1] * x + m[5] * y + m[13]) / w;
}

}  // namespace

Recording& recording() { return theRecording; }

void reset()
{
    theRecording = Recording{};
    theRecording.modelview = {identity};
    theRecording.projection = {identity};
}

void clearLog()
{
    theRecording.calls.clear();
    theRecording.primitives.clear();
    theRecording.captions.clear();
    theRecording.errors.clear();
}

int countCalls(const std::string& name) { return static_cast<int>(callsNamed(name).size()); }

std::vector<const Call*> callsNamed(const std::string& name)
{
    std::vector<const Call*> found;
    for (const Call& c : theRecording.calls)
        if (c.name == name) found.push_back(&c);
    return found;
}

std::vector<const Primitive*> primitivesOf(GLenum mode)
{
    std::vector<const Primitive*> found;
    for (const Primitive& p : theRecording.primitives)
        if (p.mode == mode) found.push_back(&p);
    return found;
}

Matrix currentModelview() { return theRecording.modelview.back(); }

std::vector<const Primitive*> primitivesInto(unsigned framebuffer)
{
    std::vector<const Primitive*> found;
    for (const Primitive& p : theRecording.primitives)
        if (p.framebuffer == framebuffer) found.push_back(&p);
    return found;
}

bool fireTimer()
{
    void (*timer)(int) = theRecording.timer;
    if (!timer) return false;
    theRecording.timer = nullptr;  // GLUT timers fire once
    timer(theRecording.timerValue);
    return true;
}

// Runs before any test: a fresh context.
static const bool initialised = (reset(), true);

}  // namespace glstub

using glstub::log;
using glstub::theRecording;

extern "C" {

// ---- OpenGL ----

void glClear(GLbitfield mask) { log("glClear", {double(mask)}); }

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    log("glClearColor", {r, g, b, a});
    theRecording.clearColour = {r, g, b, a};
}

void glLoadIdentity()
{
    log("glLoadIdentity");
    glstub::currentStack().back() = glstub::identity;
}

void glMatrixMode(GLenum mode)
{
    log("glMatrixMode", {double(mode)});
    theRecording.matrixMode = mode;
}

void glViewport(GLint x, GLint y, GLsizei w, GLsizei h)
{
    log("glViewport", {double(x), double(y), double(w), double(h)});
    theRecording.viewport = {x, y, w, h};
}

void glFlush() { log("glFlush"); }

void glBegin(GLenum mode)
{
    log("glBegin", {double(mode)});
    if (theRecording.inBegin) theRecording.errors.push_back("glBegin inside glBegin");
    theRecording.inBegin = true;
    const unsigned short stipple = theRecording.stippleEnabled ? theRecording.stipplePattern : 0;
    theRecording.primitives.push_back({mode, {}, theRecording.colour, theRecording.lineWidth, theRecording.lighting,
                                       stipple, theRecording.pointSize, theRecording.framebuffer, 0, theRecording.alphaTest, {}});
}

void glEnd()
{
    log("glEnd");
    if (!theRecording.inBegin) theRecording.errors.push_back("glEnd without glBegin");
    theRecording.inBegin = false;
}

void glVertex2d(GLdouble x, GLdouble y)
{
    log("glVertex2d", {x, y});
    if (!theRecording.inBegin) {
        theRecording.errors.push_back("glVertex2d outside glBegin");
        return;
    }
    glstub::Vertex v{x, y, 0, 0};
    glstub::project(x, y, &v.viewX, &v.viewY);
    theRecording.primitives.back().vertices.push_back(v);
}

void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    log("glColor4f", {r, g, b, a});
    theRecording.colour = {r, g, b, a};
}

void glLineWidth(GLfloat width)
{
    log("glLineWidth", {width});
    theRecording.lineWidth = width;
}

void glEnable(GLenum cap)
{
    log("glEnable", {double(cap)});
    if (cap == GL_LIGHTING) theRecording.lighting = true;
    if (cap == GL_LINE_STIPPLE) theRecording.stippleEnabled = true;
    if (cap == GL_TEXTURE_2D) theRecording.texturing = true;
    if (cap == GL_ALPHA_TEST) theRecording.alphaTest = true;
}

void glDisable(GLenum cap)
{
    log("glDisable", {double(cap)});
    if (cap == GL_LIGHTING) theRecording.lighting = false;
    if (cap == GL_LINE_STIPPLE) theRecording.stippleEnabled = false;
    if (cap == GL_TEXTURE_2D) theRecording.texturing = false;
    if (cap == GL_ALPHA_TEST) theRecording.alphaTest = false;
}

void glLineStipple(GLint factor, GLushort pattern)
{
    log("glLineStipple", {double(factor), double(pattern)});
    theRecording.stipplePattern = pattern;
}

void glPointSize(GLfloat size)
{
    log("glPointSize", {size});
    theRecording.pointSize = size;
}

void glScaled(GLdouble x, GLdouble y, GLdouble z)
{
    log("glScaled", {x, y, z});
    glstub::Matrix m = glstub::identity;
    m[0] = x;
    m[5] = y;
    m[10] = z;
    glstub::multiplyCurrent(m);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near, GLdouble far)
{
    log("glOrtho", {left, right, bottom, top});
    glstub::Matrix m = glstub::identity;
    m[0] = 2 / (right - left);
    m[5] = 2 / (top - bottom);
    m[10] = -2 / (far - near);
    m[12] = -(right + left) / (right - left);
    m[13] = -(top + bottom) / (top - bottom);
    m[14] = -(far + near) / (far - near);
    glstub::multiplyCurrent(m);
}

void glGetIntegerv(GLenum name, GLint* values)
{
    if (name == GL_VIEWPORT) std::copy(theRecording.viewport.begin(), theRecording.viewport.end(), values);
    if (name == GL_LINE_STIPPLE_PATTERN) values[0] = theRecording.stipplePattern;
}

GLboolean glIsEnabled(GLenum cap)
{
    if (cap == GL_LIGHTING) return theRecording.lighting;
    if (cap == GL_LINE_STIPPLE) return theRecording.stippleEnabled;
    return GL_FALSE;
}

void glGetFloatv(GLenum name, GLfloat* values)
{
    if (name == GL_MODELVIEW_MATRIX || name == GL_PROJECTION_MATRIX) {
        const glstub::Matrix& m =
            name == GL_MODELVIEW_MATRIX ? theRecording.modelview.back() : theRecording.projection.back();
        std::copy(m.begin(), m.end(), values);
    }
    if (name == GL_CURRENT_COLOR) std::copy(theRecording.colour.begin(), theRecording.colour.end(), values);
    if (name == GL_COLOR_CLEAR_VALUE) std::copy(theRecording.clearColour.begin(), theRecording.clearColour.end(), values);
    if (name == GL_LINE_WIDTH) values[0] = theRecording.lineWidth;
    if (name == GL_POINT_SIZE) values[0] = theRecording.pointSize;
}

void glPixelStorei(GLenum name, GLint value) { log("glPixelStorei", {double(name), double(value)}); }

void glReadBuffer(GLenum mode) { log("glReadBuffer", {double(mode)}); }

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels)
{
    log("glReadPixels", {double(x), double(y), double(width), double(height)});
    if (format != GL_RGB || type != GL_UNSIGNED_BYTE) {
        theRecording.errors.push_back("glReadPixels: only GL_RGB bytes are read");
        return;
    }
    auto* out = static_cast<unsigned char*>(pixels);
    for (long i = 0; i < long(width) * height; ++i)
        for (int c = 0; c < 3; ++c) out[3 * i + c] = static_cast<unsigned char>(theRecording.framePixel[c] * 255);
}

void glBitmap(GLsizei width, GLsizei height, GLfloat, GLfloat, GLfloat, GLfloat, const GLubyte* bitmap)
{
    log("glBitmap", {double(width), double(height)});
    if (theRecording.captions.empty()) {
        theRecording.errors.push_back("glBitmap without glRasterPos2f");
        return;
    }
    const std::size_t bytes = std::size_t((width + 7) / 8) * std::size_t(height);  // rows of whole bytes
    theRecording.captions.back().glyphs.emplace_back(bitmap, bitmap + bytes);
}

void glLoadMatrixf(const GLfloat* m)
{
    log("glLoadMatrixf");
    std::copy(m, m + 16, glstub::currentStack().back().begin());
}

void glLoadMatrixd(const GLdouble* m)
{
    log("glLoadMatrixd");
    std::copy(m, m + 16, glstub::currentStack().back().begin());
}

void glPushMatrix()
{
    log("glPushMatrix");
    auto& stack = glstub::currentStack();
    stack.push_back(stack.back());
}

void glPopMatrix()
{
    log("glPopMatrix");
    auto& stack = glstub::currentStack();
    if (stack.size() < 2) {
        theRecording.errors.push_back("glPopMatrix on an empty stack");
        return;
    }
    stack.pop_back();
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z)
{
    log("glTranslated", {x, y, z});
    glstub::Matrix m = glstub::identity;
    m[12] = x;
    m[13] = y;
    m[14] = z;
    glstub::multiplyCurrent(m);
}

void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z)
{
    log("glRotated", {angle, x, y, z});
    const double n = std::sqrt(x * x + y * y + z * z);
    x /= n;
    y /= n;
    z /= n;
    const double a = angle * M_PI / 180.0, c = std::cos(a), s = std::sin(a), t = 1 - c;
    const glstub::Matrix m{t * x * x + c,     t * x * y + s * z, t * x * z - s * y, 0,
                           t * x * y - s * z, t * y * y + c,     t * y * z + s * x, 0,
                           t * x * z + s * y, t * y * z - s * x, t * z * z + c,     0,
                           0,                 0,                 0,                 1};
    glstub::multiplyCurrent(m);
}

void glGetDoublev(GLenum name, GLdouble* values)
{
    log("glGetDoublev", {double(name)});
    if (name != GL_MODELVIEW_MATRIX && name != GL_PROJECTION_MATRIX) {
        theRecording.errors.push_back("glGetDoublev of a value the stand-in does not keep");
        return;
    }
    const glstub::Matrix& m =
        name == GL_MODELVIEW_MATRIX ? theRecording.modelview.back() : theRecording.projection.back();
    std::copy(m.begin(), m.end(), values);
}

void glPushAttrib(GLbitfield mask)
{
    log("glPushAttrib", {double(mask)});
    theRecording.attribStack.push_back(theRecording.colour);
}

void glPopAttrib()
{
    log("glPopAttrib");
    if (theRecording.attribStack.empty()) {
        theRecording.errors.push_back("glPopAttrib on an empty stack");
        return;
    }
    theRecording.colour = theRecording.attribStack.back();
    theRecording.attribStack.pop_back();
}

void glRasterPos2f(GLfloat x, GLfloat y)
{
    log("glRasterPos2f", {x, y});
    glstub::Caption c{"", 0, 0, theRecording.lighting, theRecording.colour, nullptr, {}};
    glstub::project(x, y, &c.viewX, &c.viewY);
    theRecording.captions.push_back(c);
}

// ---- Framebuffers, textures and client arrays ----

namespace {

// glGenFramebuffers and glGenTextures: names 1, 2, … across both kinds.
void giveNames(const char* call, GLsizei n, GLuint* names, std::vector<unsigned>* live)
{
    log(call, {double(n)});
    for (GLsizei i = 0; i < n; ++i) live->push_back(names[i] = ++theRecording.lastName);
}

// glDeleteFramebuffers and glDeleteTextures. As in OpenGL, a name that names nothing is passed over.
void deleteNames(const char* call, GLsizei n, const GLuint* names, std::vector<unsigned>* live)
{
    log(call, {double(n)});
    for (GLsizei i = 0; i < n; ++i) live->erase(std::remove(live->begin(), live->end(), names[i]), live->end());
}

}  // namespace

void glGenFramebuffers(GLsizei n, GLuint* names) { giveNames("glGenFramebuffers", n, names, &theRecording.framebuffers); }

void glDeleteFramebuffers(GLsizei n, const GLuint* names)
{
    deleteNames("glDeleteFramebuffers", n, names, &theRecording.framebuffers);
}

void glBindFramebuffer(GLenum, GLuint framebuffer)
{
    log("glBindFramebuffer", {double(framebuffer)});
    if (theRecording.inBegin) theRecording.errors.push_back("glBindFramebuffer inside glBegin");
    theRecording.framebuffer = framebuffer;
}

void glFramebufferTexture2D(GLenum, GLenum, GLenum, GLuint texture, GLint)
{
    log("glFramebufferTexture2D", {double(texture)});
    theRecording.attachments.push_back({theRecording.framebuffer, texture});
}

GLenum glCheckFramebufferStatus(GLenum)
{
    log("glCheckFramebufferStatus");
    return theRecording.framebuffersWork ? GL_FRAMEBUFFER_COMPLETE : GL_FRAMEBUFFER_UNSUPPORTED;
}

void glGenTextures(GLsizei n, GLuint* names) { giveNames("glGenTextures", n, names, &theRecording.textures); }
void glDeleteTextures(GLsizei n, const GLuint* names) { deleteNames("glDeleteTextures", n, names, &theRecording.textures); }

void glBindTexture(GLenum, GLuint texture)
{
    log("glBindTexture", {double(texture)});
    theRecording.texture = texture;
}

void glTexParameteri(GLenum, GLenum name, GLint value) { log("glTexParameteri", {double(name), double(value)}); }
void glTexEnvi(GLenum, GLenum name, GLint value) { log("glTexEnvi", {double(name), double(value)}); }
void glAlphaFunc(GLenum function, GLclampf reference) { log("glAlphaFunc", {double(function), reference}); }

void glTexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum, GLenum, const GLvoid*)
{
    log("glTexImage2D", {double(width), double(height)});
    theRecording.textureSizes.push_back({int(theRecording.texture), width, height});
}

void glEnableClientState(GLenum array)
{
    log("glEnableClientState", {double(array)});
    if (array == GL_VERTEX_ARRAY) theRecording.vertexArrayOn = true;
    if (array == GL_TEXTURE_COORD_ARRAY) theRecording.texelArrayOn = true;
}

void glDisableClientState(GLenum array)
{
    log("glDisableClientState", {double(array)});
    if (array == GL_VERTEX_ARRAY) theRecording.vertexArrayOn = false;
    if (array == GL_TEXTURE_COORD_ARRAY) theRecording.texelArrayOn = false;
}

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    log("glVertexPointer", {double(size)});
    if (size != 2 || type != GL_FLOAT || stride != 0) theRecording.errors.push_back("glVertexPointer: only packed 2D floats");
    theRecording.vertexArray = static_cast<const float*>(pointer);
}

void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    log("glTexCoordPointer", {double(size)});
    if (size != 2 || type != GL_FLOAT || stride != 0) theRecording.errors.push_back("glTexCoordPointer: only packed 2D floats");
    theRecording.texelArray = static_cast<const float*>(pointer);
}

// Kept as a primitive whose vertices are those of the array.
void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    log("glDrawArrays", {double(mode), double(first), double(count)});
    glstub::Recording& r = theRecording;
    if (!r.vertexArrayOn || !r.vertexArray) {
        r.errors.push_back("glDrawArrays without a vertex array");
        return;
    }
    glstub::Primitive p{mode, {}, r.colour, r.lineWidth, r.lighting, 0, r.pointSize, r.framebuffer,
                        r.texturing ? r.texture : 0, r.alphaTest, {}};
    for (GLsizei i = first; i < first + count; ++i) {
        glstub::Vertex v{r.vertexArray[2 * i], r.vertexArray[2 * i + 1], 0, 0};
        glstub::project(v.x, v.y, &v.viewX, &v.viewY);
        p.vertices.push_back(v);
        if (r.texelArrayOn && r.texelArray) p.texels.push_back({r.texelArray[2 * i], r.texelArray[2 * i + 1]});
    }
    r.primitives.push_back(p);
}

// ---- GLUT ----

void glutInitWindowSize(int width, int height)
{
    log("glutInitWindowSize", {double(width), double(height)});
    theRecording.windowWidth = width;
    theRecording.windowHeight = height;
}

void glutInit(int* argc, char** argv)
{
    log("glutInit", {double(*argc)});
    (void)argv;
    theRecording.glutInitialised = true;
}

void glutInitDisplayMode(unsigned int mode)
{
    log("glutInitDisplayMode", {double(mode)});
    theRecording.displayMode = mode;
}

int glutCreateWindow(const char* title)
{
    log("glutCreateWindow");
    if (!theRecording.glutInitialised) theRecording.errors.push_back("glutCreateWindow before glutInit");
    theRecording.windowTitle = title;
    return 1;
}

void glutDisplayFunc(void (*f)())
{
    log("glutDisplayFunc");
    theRecording.display = f;
}

void glutReshapeFunc(void (*f)(int, int))
{
    log("glutReshapeFunc");
    theRecording.reshape = f;
}

void glutKeyboardFunc(void (*f)(unsigned char, int, int))
{
    log("glutKeyboardFunc");
    theRecording.keyboard = f;
}

void glutSpecialFunc(void (*f)(int, int, int))
{
    log("glutSpecialFunc");
    theRecording.special = f;
}

void glutPostRedisplay()
{
    log("glutPostRedisplay");
    ++theRecording.redisplaysPosted;
}

void glutIdleFunc(void (*)()) { theRecording.idleOrTimerOrMouse = true; }
void glutTimerFunc(unsigned int delay, void (*f)(int), int value)
{
    log("glutTimerFunc", {double(delay), double(value)});
    theRecording.idleOrTimerOrMouse = true;
    theRecording.timer = f;
    theRecording.timerDelay = delay;
    theRecording.timerValue = value;
}
void glutMouseFunc(void (*)(int, int, int, int)) { theRecording.idleOrTimerOrMouse = true; }

// The font handle the programs pass; only its address matters.
void* glutBitmapHelvetica18 = nullptr;

// The real loop never returns; the stand-in returns at once so runWindow can be tested.
void glutMainLoop() { log("glutMainLoop"); }

void glutSwapBuffers() { log("glutSwapBuffers"); }

void glutBitmapCharacter(void* font, int character)
{
    log("glutBitmapCharacter", {double(character)});
    if (theRecording.captions.empty()) {
        theRecording.errors.push_back("glutBitmapCharacter without glRasterPos2f");
        return;
    }
    theRecording.captions.back().text.push_back(static_cast<char>(character));
    theRecording.captions.back().font = font;
}

// ---- GLX and Xlib: a pretend display that records the window's properties ----

// Never dereferenced: only the Xlib calls below receive it.
Display* glXGetCurrentDisplay() { return reinterpret_cast<Display*>(&theRecording); }
GLXDrawable glXGetCurrentDrawable() { return 1; }

Atom XInternAtom(Display*, const char* name, Bool)
{
    auto& atoms = theRecording.atoms;
    for (std::size_t i = 0; i < atoms.size(); ++i)
        if (atoms[i] == name) return i + 1;
    atoms.push_back(name);
    return atoms.size();
}

int XChangeProperty(Display*, Window, Atom property, Atom type, int format, int, const unsigned char* data,
                    int items)
{
    const auto name = [](Atom a) { return a >= 1 && a <= theRecording.atoms.size() ? theRecording.atoms[a - 1] : "?"; };
    theRecording.windowProperties.push_back(
        {name(property), name(type), format, std::string(reinterpret_cast<const char*>(data), items * format / 8)});
    return 1;
}

int XFlush(Display*) { return 1; }

}  // extern "C"
