// The display handler of cutdemo1: a fixed header, then one of five modes. The rack is the
// ten-tooth drawing with its console trace, which goes out in one piece per frame.
#include "cutdemo1.h"
#include "edition_drawing.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const captions[5] = {
    "(1) draw addendum involute generation",
    "(2) draw dedendum involute generation",
    "(3) draw undercut curve generation",
    "(4) display whole involute curve generation",
    "(5) display whole involute curve",
};

Point2 zoomed(double k, const Point2& p) { return {k * p.x, k * p.y}; }

// G(t), where the rack's pitch line touches the pitch circle at roll t, zoomed.
Point2 pitchContact(double t)
{
    const double k = rackView.zoom;
    const double rp = rackGear.pitchRadius;
    return {k * rp * std::sin(t), k * rp * (std::cos(t) - 1)};
}

// The racks of the earlier steps s < n (every `every`-th) in green, then the current rack at
// step n in black with its pitch line; step s lies at φ = firstPhi + phiStep·s.
void drawGeneratingRacks(int n, int every, double firstPhi, double phiStep)
{
    for (int s = 0; s < n; s += every) drawRackTeeth(0, firstPhi + phiStep * s, green);
    drawRackTeeth(1, firstPhi + phiStep * n, black);
}

// Modes '1' to '3': a generated point, the pitch contact and the curve so far; racks every
// fifth step. Returns the step drawn.
int drawFlankGeneration(int step, int last, const Point2 table[], const Rgba& tableColour, double firstPhi,
                        double phiStep, double contactRadius)
{
    const int n = std::min(step, last);
    const double phi = firstPhi + phiStep * n;
    fillDisc(zoomed(rackView.zoom, table[n]), 0.01, tableColour);
    fillDisc(pitchContact(std::tan(phi)), contactRadius, blue);
    drawStrokedToothCurve(rackView.zoom, table, n, tableColour);
    drawGeneratingRacks(n, 5, firstPhi, phiStep);
    return n;
}

// Mode '4': 51 fixed positions from thmax to thmin; the racks' envelope is the whole tooth.
void drawWholeToothGeneration()
{
    const int n = std::min(rackView.wholeStep, wholeToothLastStep);
    fillDisc(pitchContact(std::tan(phiRack.thmax - n * phiRack.dth4)), 0.01, blue);
    drawGeneratingRacks(n, 1, phiRack.thmax, -phiRack.dth4);
    rackView.wholeStep = n + 1;
}

void drawModeBlock()
{
    RackTables& tb = rackTables;
    switch (rackView.mode) {
    case '1':
        rackView.addendumStep =
            drawFlankGeneration(rackView.addendumStep, tb.addendumLast, tb.addendumFlank, red, 0.0, 0.0025, 0.006) + 1;
        break;
    case '2':
        rackView.dedendumStep =
            drawFlankGeneration(rackView.dedendumStep, tb.dedendumLast, tb.dedendumFlank, red, 0.0, -0.005, 0.006) + 1;
        break;
    case '3':
        drawStrokedToothCurve(rackView.zoom, tb.involuteProfile, tb.involuteLast, red);
        rackView.undercutStep = drawFlankGeneration(rackView.undercutStep, tb.undercutLast, tb.undercutCurve, blue,
                                                    -phiRack.phi0, -0.005, 0.008) + 1;
        break;
    case '4': drawWholeToothGeneration(); break;
    case '5': drawStrokedToothCurve(rackView.zoom, tb.toothProfile, tb.profileLast, blue); break;
    }
}

}  // namespace

void displayCutdemo1()
{
    beginFrame();
    drawCaption(0.9f, "blue:pitch circle,  green:base circle");
    drawAxisCross({0, 0}, 0);
    drawGearCircles(rackView.zoom, rackGear.gearCentre, {false, false});  // this edition has no centre mark
    if (rackView.mode >= '1' && rackView.mode <= '5') {
        drawCaption(0.85f, captions[rackView.mode - '1']);
        drawModeBlock();
    }
    flushRackTrace();  // everything the frame traced is out before the picture shows
    endFrame();
}

const RackEdition cutdemo1Edition{"ラックカッタによる歯形創成　z:歯数　1,2,3,4：描画歯面変更，s:継続", 100, '5',
                                  runPhiDialogue, displayCutdemo1, phiModeKeys};
