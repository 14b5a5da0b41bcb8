// The lab's keys and its animation timer.
#include "gearlab.h"

#include <GL/glut.h>

#include <cmath>
#include <cstdlib>
#include <iterator>

namespace {

// A gear like the current one with another tooth count, shift or angle; the change is
// refused, with the reason shown, when the engine cannot cut it.
void changeTeeth(int delta)
{
    GearParameters gear = lab.gear;
    const long teeth = static_cast<long>(gear.teeth) + delta;
    if (teeth < 1) {
        lab.problem = "the tooth count must be at least 1";
        return;
    }
    gear.teeth = static_cast<int>(teeth);
    changeGear(gear, lab.pressureDegrees, lab.rack);
}

void changeShift(double delta)
{
    GearParameters gear = lab.gear;
    // Whole hundredths stay whole: 0.05 steps must add up to the values printed.
    gear.shift = std::round((gear.shift + delta) * 1e9) / 1e9 + 0.0;
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
    } else {  // an angle from the command line: the nearest one on the asked side
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

void changeRack()
{
    const int next = (lab.rack + 1) % labRackCount;  // a custom rack (-1) goes to A
    GearParameters gear = lab.gear;
    basicRackNamed(labRackNames[next], &gear.rack);
    changeGear(gear, lab.pressureDegrees, next);
}

void changeMate(int delta)
{
    const int teeth = lab.mateTeeth + delta;
    if (teeth < 1 || teeth > labMostTeeth) return;
    lab.mateTeeth = teeth;
    recomputeFigures();
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
    lab.notice.clear();
    switch (key) {
    case 27:
    case 'q': std::exit(0);
    case '+': changeTeeth(1); break;
    case '-': changeTeeth(-1); break;
    case '>': changeTeeth(10); break;
    case '<': changeTeeth(-10); break;
    case 'x': changeShift(-shiftStep); break;
    case 'X': changeShift(shiftStep); break;
    case 'a': changePressureAngle(1); break;
    case 'A': changePressureAngle(-1); break;
    case 'r': changeRack(); break;
    case 'm': changeMate(-1); break;
    case 'M': changeMate(1); break;
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
    case 'f':
        lab.zoom = 1;
        lab.pan = {0, 0};
        break;
    case 'h': lab.help = !lab.help; break;
    case 'e': exportOutline(stdout, stderr); break;
    case 'p': lab.pictureRequested = true; break;
    default: return;
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
