// The toolkit's web layer: what WebGL under Emscripten's legacy GL emulation draws
// differently from desktop OpenGL, and the window loop that lets a key handler wait for the
// console. Only the web build compiles this file; web_gl.h routes the calls here.
#include "emit.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <unordered_set>
#include <utility>
#include <cmath>
#include <vector>

// The real calls, under the names web_gl.h reroutes.
#undef glBegin
#undef glEnd
#undef glLineWidth
#undef glEnable
#undef glDisable
#undef glLineStipple
#undef glPointSize
#undef glMatrixMode
#undef glLoadIdentity
#undef glLoadMatrixf
#undef glLoadMatrixd
#undef glPushMatrix
#undef glPopMatrix
#undef glTranslated
#undef glRotated
#undef glScaled
#undef glOrtho
#undef glGetFloatv
#undef glGetIntegerv
#undef glColor4f
#undef glClear
#undef glViewport
#undef glBindFramebuffer
#undef glBindTexture
#undef glTexImage2D
#undef glReadPixels
#undef glutSwapBuffers
#undef glutDisplayFunc
#undef glutReshapeFunc
#undef glutKeyboardFunc
#undef glutSpecialFunc
#undef glutTimerFunc
#undef glutPostRedisplay
#undef glutMainLoop

// ---- The page (gearplot_page.js) ----
extern "C" {
// Waits until a key is typed on the page, or at most milliseconds when that is not negative.
// Gives the key's character code, specialKeyBase + its GLUT code for an arrow or function
// key, or noKey when the time ran out.
int gearplot_web_wait_key(double milliseconds);
// Starts a caption at device position (x, y), -1 … 1 across the window, in the current colour.
void gearplot_web_raster_pos(double x, double y);
// Appends one character of the given font to the current caption.
void gearplot_web_caption_char(int font, int c);
// Paints the frame's captions and counts the frame.
void gearplot_web_end_frame();
// Sets the page title (UTF-8).
void gearplot_web_set_title(const char* title);
// The frame drawn so far, captions included, as width × height RGB rows from the bottom.
void gearplot_web_read_picture(int width, int height, unsigned char* rgb);
// Whether the page resized the canvas since the last call.
int gearplot_web_take_resize();
// Canvas pixels per window pixel: the page shows the window fitted to the screen.
double gearplot_web_scale();
// Tells the page the window is made, width × height window pixels.
void gearplot_web_window_made(int width, int height);
// Lists the program's keys on the page: JSON [{"keys": [codes], "names": …, "effect": …}].
void gearplot_web_publish_keys(const char* json);

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

constexpr int specialKeyBase = 256;  // the page's codes of arrow and function keys start here
constexpr int noKey = -1;
constexpr int resizeKey = -2;        // no key: the page resized the canvas

// A glutTimerFunc call waiting for its time.
struct PendingTimer {
    double due;                                     // emscripten_get_now() milliseconds
    void (*timer)(int value);
    int value;
};

// ---- Web layer state, one instance ----
struct WebGlState {
    GLenum mode;                                    // the primitive between begin and end
    bool collecting;                                // wide or stippled lines: vertices kept until glEnd
    float lineWidth;                                // whole pixels
    bool stippling;                                 // GL_LINE_STIPPLE is enabled
    int stippleFactor;                              // pixels per bit of the pattern
    unsigned short stipplePattern;                  // bit 0 first, a set bit draws
    std::vector<Point2> vertices;                   // object coordinates of those lines
    void (*display)();                              // the window's handlers
    void (*reshape)(int width, int height);
    void (*keyboard)(unsigned char key, int x, int y);
    void (*special)(int key, int x, int y);
    std::vector<PendingTimer> timers;               // in the order they were set
    bool redisplay;                                 // a frame was asked for since the last one
    int windowWidth, windowHeight;                  // the program's window, in its own pixels
    GLint viewport[4];                              // as the program set it, in window pixels
    double scale;                                   // canvas pixels per window pixel
};
WebGlState web{GL_LINES, false, 1.0f, false, 1, 0xFFFF, {}, nullptr, nullptr, nullptr, nullptr, {}, false,
               800, 800, {0, 0, 800, 800}, 1.0};

// The width of the lines being drawn, in canvas pixels.
float canvasLineWidth() { return std::max(1.0f, std::round(web.lineWidth * static_cast<float>(web.scale))); }

// ---- The matrices, kept here ----
// The emulation keeps its matrices in JavaScript, where every turn costs a matrix product
// and every read a call out of the program. The layer keeps them itself, in double
// precision, places every vertex with them and leaves the emulation's at the identity.

using Matrix = std::array<double, 16>;  // column-major, as OpenGL keeps it
constexpr Matrix identityMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct MatrixStacks {
    std::vector<Matrix> modelview{identityMatrix};
    std::vector<Matrix> projection{identityMatrix};
    GLenum mode = GL_MODELVIEW;

    std::vector<Matrix>& current() { return mode == GL_PROJECTION ? projection : modelview; }
};
MatrixStacks matrices;

// The current matrix multiplied on the right by the identity with the given entries changed,
// as glMultMatrix does.
void multiplyCurrent(std::initializer_list<std::pair<int, double>> entries)
{
    Matrix m = identityMatrix;
    for (const auto& [index, value] : entries) m[index] = value;
    Matrix& c = matrices.current().back();
    Matrix product{};
    multiplyMatrices(c.data(), m.data(), product.data());
    c = product;
}

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

// Object units to window pixels, as the current matrices and viewport map them.
struct PixelMap {
    double a[2][3];     // the x-y part of projection × modelview: object to device units (-1 … 1)
    double det;
    GLint viewport[4];

    // The window offset of an object offset.
    Point2 pixels(const Point2& d) const
    {
        return {(a[0][0] * d.x + a[0][1] * d.y) * viewport[2] / 2, (a[1][0] * d.x + a[1][1] * d.y) * viewport[3] / 2};
    }
    // The object offset of a window offset.
    Point2 object(double px, double py) const
    {
        const double dx = px * 2 / viewport[2], dy = py * 2 / viewport[3];
        return {(a[1][1] * dx - a[0][1] * dy) / det, (-a[1][0] * dx + a[0][0] * dy) / det};
    }
    bool usable() const { return std::fabs(det) >= 1e-300 && viewport[2] > 0 && viewport[3] > 0; }
};

PixelMap currentPixelMap()
{
    const Matrix& modelview = matrices.modelview.back();
    const Matrix& projection = matrices.projection.back();
    PixelMap map{};
    for (int i = 0; i < 4; ++i) map.viewport[i] = static_cast<GLint>(std::lround(web.viewport[i] * web.scale));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) {
            const int c = col == 2 ? 3 : col;  // x, y and the translation column
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * modelview[c * 4 + k];
            map.a[row][col] = sum;
        }
    map.det = map.a[0][0] * map.a[1][1] - map.a[0][1] * map.a[1][0];
    return map;
}

