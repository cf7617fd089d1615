#include "ZSharedObject.h"

#include <gtest/gtest.h>

namespace {

// Counts destructions so a test can see exactly when the last reference went.
struct Probe : ZSharedObject {
    explicit Probe(int* destroyed) : mDestroyed(destroyed) {}
    ~Probe() override { ++*mDestroyed; }
    int* mDestroyed;
};

TEST(ZSharedObject, LivesUntilTheLastReferenceIsReleased) {
    int destroyed = 0;
    Probe* p = new Probe(&destroyed);
    EXPECT_EQ(p->GetReferenceCount(), 1);
    p->Attach();
    EXPECT_EQ(p->GetReferenceCount(), 2);
    p->Release();
    EXPECT_EQ(destroyed, 0);
    p->Release();
    EXPECT_EQ(destroyed, 1);
}

TEST(ZStSharedObject, AdoptsOrAddsAReference) {
    int destroyed = 0;
    Probe* p = new Probe(&destroyed);
    {
        ZStSharedObject added(p, true);
        EXPECT_EQ(p->GetReferenceCount(), 2);
        {
            ZStSharedObject adopted(p, false);
            EXPECT_EQ(p->GetReferenceCount(), 2);
        }
        EXPECT_EQ(p->GetReferenceCount(), 1);
        EXPECT_TRUE(added.IsntEmpty());
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(ZStSharedObject, AdoptAndReleaseHandOverReferences) {
    int destroyed = 0;
    Probe* a = new Probe(&destroyed);
    Probe* b = new Probe(&destroyed);
    ZStSharedObject holder(a, false);
    holder.Adopt(a); // the object already held: nothing changes
    EXPECT_EQ(a->GetReferenceCount(), 1);
    holder.Adopt(b); // b gains a reference, a loses the holder's
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(b->GetReferenceCount(), 2);
    ZSharedObject* taken = holder.Release();
    EXPECT_EQ(taken, b);
    EXPECT_TRUE(holder.IsEmpty());
    EXPECT_EQ(b->GetReferenceCount(), 2);
    b->Release();
    b->Release();
    EXPECT_EQ(destroyed, 2);
}

} // namespace
