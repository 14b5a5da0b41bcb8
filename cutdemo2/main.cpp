#include "cutdemo2.h"

int main(int argc, char** argv) { return runRackEdition(argc, argv, cutdemo2Edition); }
