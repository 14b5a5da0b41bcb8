// The display handler of cutdemo3: per-mode captions, the axis cross, the gear circles with a
// chain-line pitch circle, and the mode bodies drawn with wide tooth curves.
#include "rack_program.h"

#include <GL/glut.h>

#include <cmath>

namespace {

constexpr float captionX = -0.9f;
constexpr float captionY[] = {0.95f, 0.9f, 0.85f, 0.8f};

// The four caption lines of each mode; nullptr where a line stays empty.
const char* const captions[6][4] = {
    {"(1) draw addendum involute generation", "     blue:pitch circle,  green:base circle",
     "     red point:point of rack generation of involute curve", nullptr},
    {"(2) draw dedendum involute generation", "     red point:point of rack generation of involute curve",
     "     blue:pitch circle,  green:base circle", "     red point:point of rack generation of involute curve"},
    {"(3) draw undercut curve generation", "     blue:pitch circle,  green:base circle",
     "     red point:point of rack generation of involute curve",
     "     blue point:point of generation of undercut curve"},
    {"(4) whole involute curve generation by rack rolling on pitch circle",
     "     blue circle : pitch circle,  green circle : base circle", nullptr, nullptr},
    {nullptr, "     blue circle : pitch circle,  green circle : base circle",
     "(5) whole involute curve generation by rack-gear meshing", nullptr},
    {"(6) display whole tooth profile", "     blue:pitch circle,  green:base circle", nullptr, nullptr},
};

// Mode '5': the gear turns about its centre while the rack slides along the pitch line.
void drawGearTurning()
{
    const double k = rackView.zoom;
    const double rp = rackGear.pitchRadius;
    fillDisc({0, 0}, 0.01, blue);
    const int n = rackView.wholeStep;
    const double t = wholeToothRoll(n);
    const double c = rp * std::cos(t);
    const double s = rp * std::sin(t);
    fillDisc({k * c, k * (s - rp)}, 0.01, blue);  // a point of the pitch circle, turning with it
    drawChainSegmentZoomed(k, {c, s - rp}, {-c, -s - rp}, blue);
    drawChainSegmentZoomed(k, {-s, c - rp}, {s, -c - rp}, blue);
    rotateAbout({0, 0}, {0, -k * rp}, t);  // lasts to the end of the frame
    drawGearCircles(k, rackGear.gearCentre);
    drawRollingRacks(n);
    rackView.wholeStep = n + 1;
}

}  // namespace

void displayCutDemo()
{
    beginFrame();
    if (rackView.mode >= '1' && rackView.mode <= '6') {
        const int m = rackView.mode - '1';
        for (int line = 0; line < 4; ++line)
            if (captions[m][line]) drawText(captionX, captionY[line], GLUT_BITMAP_HELVETICA_18, captions[m][line]);
        drawAxisCross({0, 0}, 0);
        if (rackView.mode != '5') drawGearCircles(rackView.zoom, rackGear.gearCentre);
        switch (rackView.mode) {
        case '1': drawAddendumGeneration(drawToothCurve); break;
        case '2': drawDedendumGeneration(drawToothCurve); break;
        case '3': drawUndercutGeneration(drawToothCurve); break;
        case '4': drawRackRolling(); break;
        case '5': drawGearTurning(); break;
        case '6': drawFinishedTooth(drawToothCurve); break;
        }
    }
    endFrame();
}
