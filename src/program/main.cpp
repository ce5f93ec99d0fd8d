// Quorvane's entry point: everything happens in RunProgram, so that the
// program's own code stays in the library the tests link against.
#include "program/run.h"

int main(int argc, char** argv) {
    return qv::RunProgram(argc, argv);
}
