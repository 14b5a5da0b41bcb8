// Layers kept between frames: a framebuffer object that draws into a texture of the window's
// size, shown over the window texel for pixel wherever something was drawn into it.
#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES  // the framebuffer calls of OpenGL 3.0 and ARB_framebuffer_object
#endif
#include "emit.h"

#include <GL/glext.h>

#include <algorithm>
#include <cmath>

namespace {

// Showing a layer costs a texture read for every pixel it covers, as much as drawing many of
// its lines again in a software renderer: only the tiles that something was drawn into are shown.
constexpr int tilePixels = 32;

// The layer being drawn into, and the primitive being drawn, in the layer's pixels.
struct LayerDrawing {
    KeptLayer* layer = nullptr;  // between a beginLayer that succeeded and its endLayer
    GLenum mode = GL_LINES;
    WindowReach reach{};         // where the primitive's points show
    std::vector<Point2> points;
};
LayerDrawing drawing;

int tileColumns(const KeptLayer& layer) { return (layer.width + tilePixels - 1) / tilePixels; }
int tileRows(const KeptLayer& layer) { return (layer.height + tilePixels - 1) / tilePixels; }

// Marks every tile within reach pixels of the box from a to b.
void markBox(KeptLayer* layer, Point2 a, Point2 b, double reach)
{
    const auto tile = [&](double v, int count) {
        return static_cast<int>(std::clamp(std::floor(v / tilePixels), -1.0, static_cast<double>(count)));
    };
    const int columns = tileColumns(*layer), rows = tileRows(*layer);
    const int left = std::max(0, tile(std::min(a.x, b.x) - reach, columns));
    const int right = std::min(columns - 1, tile(std::max(a.x, b.x) + reach, columns));
    const int bottom = std::max(0, tile(std::min(a.y, b.y) - reach, rows));
    const int top = std::min(rows - 1, tile(std::max(a.y, b.y) + reach, rows));
    for (int row = bottom; row <= top; ++row)
        for (int column = left; column <= right; ++column) layer->drawn[row * columns + column] = 1;
}

// Marks the tiles the line from a to b can colour, half a tile along it at a time.
void markLine(KeptLayer* layer, const Point2& a, const Point2& b, double reach)
{
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (!std::isfinite(length)) return;  // what it would colour is not ours to judge
    const int pieces = static_cast<int>(std::min(length / (tilePixels / 2.0), 1e6)) + 1;
    for (int i = 0; i < pieces; ++i) {
        const double s = double(i) / pieces, e = double(i + 1) / pieces;
        markBox(layer, {a.x + s * (b.x - a.x), a.y + s * (b.y - a.y)}, {a.x + e * (b.x - a.x), a.y + e * (b.y - a.y)},
                reach);
    }
}

// Marks what the primitive just drawn covers: lines along their length, anything filled by
// its box.
void markPrimitive(KeptLayer* layer, GLenum mode, const std::vector<Point2>& p)
{
    if (p.empty()) return;
    const DrawingState& state = drawingState();
    // Half the widest line or dot, and the rasteriser's rounding.
    const double reach = std::max(state.lineWidth, state.pointSize) / 2 + 2;
    if (mode == GL_LINES) {
        for (std::size_t i = 0; i + 1 < p.size(); i += 2) markLine(layer, p[i], p[i + 1], reach);
    } else if (mode == GL_LINE_STRIP || mode == GL_LINE_LOOP) {
        for (std::size_t i = 0; i + 1 < p.size(); ++i) markLine(layer, p[i], p[i + 1], reach);
        if (mode == GL_LINE_LOOP) markLine(layer, p.back(), p.front(), reach);
    } else if (mode == GL_POINTS) {
        for (const Point2& q : p) markBox(layer, q, q, reach);
    } else {
        Point2 low = p[0], high = p[0];
        for (const Point2& q : p) {
            low = {std::min(low.x, q.x), std::min(low.y, q.y)};
            high = {std::max(high.x, q.x), std::max(high.y, q.y)};
        }
        if (std::isfinite(low.x + low.y + high.x + high.y)) markBox(layer, low, high, reach);
    }
}

void freeLayer(KeptLayer* layer)
{
    if (layer->framebuffer) glDeleteFramebuffers(1, &layer->framebuffer);
    if (layer->texture) glDeleteTextures(1, &layer->texture);
    layer->framebuffer = layer->texture = 0;
}

// Makes the layer anew for the window's size and leaves its framebuffer bound; false, with
// the window's bound again, where the driver cannot draw into it. Either way the layer is
// taken as made for this size, so a driver without layers is not asked again every frame.
bool makeLayer(KeptLayer* layer)
{
    freeLayer(layer);
    layer->width = windowWidth();
    layer->height = windowHeight();
    layer->shape = reshapeCount();
    layer->drawn.assign(static_cast<std::size_t>(tileColumns(*layer)) * tileRows(*layer), 0);
    glGenTextures(1, &layer->texture);
    glBindTexture(GL_TEXTURE_2D, layer->texture);
    // Texel for pixel: no filtering, no mipmaps, nothing wrapped round.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, layer->width, layer->height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &layer->framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, layer->framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, layer->texture, 0);
    if (layer->texture && layer->framebuffer && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
        return true;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    freeLayer(layer);
    return false;
}

}  // namespace

bool drawingIntoLayer() { return drawing.layer != nullptr; }

void beginLayerPrimitive(GLenum mode)
{
    drawing.reach = windowReach();
    drawing.mode = mode;
    drawing.points.clear();
}

void layerVertex(double x, double y)
{
    const Point2 shown = inWindow(drawing.reach, {x, y});
    drawing.points.push_back({(shown.x + 1) / 2 * drawing.layer->width, (shown.y + 1) / 2 * drawing.layer->height});
}

void endLayerPrimitive() { markPrimitive(drawing.layer, drawing.mode, drawing.points); }

bool layerFitsWindow(const KeptLayer& layer)
{
    return layer.shape == reshapeCount() && layer.width == windowWidth() && layer.height == windowHeight();
}

bool beginLayer(KeptLayer* layer, bool empty)
{
    if (svgRecording()) return false;
    if (!layerFitsWindow(*layer)) {
        if (!makeLayer(layer)) return false;
        empty = true;
    } else if (!layer->framebuffer) {
        return false;  // the driver had none for this size
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, layer->framebuffer);
    }
    if (empty) {
        GLfloat background[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, background);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(background[0], background[1], background[2], background[3]);
        std::fill(layer->drawn.begin(), layer->drawn.end(), 0);
    }
    // The window's rows are kept top first, a texture's bottom first, and the rasteriser breaks
    // its ties by the rows' order: drawn upside down, every line covers the window's pixels.
    GLdouble projection[16];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (int column = 0; column < 4; ++column) projection[4 * column + 1] = -projection[4 * column + 1];
    glLoadMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
    drawing.layer = layer;
    return true;
}

