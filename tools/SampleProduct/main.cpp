#include "SampleProduct.h"

int main(int argc, char** argv) {
    return SampleProductMain(argc, argv);
}