using Segment = std::pair<Point2, Point2>;

// The dashes of the stipple along the segments. As in desktop OpenGL, the pattern advances
// one bit per factor pixels along the line's longer axis, and starts again at each glBegin,
// and at each segment of GL_LINES.
std::vector<Segment> stippleDashes(const PixelMap& map, const std::vector<Segment>& segments)
{
    std::vector<Segment> dashes;
    long counter = 0;
    for (const Segment& segment : segments) {
        const Point2 p = segment.first, q = segment.second;
        if (web.mode == GL_LINES) counter = 0;
        const Point2 d = map.pixels({q.x - p.x, q.y - p.y});
        // Counted in window pixels, as the desktop counts them, whatever the page's scale.
        const long length = std::lround(std::max(std::fabs(d.x), std::fabs(d.y)) / web.scale);
        const auto at = [&](long k) {
            const double t = length ? static_cast<double>(k) / length : 0;
            return Point2{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
        };
        long start = -1;  // the first pixel of the dash being drawn
        for (long k = 0; k <= length; ++k, ++counter) {
            const bool on = k < length && (web.stipplePattern >> ((counter / web.stippleFactor) % 16) & 1);
            if (on && start < 0) start = k;
            if (!on && start >= 0) {
                dashes.emplace_back(at(start), at(k));
                start = -1;
            }
        }
        --counter;  // the end pixel is the next segment's first
    }
    return dashes;
}

// ---- One draw for many primitives ----
// Every glBegin … glEnd of the emulation is a draw of its own, with its buffer upload and its
// state, and costs the page far more than the desktop's driver. So the web layer keeps the
// primitives of a frame, placed on the device by their own matrices, and draws each run of
// the same kind (lines, triangles, points of one size) as one array, in the order drawn.

enum class BatchKind { none, lines, triangles, points };

struct Batch {
    BatchKind kind;
    float pointSize;              // canvas pixels, for points
    std::vector<float> xy;        // device coordinates (-1 … 1), two a vertex
    std::vector<float> rgba;      // four a vertex
};
Batch batch{BatchKind::none, 1, {}, {}};

// The segments of the batch since the colour last changed, by where they land: a segment
// drawn again within a 64th of a pixel of itself, in the same colour and width, adds nothing
// to see but costs the software renderer its pixels once more (outlines drawn overlapping,
// such as neighbouring rack copies, share segments), so it is drawn once.
struct SegmentKey {
    long long ax, ay, bx, by;  // canvas pixels / 64, the ends in order
    float width;
    bool operator==(const SegmentKey& o) const
    {
        return ax == o.ax && ay == o.ay && bx == o.bx && by == o.by && width == o.width;
    }
};
struct SegmentKeyHash {
    std::size_t operator()(const SegmentKey& k) const
    {
        std::size_t h = std::hash<long long>()(k.ax);
        for (long long v : {k.ay, k.bx, k.by}) h = h * 1000003u ^ std::hash<long long>()(v);
        return h;
    }
};
std::unordered_set<SegmentKey, SegmentKeyHash> drawnSegments;
float currentColour[4] = {1, 1, 1, 1};  // as glColor4f last set it
bool lit = false;                       // GL_LIGHTING is enabled
float pointSize = 1;                    // canvas pixels

GLenum glModeOf(BatchKind kind)
{
    return kind == BatchKind::lines ? GL_LINES : kind == BatchKind::points ? GL_POINTS : GL_TRIANGLES;
}

// Draws what the batch holds, with both matrices the identity for it alone.
void flushBatch()
{
    const GLsizei count = static_cast<GLsizei>(batch.xy.size() / 2);
    if (count == 0) return;
    if (lit) glDisable(GL_LIGHTING);  // gathered unlit, drawn when a caption may have lit it again
    if (batch.kind == BatchKind::points) glPointSize(batch.pointSize);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, batch.xy.data());
    glColorPointer(4, GL_FLOAT, 0, batch.rgba.data());
    glDrawArrays(glModeOf(batch.kind), 0, count);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glColor4f(currentColour[0], currentColour[1], currentColour[2], currentColour[3]);
    glPointSize(pointSize);
    if (lit) glEnable(GL_LIGHTING);
    drawnSegments.clear();
    batch.xy.clear();
    batch.rgba.clear();
    batch.kind = BatchKind::none;
}

