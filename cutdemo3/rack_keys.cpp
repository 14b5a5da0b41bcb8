// The keyboard handler of the rack editions.
#include "rack_program.h"

#include <cstdlib>

namespace {

void resetSteps()
{
    rackView.addendumStep = rackView.dedendumStep = rackView.undercutStep = rackView.wholeStep = 0;
}

}  // namespace

void onCutDemoKey(unsigned char key, int, int)
{
    if (key == 'z') {
        resetSteps();
        rackView.mode = '1';
        setUpRackGeneration();  // the window waits until the console dialogue is over
    } else if (key >= '1' && key <= static_cast<unsigned char>(lastModeKey)) {
        rackView.mode = static_cast<char>(key);
        resetSteps();
        displayCutDemo();
    } else if (key == 'w') {
        rackView.zoom *= 0.9;
        displayCutDemo();
    } else if (key == 'W') {
        rackView.zoom /= 0.9;
        displayCutDemo();
    } else if (key == 's') {
        displayCutDemo();
    } else if (key == 27) {
        std::exit(0);
    }
}
