// The keyboard handler of the rack editions.
#include "rack_program.h"

#include <cstdlib>

void onCutDemoKey(unsigned char key, int, int)
{
    if (key == 'z') {
        resetRackSteps();
        rackView.mode = '1';
        rackEdition.setUp(stdin, stdout);  // the window waits until the console dialogue is over
    } else if (key >= '1' && key <= static_cast<unsigned char>(rackEdition.lastModeKey)) {
        rackView.mode = static_cast<char>(key);
        resetRackSteps();
        rackEdition.display();
    } else if (key == 'w') {
        rackView.zoom = zoomOut(rackView.zoom);
        rackEdition.display();
    } else if (key == 'W') {
        rackView.zoom = zoomIn(rackView.zoom);
        rackEdition.display();
    } else if (key == 's') {
        rackEdition.display();
    } else if (key == escapeKey) {
        std::exit(0);
    }
}