// The most vertices one draw takes: the emulation copies them into a buffer of at most 2 MB.
constexpr std::size_t mostBatchVertices = 65536;

// Starts or goes on with a batch of the kind, with room for the given vertices.
void joinBatch(BatchKind kind, std::size_t vertices)
{
    if (batch.kind != kind || (kind == BatchKind::points && batch.pointSize != pointSize) ||
        batch.xy.size() / 2 + vertices > mostBatchVertices)
        flushBatch();
    batch.kind = kind;
    batch.pointSize = pointSize;
}

// The colour a primitive drawn with lighting on takes, with no light enabled: the material's
// ambient 0.2 times the model's ambient 0.2. No program draws so but its captions.
constexpr float litColour[4] = {0.04f, 0.04f, 0.04f, 1};

// Adds the object point p, placed by map, in the current colour.
void addVertex(const PixelMap& map, const Point2& p)
{
    batch.xy.push_back(static_cast<float>(map.a[0][0] * p.x + map.a[0][1] * p.y + map.a[0][2]));
    batch.xy.push_back(static_cast<float>(map.a[1][0] * p.x + map.a[1][1] * p.y + map.a[1][2]));
    const float* colour = lit ? litColour : currentColour;
    batch.rgba.insert(batch.rgba.end(), colour, colour + 4);
}

