// The display handler of cutdemo2: one fixed header in every frame, solid gear circles,
// tooth curves drawn as stroked bands, and its own gear-turning mode.
#include "rack_program.h"
#include "edition_drawing.h"

#include <GL/glut.h>

namespace {

constexpr float captionX = -0.9f;

// The caption lines at y = 0.85 and 0.8 of each mode; nullptr where a line stays empty.
const char* const captions[6][2] = {
    {"(1) draw addendum involute generation", "     red point:point of rack generation of involute curve"},
    {"(2) draw dedendum involute generation", "     red point:point of rack generation of involute curve"},
    {"(3) draw undercut curve generation", "     blue point:point of generation of undercut curve"},
    {"(4) whole involute curve generation by rack rolling on pitch circle", nullptr},
    {"(5) whole involute curve generation by rack-gear meshing", nullptr},
    {"(6) display whole involute curve", nullptr},
};

// All four circles solid, about the zoomed centre, with the centre mark.
void drawGearCircles()
{
    drawSolidGearCircles();
    fillDisc({0, -rackView.zoom * rackGear.pitchRadius}, 0.1 * rackView.zoom, black);
}

// Mode '5': the gear turns with the pitch contact marker; the header's circles stand for it.
void drawGearTurning()
{
    const int n = rackView.wholeStep;
    const double t = wholeToothRoll(n);
    fillDisc({0, 0}, 0.01, blue);
    drawPitchContactMarker(t);
    rotateAbout({0, 0}, {0, -rackView.zoom * rackGear.pitchRadius}, t);  // lasts to the end of the frame
    drawRollingRacks(n);
    rackView.wholeStep = n + 1;
}

}  // namespace

void displayCutDemo()
{
    beginFrame();
    drawText(captionX, 0.9f, GLUT_BITMAP_HELVETICA_18, "blue:pitch circle,  green:base circle");
    drawAxisCross({0, 0}, 0);
    drawGearCircles();
    if (rackView.mode >= '1' && rackView.mode <= '6') {
        const auto& lines = captions[rackView.mode - '1'];
        drawText(captionX, 0.85f, GLUT_BITMAP_HELVETICA_18, lines[0]);
        if (lines[1]) drawText(captionX, 0.8f, GLUT_BITMAP_HELVETICA_18, lines[1]);
        switch (rackView.mode) {
        case '1': drawAddendumGeneration(drawStrokedToothCurve); break;
        case '2': drawDedendumGeneration(drawStrokedToothCurve); break;
        case '3': drawUndercutGeneration(drawStrokedToothCurve); break;
        case '4': drawRackRolling(); break;
        case '5': drawGearTurning(); break;
        case '6': drawFinishedTooth(drawStrokedToothCurve); break;
        }
    }
    endFrame();
}
