#include <gtest/gtest.h>

#include "numeric/arrays.h"
#include "numeric/fatal_error.h"

TEST(Arrays, MatricesHaveSeparateRowsAndZeroRowsIsATable) {
    real** m = matrix(3, 4);
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 4; j++) m[i][j] = static_cast<real>(i * 4 + j);
    EXPECT_EQ(m[2][3], 11);
    release_matrix(m, 3);
    int** e = imatrix(0, 5);
    release_matrix(e, 0);
}

TEST(ArraysDeathTest, FatalErrorWritesThreeLinesAndExitsOne) {
    EXPECT_EXIT(fatal_error("error in find_covmat()\n"), ::testing::ExitedWithCode(1),
                "Numerical Recipes run-time error \\.\\.\\.\nerror in find_covmat\\(\\)\n\n"
                "\\.\\.\\.now exiting to system\\.\\.\\.\n");
}

TEST(ArraysDeathTest, ExhaustedMemoryIsFatal) {
    EXPECT_EXIT(dvector(1L << 62), ::testing::ExitedWithCode(1), "allocation failure in dvector");
    EXPECT_EXIT(imatrix(2, 1L << 62), ::testing::ExitedWithCode(1), "error in imatrix");
}

TEST(ArraysDeathTest, SilentExitIs255) {
    EXPECT_EXIT(silent_exit(), ::testing::ExitedWithCode(255), "");
}