// The collected lines: stippled into dashes, and as quads lineWidth pixels across when wider
// than one. As in desktop OpenGL, a wide line that runs more across than up is widened
// vertically, any other horizontally, so the ends are cut square to the axis, not to the line.
void batchLines(const PixelMap& map)
{
    std::vector<Segment> segments;
    for (const auto& [i, j] : lineSegments(web.mode, web.vertices.size()))
        segments.emplace_back(web.vertices[i], web.vertices[j]);
    if (web.stippling) segments = stippleDashes(map, segments);
    const auto onCanvas = [&](const Point2& p) {
        const double x = map.a[0][0] * p.x + map.a[0][1] * p.y + map.a[0][2];
        const double y = map.a[1][0] * p.x + map.a[1][1] * p.y + map.a[1][2];
        return std::pair<long long, long long>{std::llround(x * map.viewport[2] * 32), std::llround(y * map.viewport[3] * 32)};
    };
    const auto drawnAlready = [&](const Segment& s) {
        auto a = onCanvas(s.first), b = onCanvas(s.second);
        if (b < a) std::swap(a, b);
        return !drawnSegments.insert({a.first, a.second, b.first, b.second, canvasLineWidth()}).second;
    };
    segments.erase(std::remove_if(segments.begin(), segments.end(), drawnAlready), segments.end());
    if (canvasLineWidth() <= 1) {
        for (const auto& [p, q] : segments) {
            joinBatch(BatchKind::lines, 2);
            addVertex(map, p);
            addVertex(map, q);
        }
        return;
    }
    const double half = canvasLineWidth() / 2.0;
    for (const auto& [p, q] : segments) {
        joinBatch(BatchKind::triangles, 6);
        const Point2 w = map.pixels({q.x - p.x, q.y - p.y});
        const Point2 o = std::fabs(w.x) >= std::fabs(w.y) ? map.object(0, half) : map.object(half, 0);
        const Point2 corners[6] = {{p.x - o.x, p.y - o.y}, {q.x - o.x, q.y - o.y}, {q.x + o.x, q.y + o.y},
                                   {p.x - o.x, p.y - o.y}, {q.x + o.x, q.y + o.y}, {p.x + o.x, p.y + o.y}};
        for (const Point2& c : corners) addVertex(map, c);
    }
}

// The collected primitive into the batch.
void batchPrimitive()
{
    const std::vector<Point2>& v = web.vertices;
    const PixelMap map = currentPixelMap();
    if (!map.usable()) return;
    if (isLineMode(web.mode)) {
        batchLines(map);
    } else if (web.mode == GL_POINTS) {
        for (const Point2& p : v) {
            joinBatch(BatchKind::points, 1);
            addVertex(map, p);
        }
    } else if (web.mode == GL_TRIANGLES) {
        for (std::size_t i = 0; i + 2 < v.size(); i += 3) {
            joinBatch(BatchKind::triangles, 3);
            for (int k = 0; k < 3; ++k) addVertex(map, v[i + k]);
        }
    } else if (v.size() >= 3) {  // a polygon or fan, filled as a fan as Mesa fills it
        for (std::size_t i = 1; i + 1 < v.size(); ++i) {
            joinBatch(BatchKind::triangles, 3);
            addVertex(map, v[0]);
            addVertex(map, v[i]);
            addVertex(map, v[i + 1]);
        }
    }
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
    web.collecting = true;
    web.vertices.clear();
}

