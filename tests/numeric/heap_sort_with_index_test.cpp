#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "numeric/heap_sort_with_index.h"

TEST(HeapSort, TwoElements) {
    real k[3] = {-7, 2, 1};
    int c[3] = {-9, 10, 20};
    heap_sort_with_index(2, k, c);
    EXPECT_EQ(k[1], 1);
    EXPECT_EQ(k[2], 2);
    EXPECT_EQ(c[1], 20);
    EXPECT_EQ(c[2], 10);
    EXPECT_EQ(k[0], -7); // entry 0 untouched
    EXPECT_EQ(c[0], -9);
    heap_sort_with_index(2, k, c); // already ascending: nothing moves
    EXPECT_EQ(c[1], 20);
    EXPECT_EQ(c[2], 10);
}

TEST(HeapSort, EqualKeysPermuteCompanionsAsTheHeapStepsDo) {
    real k[4] = {0, 5, 5, 5};
    int c[4] = {0, 'a', 'b', 'c'};
    heap_sort_with_index(3, k, c);
    EXPECT_EQ(c[1], 'b');
    EXPECT_EQ(c[2], 'c');
    EXPECT_EQ(c[3], 'a');
}

TEST(HeapSort, ShortVectorsUnchanged) {
    real k[2] = {3, 4};
    int c[2] = {1, 2};
    heap_sort_with_index(1, k, c);
    heap_sort_with_index(0, k, c);
    EXPECT_EQ(k[1], 4);
    EXPECT_EQ(c[1], 2);
}

TEST(HeapSort, RandomKeysSortedWithCompanions) {
    std::mt19937 gen(5);
    for (int n : {2, 3, 7, 64, 1001}) {
        std::vector<real> k(n + 1);
        std::vector<int> c(n + 1);
        for (int i = 1; i <= n; i++) {
            k[i] = static_cast<real>(gen() % 50);
            c[i] = i;
        }
        std::vector<real> orig = k;
        heap_sort_with_index(n, k.data(), c.data());
        for (int i = 1; i < n; i++) ASSERT_LE(k[i], k[i + 1]);
        std::vector<int> seen(n + 1, 0);
        for (int i = 1; i <= n; i++) {
            ASSERT_EQ(orig[c[i]], k[i]);
            seen[c[i]]++;
        }
        for (int i = 1; i <= n; i++) ASSERT_EQ(seen[i], 1);
    }
}
