// The display of cutdemo2: one fixed header in every frame, solid gear circles, tooth curves
// drawn as stroked bands, and its own gear-turning mode.
#include "cutdemo2.h"
#include "edition_drawing.h"

namespace {

// The caption lines at y = 0.85 and 0.8 of each mode; nullptr where a line stays empty.
const char* const captions[6][2] = {
    {"(1) draw addendum involute generation", "     red point:point of rack generation of involute curve"},
    {"(2) draw dedendum involute generation", "     red point:point of rack generation of involute curve"},
    {"(3) draw undercut curve generation", "     blue point:point of generation of undercut curve"},
    {"(4) whole involute curve generation by rack rolling on pitch circle", nullptr},
    {"(5) whole involute curve generation by rack-gear meshing", nullptr},
    {"(6) display whole involute curve", nullptr},
};

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

void displayCutdemo2()
{
    beginFrame();
    drawCaption(0.9f, "blue:pitch circle,  green:base circle");
    drawAxisCross({0, 0}, 0);
    drawGearCircles(rackView.zoom, rackGear.gearCentre, {false, true});
    if (rackView.mode >= '1' && rackView.mode <= '6') {
        const auto& lines = captions[rackView.mode - '1'];
        drawCaption(0.85f, lines[0]);
        if (lines[1]) drawCaption(0.8f, lines[1]);
        drawRackModeBody(drawStrokedToothCurve, drawGearTurning);
    }
    endFrame();
}

const RackEdition cutdemo2Edition{
    "ラックカッタによる歯形創成　z:歯数　1,2,3,4,5,6：創成画面変更，s:継続", 100, '6', runRackDialogue,
    displayCutdemo2, rollingModeKeys};
