#include "SendEventCommand.h"

#include <cstdio>

int main(int argc, char** argv) {
    return SendEventMain(argc, argv, stdout, stderr);
}
