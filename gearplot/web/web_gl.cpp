// The toolkit's web layer: what WebGL under Emscripten's legacy GL emulation draws
// differently from desktop OpenGL, and the window loop that lets a key handler wait for the
// console. Only the web build compiles this file; web_gl.h routes the calls here.
#include "gearplot.h"

#include <algorithm>
#include <cmath>
#include <vector>

// The real calls, under the names web_gl.h reroutes.
#undef glBegin
#undef glEnd
#undef glLineWidth
#undef glutSwapBuffers
#undef glutDisplayFunc
#undef glutReshapeFunc
#undef glutKeyboardFunc
#undef glutMainLoop

// ---- The page (gearplot_page.js) ----
extern "C" {
// Waits until a key is typed on the page and returns its character code.
int gearplot_web_wait_key();
// Starts a caption at view position (x, y) in the current matrices and colour.
void gearplot_web_raster_pos(float x, float y);
// Appends one character of the given font to the current caption.
void gearplot_web_caption_char(int font, int c);
// Paints the frame's captions and counts the frame.
void gearplot_web_end_frame();
// Sets the page title (UTF-8).
void gearplot_web_set_title(const char* title);

// freeglut's bitmap fonts are addresses of these; only the address matters here.
void* glutStrokeRoman;
void* glutStrokeMonoRoman;
void* glutBitmap9By15;
void* glutBitmap8By13;
void* glutBitmapTimesRoman10;
void* glutBitmapTimesRoman24;
void* glutBitmapHelvetica10;
void* glutBitmapHelvetica12;
void* glutBitmapHelvetica18;
}

namespace {

// ---- Web layer state, one instance ----
struct WebGlState {
    GLenum mode;                                    // the primitive between begin and end
    bool collecting;                                // wide lines: vertices kept until glEnd
    float lineWidth;                                // whole pixels
    std::vector<Point2> vertices;                   // object coordinates of the wide lines
    void (*display)();                              // the window's handlers
    void (*reshape)(int width, int height);
    void (*keyboard)(unsigned char key, int x, int y);
};
WebGlState web{GL_LINES, false, 1.0f, {}, nullptr, nullptr, nullptr};

bool isLineMode(GLenum mode) { return mode == GL_LINES || mode == GL_LINE_STRIP || mode == GL_LINE_LOOP; }

// The segments of the collected line primitive, as index pairs.
std::vector<std::pair<std::size_t, std::size_t>> lineSegments(GLenum mode, std::size_t n)
{
    std::vector<std::pair<std::size_t, std::size_t>> segments;
    if (mode == GL_LINES) {
        for (std::size_t i = 0; i + 1 < n; i += 2) segments.emplace_back(i, i + 1);
    } else {
        for (std::size_t i = 0; i + 1 < n; ++i) segments.emplace_back(i, i + 1);
        if (mode == GL_LINE_LOOP && n > 2) segments.emplace_back(n - 1, 0);
    }
    return segments;
}

// Draws the collected lines as quads lineWidth pixels across. As in desktop OpenGL, a line
// that runs more across than up is widened vertically, any other horizontally, so the ends
// are cut square to the axis, not to the line.
void drawWideLines()
{
    GLfloat modelview[16], projection[16];
    GLint viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // The x-y part of projection × modelview: object units to device units (-1 … 1).
    double a[2][3];
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) {
            const int c = col == 2 ? 3 : col;  // x, y and the translation column
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * modelview[c * 4 + k];
            a[row][col] = sum;
        }
    const double det = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    if (std::fabs(det) < 1e-300 || viewport[2] <= 0 || viewport[3] <= 0) return;
    // A window offset in pixels, as an object offset.
    const auto objectOffset = [&](double px, double py) {
        const double dx = px * 2 / viewport[2], dy = py * 2 / viewport[3];
        return Point2{(a[1][1] * dx - a[0][1] * dy) / det, (-a[1][0] * dx + a[0][0] * dy) / det};
    };
    const double half = web.lineWidth / 2;
    glBegin(GL_TRIANGLES);
    for (const auto& [i, j] : lineSegments(web.mode, web.vertices.size())) {
        const Point2 p = web.vertices[i], q = web.vertices[j];
        const double wx = (a[0][0] * (q.x - p.x) + a[0][1] * (q.y - p.y)) * viewport[2];
        const double wy = (a[1][0] * (q.x - p.x) + a[1][1] * (q.y - p.y)) * viewport[3];
        const Point2 o = std::fabs(wx) >= std::fabs(wy) ? objectOffset(0, half) : objectOffset(half, 0);
        const Point2 corners[6] = {{p.x - o.x, p.y - o.y}, {q.x - o.x, q.y - o.y}, {q.x + o.x, q.y + o.y},
                                   {p.x - o.x, p.y - o.y}, {q.x + o.x, q.y + o.y}, {p.x + o.x, p.y + o.y}};
        for (const Point2& c : corners) glVertex2f(static_cast<GLfloat>(c.x), static_cast<GLfloat>(c.y));
    }
    glEnd();
}

