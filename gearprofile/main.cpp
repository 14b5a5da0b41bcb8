// gearprofile: an involute spur gear's numbers and its closed outline, from the command line.
#include "gearprofile.h"

int main(int argc, char** argv) { return runGearProfile(argc, argv, stdout, stderr); }
