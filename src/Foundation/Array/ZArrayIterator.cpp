#include "ZArray.h"

#include <algorithm>

ZArray::Iterator::Iterator(ZArray* array, uint32_t start) {
    AttachTo(array, start);
}

ZArray::Iterator::Iterator(const Iterator& other) {
    AttachTo(other.fArray, other.fPosition);
}

ZArray::Iterator& ZArray::Iterator::operator=(const Iterator& other) {
    if (this != &other) {
        ZArray* array = other.fArray;
        uint32_t position = other.fPosition;
        RemoveFromArray();
        AttachTo(array, position);
    }
    return *this;
}

void ZArray::Iterator::AttachTo(ZArray* array, uint32_t position) {
    if (!array || !array->IsInitialized())
        return;
    fArray = array;
    fPosition = std::min(position, array->fNumItems);
    fNextIterator = array->fIterators;
    array->fIterators = this;
}

void ZArray::Iterator::RemoveFromArray() {
    if (fArray) {
        for (Iterator** link = &fArray->fIterators; *link; link = &(*link)->fNextIterator) {
            if (*link == this) {
                *link = fNextIterator;
                break;
            }
        }
    }
    fArray = nullptr;
    fPosition = 0;
    fNextIterator = nullptr;
}

void ZArray::Iterator::MoveTo(uint32_t position) {
    if (fArray)
        fPosition = std::min(position, fArray->fNumItems);
}

bool ZArray::Iterator::Next(void* itemPtr) {
    if (AtEnd())
        return false;
    if (itemPtr)
        fArray->Retrieve(itemPtr, fPosition);
    ++fPosition;
    return true;
}

bool ZArray::Iterator::Previous(void* itemPtr) {
    if (AtBeginning())
        return false;
    --fPosition;
    if (itemPtr)
        fArray->Retrieve(itemPtr, fPosition);
    return true;
}

bool ZArray::Iterator::NextPtr(void** itemPtr) {
    if (AtEnd())
        return false;
    if (itemPtr)
        *itemPtr = fArray->GetItemPtrSelf(fPosition);
    ++fPosition;
    return true;
}

bool ZArray::Iterator::PreviousPtr(void** itemPtr) {
    if (AtBeginning())
        return false;
    --fPosition;
    if (itemPtr)
        *itemPtr = fArray->GetItemPtrSelf(fPosition);
    return true;
}

void ZArray::Iterator::ItemInserted(uint32_t index) {
    if (index < fPosition)
        ++fPosition;
}

void ZArray::Iterator::ItemDeleted(uint32_t index) {
    if (index < fPosition)
        --fPosition;
}
