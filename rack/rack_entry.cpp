// The one entry of the rack editions: the console set-up, then the window.
#include "rack_program.h"

void useRackEdition(const RackEdition& edition)
{
    rackEdition = edition;
    setCircleSegmentCount(edition.circleSegments);
}

int runRackEdition(int argc, char** argv, const RackEdition& edition)
{
    ensureStandardStreams();  // before anything opens a file that could take descriptor 0 to 2
    useRackEdition(edition);
    rackView.mode = '1';
    if (!rackEdition.setUp(stdin, stdout)) return 1;
    runWindow(&argc, argv, {rackEdition.windowTitle, rackEdition.display, onCutDemoKey});
    return 0;
}