int fontNumber(void* font)
{
    void* const fonts[] = {GLUT_BITMAP_9_BY_15,        GLUT_BITMAP_8_BY_13,     GLUT_BITMAP_TIMES_ROMAN_10,
                           GLUT_BITMAP_TIMES_ROMAN_24, GLUT_BITMAP_HELVETICA_10, GLUT_BITMAP_HELVETICA_12,
                           GLUT_BITMAP_HELVETICA_18};
    for (int i = 0; i < static_cast<int>(std::size(fonts)); ++i)
        if (font == fonts[i]) return i;
    return 6;
}

}  // namespace

// ---- Immediate mode ----

void gearplotWebBegin(GLenum mode)
{
    web.mode = mode;
    web.collecting = isLineMode(mode) && web.lineWidth > 1;
    web.vertices.clear();
    if (!web.collecting) glBegin(mode == GL_POLYGON ? GL_TRIANGLE_FAN : mode);
}

void gearplotWebEnd()
{
    if (!web.collecting) {
        glEnd();
        return;
    }
    web.collecting = false;
    drawWideLines();
}

void gearplotWebLineWidth(GLfloat width)
{
    // Lines without antialiasing are drawn the width rounded to whole pixels, at least one.
    web.lineWidth = std::max(1.0f, std::round(width));
    glLineWidth(1);  // the only width WebGL promises
}

// Missing in the emulation: the float form does as well at these scales.
void glVertex2d(GLdouble x, GLdouble y)
{
    if (web.collecting) web.vertices.push_back({x, y});
    else glVertex2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y));
}

// Missing in the emulation: the matrices are read as floats and widened.
void glGetDoublev(GLenum name, GLdouble* values)
{
    GLfloat f[16] = {};
    glGetFloatv(name, f);
    for (int i = 0; i < 16; ++i) values[i] = f[i];
}

// ---- Captions, drawn by the page over the canvas ----

void glRasterPos2f(GLfloat x, GLfloat y) { gearplot_web_raster_pos(x, y); }
void glutBitmapCharacter(void* font, int character) { gearplot_web_caption_char(fontNumber(font), character); }
// A raster position changes no current colour here, so there is nothing to keep.
void glPushAttrib(GLbitfield) {}
void glPopAttrib() {}

// ---- Window ----

void publishUtf8Title(const char* title) { gearplot_web_set_title(title); }

void gearplotWebSwapBuffers()
{
    glutSwapBuffers();
    gearplot_web_end_frame();
}

void gearplotWebDisplayFunc(void (*display)()) { web.display = display; }
void gearplotWebReshapeFunc(void (*reshape)(int, int)) { web.reshape = reshape; }
void gearplotWebKeyboardFunc(void (*keyboard)(unsigned char, int, int)) { web.keyboard = keyboard; }

// The window's first frame, then every key in turn. Runs on main's stack, so a key handler
// that asks on the console simply waits there for the answer.
void gearplotWebMainLoop()
{
    if (web.reshape) web.reshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    if (web.display) web.display();
    for (;;) {
        const int key = gearplot_web_wait_key();
        if (web.keyboard) web.keyboard(static_cast<unsigned char>(key), 0, 0);
    }
}
