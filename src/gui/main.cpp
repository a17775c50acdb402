#include "gui/window/program.h"

int main(int argc, char** argv) {
    return qvr::runProgram(argc, argv);
}
