#include "SCApplication.h"

int main(int argc, char** argv) {
    return SCRunApplication(argc, argv);
}