void gearplotWebEnd()
{
    web.collecting = false;
    batchPrimitive();
}

// Whatever was gathered is drawn first: a clear starts the next frame.
void gearplotWebClear(GLbitfield mask)
{
    flushBatch();
    glClear(mask);
}

void gearplotWebColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    if (red != currentColour[0] || green != currentColour[1] || blue != currentColour[2]) drawnSegments.clear();
    currentColour[0] = red;
    currentColour[1] = green;
    currentColour[2] = blue;
    currentColour[3] = alpha;
    glColor4f(red, green, blue, alpha);  // the captions' colour is read from the emulation
}

void gearplotWebLineWidth(GLfloat width)
{
    // Lines without antialiasing are drawn the width rounded to whole pixels, at least one.
    web.lineWidth = std::max(1.0f, std::round(width));
    glLineWidth(1);  // the only width WebGL promises
}

// WebGL has no line stipple: the web layer cuts stippled lines into dashes itself.
void gearplotWebEnable(GLenum capability)
{
    if (capability != GL_LINE_STIPPLE && capability != GL_LIGHTING) flushBatch();  // drawn without it
    if (capability == GL_LINE_STIPPLE) web.stippling = true;
    else glEnable(capability);
    if (capability == GL_LIGHTING) lit = true;
}

void gearplotWebDisable(GLenum capability)
{
    if (capability != GL_LINE_STIPPLE && capability != GL_LIGHTING) flushBatch();  // drawn with it
    if (capability == GL_LINE_STIPPLE) web.stippling = false;
    else glDisable(capability);
    if (capability == GL_LIGHTING) lit = false;
}

void gearplotWebLineStipple(GLint factor, GLushort pattern)
{
    web.stippleFactor = std::max(1, factor);
    web.stipplePattern = pattern;
}

// The whole window as RGB bytes, rows packed tight (GL_PACK_ALIGNMENT 1, as the toolkit sets
// it): the page's picture of the frame, with the captions it draws over the canvas, at the
// window's own size. Any other read goes through as it is.
void gearplotWebReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels)
{
    if (format != GL_RGB || type != GL_UNSIGNED_BYTE || x != 0 || y != 0 || width != web.windowWidth ||
        height != web.windowHeight) {
        glReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    flushBatch();
    gearplot_web_read_picture(width, height, static_cast<unsigned char*>(pixels));
}

// The window's pixels are the canvas's at the page's scale.
void gearplotWebViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    flushBatch();  // gathered for the viewport before
    web.viewport[0] = x;
    web.viewport[1] = y;
    web.viewport[2] = width;
    web.viewport[3] = height;
    const auto scaled = [](double v) { return static_cast<GLint>(std::lround(v * web.scale)); };
    glViewport(scaled(x), scaled(y), scaled(width), scaled(height));
}

// What was gathered belongs to the framebuffer, and the texture, bound before.
void gearplotWebBindFramebuffer(GLenum target, GLuint framebuffer)
{
    flushBatch();
    glBindFramebuffer(target, framebuffer);
}

void gearplotWebBindTexture(GLenum target, GLuint texture)
{
    flushBatch();
    glBindTexture(target, texture);
}

// A texture is a picture of the window: sized in its pixels, made at the canvas's.
void gearplotWebTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                           GLint border, GLenum format, GLenum type, const void* pixels)
{
    const auto scaled = [](double v) { return static_cast<GLsizei>(std::lround(v * web.scale)); };
    glTexImage2D(target, level, internalFormat, scaled(width), scaled(height), border, format, type, pixels);
}

void gearplotWebPointSize(GLfloat size)
{
    pointSize = std::max(1.0f, size * static_cast<float>(web.scale));
    glPointSize(pointSize);
}

