#include "Clock.h"

#include <gtest/gtest.h>

TEST(Clock, FakeClockStandsInForTheRealOneWhileInstalled) {
    QorFakeClock fake(1000);
    {
        QorScopedClock use(&fake);
        QorSleep(2);
        QorSleep(2);
        EXPECT_EQ(QorNow(), 1004);
    }
    EXPECT_EQ(fake.Sleeps(), (std::vector<unsigned>{2, 2}));
    EXPECT_GT(QorNow(), 1600000000); // the real clock is back
}
