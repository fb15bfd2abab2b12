#include "shell/startup.h"

int main(int argc, char** argv) { return kiv::RunProgram(argc, argv); }
