#include "QorSchedCommands.h"

#include <cstdio>

int main(int argc, char** argv) {
    return RunQorSched(argc, argv, stdout, stderr);
}
