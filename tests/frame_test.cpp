#include "gl_standin.h"
#include "gearplot.h"
#include <gtest/gtest.h>
