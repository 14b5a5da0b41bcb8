// The stroked tooth curves of the earlier rack editions.
#include "edition_drawing.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// The strokes of one band, in the colour and lighting already set.
void strokeBand(const Point2& a, const Point2& b, double w)
{
    const double phi = std::atan2(b.y - a.y, b.x - a.x);
    const double s = std::sin(phi), c = std::cos(phi);
    int n = static_cast<int>(w / 0.001);
    if (n == 0) n = 1;
    for (int i = 0; i < n; ++i) {
        const double h = w / 2 - 0.001 * i;  // the band is not centred on a–b
        glBegin(GL_LINES);
        glVertex2d(toView(a.x - h * s), toView(a.y + h * c));
        glVertex2d(toView(b.x - h * s), toView(b.y + h * c));
        glEnd();
    }
}

}  // namespace

void drawStrokedSegment(const Point2& a, const Point2& b, double w, const Rgba& colour)
{
    lightingOff();
    setColour(colour);
    strokeBand(a, b, w);
    lightingOn();
}

void drawStrokedToothCurve(double k, const Point2 table[], int last, const Rgba& colour)
{
    if (last < 1) return;
    // Lighting goes off once for the whole curve: each toggle makes the driver flush.
    lightingOff();
    setColour(colour);
    for (int i = 1; i <= last; ++i)
        strokeBand({k * table[i - 1].x, k * table[i - 1].y}, {k * table[i].x, k * table[i].y}, 0.004);
    lightingOn();
}
