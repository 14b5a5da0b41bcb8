// gearlab: the teacher's gear laboratory (see gearlab.h for what it shows and its keys).
#include "gearlab.h"

#include <exception>
#include <new>

int main(int argc, char** argv)
{
    try {
        return runGearLab(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("gearlab: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gearlab: %s\n", e.what());
    }
    return 1;
}
