// gearprofile: an involute spur gear's numbers and its closed outline, from the command line.
#include "gearplot.h"
#include "gearprofile.h"

int main(int argc, char** argv)
{
    ensureStandardStreams();  // a file written must never take the place of standard output
    return runGearProfile(argc, argv, stdout, stderr);
}
