#include "gearplot.h"
