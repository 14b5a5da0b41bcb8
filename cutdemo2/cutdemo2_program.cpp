// What cutdemo2 supplies to the toolkit and to the shared rack code.
#include "rack_program.h"

const int circleSegmentCount = 100;
const char windowTitle[] = "ラックカッタによる歯形創成　z:歯数　1,2,3,4,5,6：創成画面変更，s:継続";
const double& toothCurveZoom = rackView.zoom;
const char lastModeKey = '6';

bool setUpRackGeneration() { return runRackDialogue(stdin, stdout); }
