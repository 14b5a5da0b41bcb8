// cutdemo1: the earliest edition of the rack-cutter program, stepped in the angle φ at the gear
// centre. Types a tooth count in the console, then animates in the window how a ten-tooth rack
// cuts the flank, tracing every drawn tooth's corners to the console. Keys: 1 tip side,
// 2 root side, 3 undercut, 4 the whole tooth as the envelope of 51 racks, 5 the finished
// profile; s steps, w and W shrink and enlarge, z asks for a new tooth count, Escape ends.
#include "rack_program.h"

int main(int argc, char** argv)
{
    ensureStandardStreams();
    rackView.mode = '1';
    if (!setUpRackGeneration()) return 1;
    runWindow(&argc, argv, displayCutDemo, onCutDemoKey);
}
