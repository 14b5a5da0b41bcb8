// The display of cutdemo3: per-mode captions, the axis cross, the gear circles with a
// chain-line pitch circle, and the mode bodies drawn with wide tooth curves.
#include "cutdemo3.h"

#include <cmath>

namespace {

constexpr float captionY[] = {0.95f, 0.9f, 0.85f, 0.8f};
constexpr GearCircleStyle circleStyle{true, true};

// The four caption lines of each mode; nullptr where a line stays empty. Mode 2 names the
// red point twice, above and below the circle line: the screen students copy their notes
// from has always read so, and the line costs nothing.
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
    drawGearCircles(k, rackGear.gearCentre, circleStyle);
    drawRollingRacks(n);
    rackView.wholeStep = n + 1;
}

}  // namespace

void displayCutdemo3()
{
    beginFrame();
    if (rackView.mode >= '1' && rackView.mode <= '6') {
        const int m = rackView.mode - '1';
        for (int line = 0; line < 4; ++line)
            if (captions[m][line]) drawCaption(captionY[line], captions[m][line]);
        drawAxisCross({0, 0}, 0);
        if (rackView.mode != '5') drawGearCircles(rackView.zoom, rackGear.gearCentre, circleStyle);
        drawRackModeBody(drawToothCurve, drawGearTurning);
    }
    endFrame();
}

const RackEdition cutdemo3Edition{
    "ラックカッタによる歯形創成　z:歯数　1,2,3,4,5,6：創成画面変更，s:継続", 120, '6', runRackDialogue,
    displayCutdemo3, rollingModeKeys};
