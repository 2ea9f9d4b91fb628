#include "mainwindow/WindowProgram.h"

int main(int argc, char** argv) {
    return veltro::mainwindow::runWindowProgram(argc, argv);
}
