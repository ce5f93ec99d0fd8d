// Quorvane's entry point: everything happens in RunProgram, the process around
// Main, which alone picks the real media device; the rest of the program's
// code is in the libraries the tests link against.
#include "program/run.h"

int main(int argc, char** argv) {
    return qv::RunProgram(argc, argv);
}
