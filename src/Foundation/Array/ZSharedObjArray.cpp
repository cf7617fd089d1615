#include "ZSharedObjArray.h"

namespace {

ZSharedObject* LoadObject(const void* slot) {
    return reinterpret_cast<ZSharedObject*>(ZPtrArray::LoadItem(slot));
}

void AttachIfAny(ZSharedObject* object) {
    if (object)
        object->Attach();
}

void ReleaseIfAny(ZSharedObject* object) {
    if (object)
        object->Release();
}

} // namespace

ZSharedObjArray::ZSharedObjArray(const ZSharedObjArray& source) : ZGenericPtrArray() {
    (void)source.CopySelf(*this);
}

ZSharedObjArray::~ZSharedObjArray() {
    RemoveAllItems();
}

int32_t ZSharedObjArray::CopySelf(ZSharedObjArray& target) const {
    int32_t err = ZArray::CopySelf(target);
    if (err != 0)
        return err;
    for (uint32_t index = 0; index < target.fNumItems; ++index)
        AttachIfAny(LoadObject(target.GetItemPtrSelf(index)));
    return 0;
}

int32_t ZSharedObjArray::InsertItemSelf(const void* itemPtr, uint32_t index) {
    ZSharedObject* object = LoadObject(itemPtr);
    int32_t err = ZPtrArray::InsertItemSelf(itemPtr, index);
    if (err == 0)
        AttachIfAny(object);
    return err;
}

int32_t ZSharedObjArray::AddItemSelf(const void* itemPtr, uint32_t* whereAdded) {
    ZSharedObject* object = LoadObject(itemPtr);
    int32_t err = ZPtrArray::AddItemSelf(itemPtr, whereAdded);
    if (err == 0)
        AttachIfAny(object);
    return err;
}

int32_t ZSharedObjArray::InsertValueSelf(ZPtrArrayItem* value, uint32_t index) {
    int32_t err = ZPtrArray::InsertValueSelf(value, index);
    if (err == 0)
        AttachIfAny(FromItem(value));
    return err;
}

int32_t ZSharedObjArray::AddValueSelf(ZPtrArrayItem* value, uint32_t* whereAdded) {
    int32_t err = ZPtrArray::AddValueSelf(value, whereAdded);
    if (err == 0)
        AttachIfAny(FromItem(value));
    return err;
}

void ZSharedObjArray::SetIndItemSelf(const void* itemPtr, uint32_t index) {
    if (fItems && index < fNumItems)
        Replace(LoadObject(itemPtr), index);
}

void ZSharedObjArray::SetNthValueSelf(ZPtrArrayItem* value, uint32_t index) {
    if (fItems && index < fNumItems)
        Replace(FromItem(value), index);
}

void ZSharedObjArray::Replace(ZSharedObject* object, uint32_t index) {
    ZSharedObject* old = LoadObject(GetItemPtrSelf(index));
    ZPtrArrayItem* item = ToItem(object);
    Store(&item, index);
    AttachIfAny(object);
    ReleaseIfAny(old);
}

void ZSharedObjArray::DeleteItem(uint32_t index) {
    if (!fItems || index >= fNumItems)
        return;
    ReleaseIfAny(LoadObject(GetItemPtrSelf(index)));
    ZPtrArray::DeleteItem(index);
}

void ZSharedObjArray::RemoveAllItems() {
    if (!fItems)
        return;
    for (uint32_t index = 0; index < fNumItems; ++index)
        ReleaseIfAny(LoadObject(GetItemPtrSelf(index)));
    ZPtrArray::RemoveAllItems();
}
