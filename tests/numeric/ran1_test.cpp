#include <gtest/gtest.h>

#include <cmath>

#include "numeric/ran1.h"

TEST(Ran1, FirstValuesFromSeed13AndSeedBecomesOne) {
    reset_ran1();
    int seed = 13;
    const double expected[] = {0.8637960, 0.5539033, 0.4214417, 0.1660788, 0.1727414};
    for (double e : expected) EXPECT_NEAR(RAN1(&seed), e, 5e-8);
    EXPECT_EQ(seed, 1);
}

TEST(Ran1, StreamContinuesUntilSeedIsNegative) {
    reset_ran1();
    int seed = 13;
    real first = RAN1(&seed);
    real second = RAN1(&seed);
    EXPECT_NE(first, second);
    seed = -13; // re-initialises from x1 = 54773 + 13
    RAN1(&seed);
    EXPECT_EQ(seed, 1);
    reset_ran1();
    int again = 13;
    EXPECT_EQ(RAN1(&again), first);
}

TEST(Ran1, ValuesStayInUnitInterval) {
    reset_ran1();
    int seed = 13;
    for (int i = 0; i < 100000; i++) {
        real u = RAN1(&seed);
        ASSERT_GE(u, 0.0f);
        ASSERT_LE(u, 1.0f);
    }
}
