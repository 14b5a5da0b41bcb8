// What a program supplies to the toolkit, as the toolkit tests see it: cutdemo3's circle
// segment count and a zoom the tests can change.
#include "gearplot.h"

const int circleSegmentCount = 120;
const char windowTitle[] = "歯形テスト　z:歯数";
double testZoom = 0.5;
const double& toothCurveZoom = testZoom;
