#include "cutdemo3.h"

int main(int argc, char** argv) { return runRackEdition(argc, argv, cutdemo3Edition); }
