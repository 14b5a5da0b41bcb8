// cutdemo3: tooth generation by a rack cutter. Types a tooth count in the console, then
// animates in the window how the rack cuts the flank: keys 1 to 6 choose the view, s steps,
// w and W shrink and enlarge, z asks for a new tooth count, Escape ends.
#pragma once

#include "rack_program.h"

// Draws one frame: the mode's captions, the axis cross, the gear circles with a chain-line
// pitch circle, and the mode body with wide tooth curves.
void displayCutdemo3();

extern const RackEdition cutdemo3Edition;