// Missing in the emulation: the float form does as well at these scales.
void glVertex2d(GLdouble x, GLdouble y) { web.vertices.push_back({x, y}); }

// ---- Matrices and what is read back, from the layer's own state ----

void gearplotWebMatrixMode(GLenum mode) { matrices.mode = mode; }
void gearplotWebLoadIdentity() { matrices.current().back() = identityMatrix; }
void gearplotWebLoadMatrixf(const GLfloat* m) { std::copy(m, m + 16, matrices.current().back().begin()); }
void gearplotWebLoadMatrixd(const GLdouble* m) { std::copy(m, m + 16, matrices.current().back().begin()); }
void gearplotWebPushMatrix() { matrices.current().push_back(matrices.current().back()); }

void gearplotWebPopMatrix()
{
    if (matrices.current().size() > 1) matrices.current().pop_back();
}

void gearplotWebTranslated(GLdouble x, GLdouble y, GLdouble z) { multiplyCurrent({{12, x}, {13, y}, {14, z}}); }

// About the z axis, the only one the programs turn about; as OpenGL, the angle in degrees.
void gearplotWebRotated(GLdouble angle, GLdouble, GLdouble, GLdouble z)
{
    const double a = angle * M_PI / 180 * (z < 0 ? -1 : 1), c = std::cos(a), s = std::sin(a);
    multiplyCurrent({{0, c}, {1, s}, {4, -s}, {5, c}});
}

void gearplotWebScaled(GLdouble x, GLdouble y, GLdouble z) { multiplyCurrent({{0, x}, {5, y}, {10, z}}); }

void gearplotWebOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near, GLdouble far)
{
    multiplyCurrent({{0, 2 / (right - left)}, {5, 2 / (top - bottom)}, {10, -2 / (far - near)},
                     {12, -(right + left) / (right - left)}, {13, -(top + bottom) / (top - bottom)},
                     {14, -(far + near) / (far - near)}});
}

void glGetDoublev(GLenum name, GLdouble* values)
{
    if (name == GL_MODELVIEW_MATRIX) std::copy(matrices.modelview.back().begin(), matrices.modelview.back().end(), values);
    else if (name == GL_PROJECTION_MATRIX) std::copy(matrices.projection.back().begin(), matrices.projection.back().end(), values);
}

void gearplotWebGetFloatv(GLenum name, GLfloat* values)
{
    if (name != GL_MODELVIEW_MATRIX && name != GL_PROJECTION_MATRIX) {
        glGetFloatv(name, values);
        return;
    }
    double m[16];
    glGetDoublev(name, m);
    for (int i = 0; i < 16; ++i) values[i] = static_cast<GLfloat>(m[i]);
}

// The viewport as the program set it, in its window's pixels.
void gearplotWebGetIntegerv(GLenum name, GLint* values)
{
    if (name == GL_VIEWPORT) std::copy(web.viewport, web.viewport + 4, values);
    else glGetIntegerv(name, values);
}

// ---- Captions, drawn by the page over the canvas ----

void glRasterPos2f(GLfloat x, GLfloat y)
{
    const PixelMap map = currentPixelMap();
    gearplot_web_raster_pos(map.a[0][0] * x + map.a[0][1] * y + map.a[0][2], map.a[1][0] * x + map.a[1][1] * y + map.a[1][2]);
}
void glutBitmapCharacter(void* font, int character) { gearplot_web_caption_char(fontNumber(font), character); }
// A raster position changes no current colour here, so there is nothing to keep.
void glPushAttrib(GLbitfield) {}
void glPopAttrib() {}

// ---- Window ----

void publishUtf8Title(const char* title) { gearplot_web_set_title(title); }

