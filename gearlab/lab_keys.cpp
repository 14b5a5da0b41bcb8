// The lab's keys, its one-line entry and its animation timer.
#include "gear_reasons.h"
#include "gearlab.h"

#include <GL/glut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace {

constexpr unsigned char enterKey = 13;

// A gear like the current one with another tooth count, shift or angle; the change is
// refused, with the reason shown, when the engine cannot cut it.
void changeTeeth(int delta)
{
    GearParameters gear = lab.gear;
    const long teeth = static_cast<long>(gear.teeth) + delta;
    if (teeth < 1) {
        lab.problem = labTexts().refused + labReason(gearReason::fewTeeth);
        return;
    }
    gear.teeth = static_cast<int>(teeth);
    changeGear(gear, lab.pressureDegrees, lab.rack);
}

// Whole hundredths stay whole: 0.05 steps must add up to the values printed.
double stepped(double value, double delta) { return std::round((value + delta) * 1e9) / 1e9 + 0.0; }

void changeShift(double delta)
{
    GearParameters gear = lab.gear;
    gear.shift = stepped(gear.shift, delta);
    changeGear(gear, lab.pressureDegrees, lab.rack);
}

void changeBacklash(double delta)
{
    GearParameters gear = lab.gear;
    gear.backlash = std::max(0.0, stepped(gear.backlash, delta));
    changeGear(gear, lab.pressureDegrees, lab.rack);
}

// The next (direction 1) or previous (−1) of the lab's pressure angles, round the list.
void changePressureAngle(int direction)
{
    constexpr int count = static_cast<int>(std::size(labPressureAngles));
    int at = -1;
    for (int i = 0; i < count; ++i)
        if (labPressureAngles[i] == lab.pressureDegrees) at = i;
    int next = 0;
    if (at >= 0) {
        next = (at + direction + count) % count;
    } else {  // an angle typed or from the command line: the nearest one on the asked side
        next = direction > 0 ? 0 : count - 1;
        for (int i = 0; i < count; ++i)
            if (direction > 0 ? labPressureAngles[i] > lab.pressureDegrees : labPressureAngles[count - 1 - i] < lab.pressureDegrees) {
                next = direction > 0 ? i : count - 1 - i;
                break;
            }
    }
    GearParameters gear = lab.gear;
    gear.pressureAngle = labPressureAngles[next] * exactPi / 180;
    changeGear(gear, labPressureAngles[next], lab.rack);
}

// The next rack, and the gear cut with it (a ring gear refuses the rack, with the engine's reason).
void changeRack()
{
    const int next = (lab.rack + 1) % labRackCount;  // a custom rack (-1) goes to A
    GearParameters gear = lab.gear;
    gear.cutter = CutterKind::rack;
    changeGear(gear, lab.pressureDegrees, next);
}

// c: the rack or the pinion cutter; a ring gear keeps its pinion cutter, and the engine says why.
void changeCutter()
{
    GearParameters gear = lab.gear;
    gear.cutter = gear.cutter == CutterKind::rack ? CutterKind::pinion : CutterKind::rack;
    changeGear(gear, lab.pressureDegrees, lab.rack);
}

// i: an external or a ring gear; a ring is cut by the pinion cutter.
void changeInternal()
{
    GearParameters gear = lab.gear;
    gear.internal = !gear.internal;
    if (gear.internal) gear.cutter = CutterKind::pinion;
    changeGear(gear, lab.pressureDegrees, lab.rack);
}

void startTimer()
{
    if (lab.timerPending) return;  // one timer at a time, or the rate would double
    lab.timerPending = true;
    glutTimerFunc(animationInterval, onLabTimer, 0);
}

void pan(double dx, double dy)
{
    // The figure moves by a tenth of the window's half size whatever the zoom.
    const double mm = panShare / viewScale();
    lab.pan.x += dx * mm;
    lab.pan.y += dy * mm;
}

// f: the fitted figure; in view 3 the meshing zone round C first, then the whole pair again.
void fit()
{
    const bool fitted = lab.zoom == 1 && lab.pan.x == 0 && lab.pan.y == 0;
    if (lab.view == 3) lab.meshZone = fitted ? !lab.meshZone : true;
    lab.zoom = 1;
    lab.pan = {0, 0};
}

