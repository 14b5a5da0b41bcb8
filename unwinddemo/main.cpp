// unwinddemo: prints its gear data and key list, then animates the unwinding views.
#include "unwind.h"

int main(int argc, char** argv)
{
    ensureStandardStreams();
    setCircleSegmentCount(unwindCircleSegments);
    unwindView.mode = '1';
    setUpUnwinding();
    runWindow(&argc, argv, unwindWindow);
}
