// cutdemo3: tooth generation by a rack cutter. Types a tooth count in the console, then
// animates in the window how the rack cuts the flank: keys 1 to 6 choose the view, s steps,
// w and W shrink and enlarge, z asks for a new tooth count, Escape ends.
#include "rack_program.h"

int main(int argc, char** argv)
{
    ensureStandardStreams();
    rackView.mode = '1';
    if (!setUpRackGeneration()) return 1;
    runWindow(&argc, argv, displayCutDemo, onCutDemoKey);
}
