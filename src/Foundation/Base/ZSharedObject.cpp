#include "ZSharedObject.h"

void ZSharedObject::Release() {
    if (--mReferenceCount == 0)
        delete this;
}