void endLayer()
{
    drawing.layer = nullptr;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void showLayer(const KeptLayer& layer)
{
    if (!layer.framebuffer) return;
    // A square for each run of drawn tiles along a row: window corners, and the texels upside
    // down, as they were drawn.
    std::vector<GLfloat> corners, texels;
    const int columns = tileColumns(layer), rows = tileRows(layer);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns;) {
            if (!layer.drawn[row * columns + column]) {
                ++column;
                continue;
            }
            const int first = column;
            while (column < columns && layer.drawn[row * columns + column]) ++column;
            const float u0 = float(first * tilePixels) / layer.width;
            const float u1 = std::min(1.0f, float(column * tilePixels) / layer.width);
            const float v0 = float(row * tilePixels) / layer.height;
            const float v1 = std::min(1.0f, float((row + 1) * tilePixels) / layer.height);
            const float x0 = 2 * u0 - 1, x1 = 2 * u1 - 1, y0 = 1 - 2 * v0, y1 = 1 - 2 * v1;
            corners.insert(corners.end(), {x0, y0, x1, y0, x1, y1, x0, y0, x1, y1, x0, y1});
            texels.insert(texels.end(), {u0, v0, u1, v0, u1, v1, u0, v0, u1, v1, u0, v1});
        }
    if (corners.empty()) return;
    // The whole window, texel for pixel, with both matrices the identity.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, layer.width, layer.height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    lightingOff();
    glBindTexture(GL_TEXTURE_2D, layer.texture);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    // Its pixels are wholly drawn or wholly transparent: they replace the window's or leave them.
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_ALPHA_TEST);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, corners.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texels.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners.size() / 2));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    lightingOn();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}
