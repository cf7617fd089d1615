#include "QorMemory.h"

int32_t QorForceMemError() {
    return kQorOutOfMemoryErr;
}
