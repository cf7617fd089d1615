#include "SCTaskTablePreview.h"

int main(int argc, char** argv) {
    return SCRunTaskTablePreview(argc, argv);
}
