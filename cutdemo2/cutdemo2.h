// cutdemo2: the second edition of the rack-cutter program. The same dialogue, modes and keys
// as cutdemo3, drawn with a fixed header, solid gear circles and stroked tooth curves.
#pragma once

#include "rack_program.h"

// Draws one frame: the fixed header, the axis cross, the solid gear circles with the centre
// mark, the mode's caption and the mode body with stroked tooth curves.
void displayCutdemo2();

extern const RackEdition cutdemo2Edition;
