// What unwinddemo supplies to the toolkit.
#include "unwind.h"

const int circleSegmentCount = 120;
const char windowTitle[] =
    "糸の巻き戻しによるインボリュート曲線創成　1,..,6：創成画面変更，d,D:正逆回転，s:継続";
const double& toothCurveZoom = unwindView.zoom;
