// What cutdemo1 supplies to the toolkit and to the shared rack code.
#include "cutdemo1.h"

const int circleSegmentCount = 100;
const char windowTitle[] = "ラックカッタによる歯形創成　z:歯数　1,2,3,4：描画歯面変更，s:継続";
const double& toothCurveZoom = rackView.zoom;
const char lastModeKey = '5';

bool setUpRackGeneration() { return runPhiDialogue(stdin, stdout); }
