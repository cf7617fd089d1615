#include "SCControlsPreview.h"

int main(int argc, char** argv) {
    return SCRunControlsPreview(argc, argv);
}
