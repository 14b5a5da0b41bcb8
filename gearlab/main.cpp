// gearlab: the teacher's gear laboratory (see gearlab.h for what it shows and its keys).
#include "gearlab.h"

int main(int argc, char** argv) { return runGearLab(argc, argv); }
