// A frame as SVG: while a recording runs, each primitive the toolkit draws is also written
// as an SVG element in window pixels, through the current modelview and projection.
#include "emit.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The recording of one frame; active only between beginSvgRecording and finishSvgRecording.
struct SvgRecording {
    bool active = false;
    int width = 0, height = 0;     // window pixels
    std::string body;              // the elements so far
    // The primitive being drawn
    GLenum mode = GL_LINES;
    Rgba colour{};
    float lineWidth = 1;
    unsigned short pattern = solidPattern;
    float pointSize = 1;
    double matrix[16] = {};        // projection × modelview, column-major
    std::vector<Point2> points;    // window pixels, y down
};

SvgRecording svg;

void captureMatrix()
{
    double projection[16], modelview[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    multiplyMatrices(projection, modelview, svg.matrix);
}

Point2 toPixels(double x, double y)
{
    const double* m = svg.matrix;
    const double w = m[3] * x + m[7] * y + m[15];
    const double nx = (m[0] * x + m[4] * y + m[12]) / w;
    const double ny = (m[1] * x + m[5] * y + m[13]) / w;
    return {(nx + 1) / 2 * svg.width, (1 - ny) / 2 * svg.height};
}

std::string colourText(const Rgba& c)
{
    char text[16];
    const auto byte = [](float v) { return static_cast<int>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255)); };
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(c.red), byte(c.green), byte(c.blue));
    return text;
}

// The 16-bit line stipple (bit 0 first) as an SVG dash array of the same runs.
std::string dashArray(unsigned short pattern, float factor)
{
    std::string runs;
    int bit = 0;
    bool on = true;
    while (bit < 16) {
        int length = 0;
        while (bit < 16 && (((pattern >> bit) & 1) != 0) == on) ++length, ++bit;
        runs += (runs.empty() ? "" : " ") + std::to_string(static_cast<int>(length * factor));
        on = !on;
    }
    return runs;
}

std::string pointList(const std::vector<Point2>& points)
{
    std::string text;
    char pair[64];
    for (const Point2& p : points) {
        std::snprintf(pair, sizeof pair, "%s%.2f,%.2f", text.empty() ? "" : " ", p.x, p.y);
        text += pair;
    }
    return text;
}

std::string strokeAttributes()
{
    char text[96];
    std::snprintf(text, sizeof text, "fill=\"none\" stroke=\"%s\" stroke-width=\"%g\"", colourText(svg.colour).c_str(),
                  svg.lineWidth);
    std::string attributes = text;
    if (svg.pattern != solidPattern) attributes += " stroke-dasharray=\"" + dashArray(svg.pattern, 1) + "\"";
    return attributes;
}

void writePrimitive()
{
    const std::vector<Point2>& p = svg.points;
    if (p.empty()) return;
    char text[160];
    switch (svg.mode) {
    case GL_LINES:
        for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
            std::snprintf(text, sizeof text, "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" ", p[i].x, p[i].y,
                          p[i + 1].x, p[i + 1].y);
            svg.body += text + strokeAttributes() + "/>\n";
        }
        break;
    case GL_LINE_STRIP: svg.body += "<polyline points=\"" + pointList(p) + "\" " + strokeAttributes() + "/>\n"; break;
    case GL_LINE_LOOP: svg.body += "<polygon points=\"" + pointList(p) + "\" " + strokeAttributes() + "/>\n"; break;
    case GL_POINTS:
        for (const Point2& q : p) {
            std::snprintf(text, sizeof text, "<rect x=\"%.2f\" y=\"%.2f\" width=\"%g\" height=\"%g\" fill=\"%s\"/>\n",
                          q.x - svg.pointSize / 2, q.y - svg.pointSize / 2, svg.pointSize, svg.pointSize,
                          colourText(svg.colour).c_str());
            svg.body += text;
        }
        break;
    default:  // GL_POLYGON and the other filled kinds
        svg.body += "<polygon points=\"" + pointList(p) + "\" fill=\"" + colourText(svg.colour) + "\"/>\n";
        break;
    }
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

}  // namespace

void emitBegin(GLenum mode)
{
    if (drawingIntoLayer()) beginLayerPrimitive(mode);
    if (!svg.active) {
        glBegin(mode);
        return;
    }
    captureMatrix();
    glBegin(mode);
    const DrawingState& state = drawingState();
    svg.mode = mode;
    svg.colour = state.colour;
    svg.lineWidth = state.lineWidth;
    svg.pattern = state.pattern;
    svg.pointSize = state.pointSize;
    svg.points.clear();
}

void emitVertex(double x, double y)
{
    glVertex2d(x, y);
    if (drawingIntoLayer()) layerVertex(x, y);
    if (svg.active) svg.points.push_back(toPixels(x, y));
}

void emitEnd()
{
    glEnd();
    if (drawingIntoLayer()) endLayerPrimitive();
    if (svg.active) writePrimitive();
}

void recordCaption(float x, float y, const std::string& text)
{
    if (!svg.active) return;
    captureMatrix();
    const Point2 at = toPixels(x, y);
    // Lit captions come out near-black; unlit ones in the current colour.
    const Rgba colour = drawingState().lit ? Rgba{0, 0, 0, 1} : drawingState().colour;
    char head[160];
    std::snprintf(head, sizeof head, "<text x=\"%.2f\" y=\"%.2f\" font-family=\"Unifont, monospace\" font-size=\"16\" fill=\"%s\" xml:space=\"preserve\">",
                  at.x, at.y, colourText(colour).c_str());
    svg.body += head + escaped(text) + "</text>\n";
}

bool svgRecording() { return svg.active; }

void beginSvgRecording(int width, int height)
{
    svg = SvgRecording{};
    svg.active = true;
    svg.width = width;
    svg.height = height;
}

std::string finishSvgRecording()
{
    if (!svg.active) return "";
    char head[256];
    std::snprintf(head, sizeof head,
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">\n"
                  "<rect width=\"100%%\" height=\"100%%\" fill=\"#ffffff\"/>\n",
                  svg.width, svg.height, svg.width, svg.height);
    const std::string document = head + svg.body + "</svg>\n";
    svg = SvgRecording{};
    return document;
}
