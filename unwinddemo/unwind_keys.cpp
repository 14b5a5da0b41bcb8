// The keyboard handler of unwinddemo. Keys that redraw call the display pass directly, so
// each such key (and each auto-repeat) moves the animation on by one step.
#include "unwind.h"

#include <cstdlib>

namespace {

// A mode key restarts its mode from the beginning, forwards.
void restartMode(char mode)
{
    unwindView.mode = mode;
    unwindView.direction = 'd';
    unwindView.fixedStep = unwindView.turnStep = 0;
    unwindView.rollAngle = 0.0;
}

}  // namespace

void onUnwindKey(unsigned char key, int, int)
{
    switch (key) {
    case 'z':
        unwindView.fixedStep = unwindView.turnStep = 0;
        unwindView.mode = '1';
        setUpUnwinding();
        return;  // the next pass, whenever it comes, starts mode 1
    case '1': case '2': case '3':
    case '4': case '5': case '6':
        restartMode(static_cast<char>(key));
        break;
    case 'd': case 'D':
        unwindView.direction = static_cast<char>(key);
        break;
    case 'w':
        unwindView.zoom = zoomOut(unwindView.zoom);
        break;
    case 'W':
        unwindView.zoom = zoomIn(unwindView.zoom);
        break;
    case 's':
        break;
    case escapeKey:
        std::exit(0);
    default:
        return;
    }
    displayUnwindDemo();
}
