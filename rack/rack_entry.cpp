// The one entry of the rack editions: the console set-up, then the window.
#include "rack_program.h"

#include <iterator>

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
    // The keys as the dialogue listed them, and Escape, which ends the program.
    const KeyHelp keys[] = {rackKeys[0], rackKeys[1], rackKeys[2], rackEdition.modeKeys[0], rackEdition.modeKeys[1],
                            {{escapeKey}, "Esc", "終了"}};
    WindowDescription window{rackEdition.windowTitle, rackEdition.display, onCutDemoKey};
    window.keys = keys;
    window.keyCount = static_cast<int>(std::size(keys));
    runWindow(&argc, argv, window);
    return 0;
}