namespace {

// text as a JSON string.
std::string jsonString(const char* text)
{
    std::string out = "\"";
    for (const char* c = text; *c; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte == '"' || byte == '\\') out += std::string("\\") + *c;
        else if (byte < 0x20) out += "\\u00" + std::string(1, "0123456789abcdef"[byte >> 4]) + "0123456789abcdef"[byte & 15];
        else out += *c;
    }
    return out + "\"";
}

}  // namespace

void publishKeys(const KeyHelp lines[], int count)
{
    std::string json = "[";
    for (int i = 0; i < count; ++i) {
        json += std::string(i ? "," : "") + "{\"keys\":[";
        for (int k = 0; k < mostKeysPerLine && lines[i].keys[k]; ++k)
            json += (k ? "," : "") + std::to_string(lines[i].keys[k]);
        json += "],\"names\":" + jsonString(lines[i].names) + ",\"effect\":" + jsonString(lines[i].effect) + "}";
    }
    gearplot_web_publish_keys((json + "]").c_str());
}

void gearplotWebSwapBuffers()
{
    flushBatch();
    glutSwapBuffers();
    gearplot_web_end_frame();
}

void gearplotWebDisplayFunc(void (*display)()) { web.display = display; }
void gearplotWebReshapeFunc(void (*reshape)(int, int)) { web.reshape = reshape; }
void gearplotWebKeyboardFunc(void (*keyboard)(unsigned char, int, int)) { web.keyboard = keyboard; }

void gearplotWebSpecialFunc(void (*special)(int, int, int)) { web.special = special; }
void gearplotWebPostRedisplay() { web.redisplay = true; }

void gearplotWebTimerFunc(unsigned int milliseconds, void (*timer)(int), int value)
{
    web.timers.push_back({emscripten_get_now() + milliseconds, timer, value});
}

namespace {

// Calls every timer whose time has come, earliest first; those they set wait for the next turn.
void runDueTimers()
{
    const double now = emscripten_get_now();
    std::vector<PendingTimer> due;
    for (auto t = web.timers.begin(); t != web.timers.end();)
        if (t->due <= now) {
            due.push_back(*t);
            t = web.timers.erase(t);
        } else {
            ++t;
        }
    std::stable_sort(due.begin(), due.end(), [](const PendingTimer& a, const PendingTimer& b) { return a.due < b.due; });
    for (const PendingTimer& t : due) t.timer(t.value);
}

// How long the loop may wait for a key before the next timer is due; negative: for ever.
double timeToNextTimer()
{
    if (web.timers.empty()) return -1;
    double due = web.timers.front().due;
    for (const PendingTimer& t : web.timers) due = std::min(due, t.due);
    return std::max(0.0, due - emscripten_get_now());
}

}  // namespace

// The window's first frame, then every key and timer in turn, each followed by the frame it
// asked for. Runs on main's stack, so a key handler that asks on the console simply waits
// there for the answer.
void gearplotWebMainLoop()
{
    // The window keeps the size the program asked for; the page shows it at its own scale.
    web.windowWidth = glutGet(GLUT_INIT_WINDOW_WIDTH);
    web.windowHeight = glutGet(GLUT_INIT_WINDOW_HEIGHT);
    gearplot_web_window_made(web.windowWidth, web.windowHeight);
    for (bool first = true;; first = false) {
        const int key = first ? resizeKey : gearplot_web_wait_key(timeToNextTimer());
        if (gearplot_web_take_resize() || first) {
            web.scale = gearplot_web_scale();
            if (web.reshape) web.reshape(web.windowWidth, web.windowHeight);
            else gearplotWebViewport(web.viewport[0], web.viewport[1], web.viewport[2], web.viewport[3]);
        }
        if (key == resizeKey) web.redisplay = true;
        else if (key == noKey) runDueTimers();
        else if (key >= specialKeyBase && web.special) web.special(key - specialKeyBase, 0, 0);
        else if (key < specialKeyBase && web.keyboard) web.keyboard(static_cast<unsigned char>(key), 0, 0);
        if (web.redisplay && web.display) {
            web.redisplay = false;
            web.display();
        }
    }
}