// A key while the entry is open: typed into it, or Enter to apply it, or Escape to close it.
void entryKey(unsigned char key)
{
    if (key == escapeKey) {
        lab.entryOpen = false;
        lab.entry.clear();
        lab.problem.clear();
    } else if (key == enterKey || key == '\n') {
        std::string problem;
        if (applyEntryLine(lab.entry, &problem)) {
            lab.entryOpen = false;
            lab.entry.clear();
            lab.problem.clear();
        } else {
            lab.problem = labTexts().refused + problem;  // the entry stays open to be mended
        }
    } else if (key == 8 || key == 127) {
        while (!lab.entry.empty() && (static_cast<unsigned char>(lab.entry.back()) & 0xC0) == 0x80) lab.entry.pop_back();
        if (!lab.entry.empty()) lab.entry.pop_back();
    } else if (key >= ' ') {
        lab.entry += static_cast<char>(key);
    }
}

}  // namespace

bool stepLab()
{
    if (lab.view == 1) {
        if (lab.step >= generationSteps) return false;
        ++lab.step;
        advanceGeneration();
        return true;
    }
    if (lab.view == 3) {
        lab.meshStep = (lab.meshStep + 1) % (meshStepsPerPitch * lab.gear.teeth);
        return true;
    }
    return false;
}

void onLabTimer(int)
{
    lab.timerPending = false;
    if (!lab.playing) return;
    // The cut has finished: stop where it ends, without another timer.
    if (!stepLab() || (lab.view == 1 && lab.step >= generationSteps)) lab.playing = false;
    glutPostRedisplay();
    if (lab.playing) startTimer();
}

void onLabKey(unsigned char key, int, int)
{
    if (lab.entryOpen) {
        entryKey(key);
        glutPostRedisplay();
        return;
    }
    // Whatever the key does, what the last one could not do is no longer news.
    const std::string problem = lab.problem, notice = lab.notice;
    lab.problem.clear();
    lab.notice.clear();
    switch (key) {
    case escapeKey:
    case 'q': std::exit(0);
    case enterKey:
    case '\n': lab.entryOpen = true; break;
    case '+': changeTeeth(1); break;
    case '-': changeTeeth(-1); break;
    case '>': changeTeeth(10); break;
    case '<': changeTeeth(-10); break;
    case 'x': changeShift(-shiftStep); break;
    case 'X': changeShift(shiftStep); break;
    case 'a': changePressureAngle(1); break;
    case 'A': changePressureAngle(-1); break;
    case 'r': changeRack(); break;
    case 'c': changeCutter(); break;
    case 'i': changeInternal(); break;
    case 'm': changeMate(lab.mateTeeth - 1, lab.mateShift); break;
    case 'M': changeMate(lab.mateTeeth + 1, lab.mateShift); break;
    case 'y': changeMate(lab.mateTeeth, stepped(lab.mateShift, -shiftStep)); break;
    case 'Y': changeMate(lab.mateTeeth, stepped(lab.mateShift, shiftStep)); break;
    case 'j': changeBacklash(-backlashStep); break;
    case 'J': changeBacklash(backlashStep); break;
    case '1':
    case '2':
    case '3': lab.view = key - '0'; break;
    case ' ':
        lab.playing = !lab.playing;
        if (lab.playing && lab.view == 1 && lab.step >= generationSteps) {  // play again from the start
            lab.step = 0;
            advanceGeneration();
        }
        if (lab.playing) startTimer();
        break;
    case 's': stepLab(); break;
    case '0':
        lab.step = 0;
        lab.meshStep = 0;
        advanceGeneration();
        break;
    case 'w': lab.zoom = zoomOut(lab.zoom); break;
    case 'W': lab.zoom = zoomIn(lab.zoom); break;
    case 'f': fit(); break;
    case 'h': lab.help = !lab.help; break;
    case 'e': exportOutline(stdout, stderr); break;
    case 'p': lab.pictureRequested = true; break;
    default:  // a key that does nothing leaves the messages as they were
        lab.problem = problem;
        lab.notice = notice;
        return;
    }
    glutPostRedisplay();
}

void onLabSpecialKey(int key, int, int)
{
    switch (key) {
    case GLUT_KEY_LEFT: pan(-1, 0); break;
    case GLUT_KEY_RIGHT: pan(1, 0); break;
    case GLUT_KEY_UP: pan(0, 1); break;
    case GLUT_KEY_DOWN: pan(0, -1); break;
    default: return;
    }
    glutPostRedisplay();
}
