// The view scale and the two operations that turn what the caller draws afterwards.
#include "emit.h"

#include <GL/gl.h>

double toView(double v) { return v * pixelsPerViewUnit / pixelsPerViewUnit; }

void rotateTranslate(double angle, double dx, double dy)
{
    // Turn first, so the shift runs along the turned axes.
    glRotated(angle * degreesPerRadian, 0, 0, 1);
    glTranslated(toView(dx), toView(dy), 0);
}

void multiplyMatrices(const double a[16], const double b[16], double out[16])
{
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += a[k * 4 + row] * b[col * 4 + k];
            out[col * 4 + row] = s;
        }
}

double zoomOut(double zoom) { return zoom * 0.9 >= smallestZoom ? zoom * 0.9 : zoom; }

double zoomIn(double zoom) { return zoom / 0.9 <= largestZoom ? zoom / 0.9 : zoom; }

void rotateAbout(const Point2& base, const Point2& offset, double angle)
{
    const double cx = toView(base.x + offset.x);
    const double cy = toView(base.y + offset.y);
    // No push or pop: the turn is meant to last until the caller restores the matrix.
    glTranslated(cx, cy, 0);
    glRotated(angle / radiansPerDegree, 0, 0, 1);
    glTranslated(-cx, -cy, 0);
}
