#include "MissedTasksDaemon.h"

int main(int argc, char** argv) {
    return TavrinMissedTasksMain(argc, argv);
}
