// Rectangles turned about a corner, and the filled arrow.
#include "emit.h"

namespace {

void drawRectangleAs(GLenum mode, const Point2& corner, double w, double h, double angle,
                     const Rgba& colour)
{
    const double width = toView(w);
    const double height = toView(h);
    lightingOff();
    glPushMatrix();
    glTranslated(toView(corner.x), toView(corner.y), 0);
    glRotated(angle / radiansPerDegree, 0, 0, 1);
    setColour(colour);
    emitBegin(mode);
    emitVertex(0, 0);
    emitVertex(width, 0);
    emitVertex(width, height);
    emitVertex(0, height);
    emitEnd();
    glPopMatrix();
    lightingOn();
}

}  // namespace

void fillRectangle(const Point2& corner, double w, double h, double angle, const Rgba& colour)
{
    drawRectangleAs(GL_POLYGON, corner, w, h, angle, colour);
}

void drawRectangle(const Point2& corner, double w, double h, double angle, const Rgba& colour)
{
    drawRectangleAs(GL_LINE_LOOP, corner, w, h, angle, colour);
}

void drawArrow(const Point2& tip, double length, double angle, const Rgba& colour)
{
    const double total = toView(length);
    const double shaftWidth = toView(arrowShaftWidth);
    const double head = toView(arrowHeadLength);
    double shaft = total - head;
    if (shaft < 0) shaft = 0;  // a short arrow keeps its full head and a shaft of no length

    lightingOff();
    glPushMatrix();
    setColour(colour);
    glTranslated(toView(tip.x), toView(tip.y), 0);
    glRotated(angle / radiansPerDegree, 0, 0, 1);
    // Pointing along +x with the tip at the origin.
    emitBegin(GL_POLYGON);
    emitVertex(-head, -0.5 * shaftWidth);
    emitVertex(-head - shaft, -0.5 * shaftWidth);
    emitVertex(-head - shaft, 0.5 * shaftWidth);
    emitVertex(-head, 0.5 * shaftWidth);
    emitEnd();
    // The head is concave (tip, barb, axis point, barb), so it goes as two triangles.
    emitBegin(GL_POLYGON);
    emitVertex(0, 0);
    emitVertex(-head, 0);
    emitVertex(-head - 0.5 * head, 0.4 * head);
    emitEnd();
    emitBegin(GL_POLYGON);
    emitVertex(0, 0);
    emitVertex(-head, 0);
    emitVertex(-head - 0.5 * head, -0.4 * head);
    emitEnd();
    glPopMatrix();
    lightingOn();
}
