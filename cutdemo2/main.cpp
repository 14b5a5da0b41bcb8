// cutdemo2: the second edition of the rack-cutter program. The same dialogue, modes and keys
// as cutdemo3, drawn with a fixed header, solid gear circles and stroked tooth curves.
#include "rack_program.h"

int main(int argc, char** argv)
{
    ensureStandardStreams();
    rackView.mode = '1';
    if (!setUpRackGeneration()) return 1;
    runWindow(&argc, argv, displayCutDemo, onCutDemoKey);
}
