// Cross-validation folds on worker threads: a stop inside a fold gives the
// console text, standard error and exit status of the one-thread run, and
// KORVA_THREADS is read strictly.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "cv/cross_validate.h"
#include "driver/run_analysis.h"
#include "model/fit_workspace.h"
#include "numeric/arrays.h"
#include "numeric/ran1.h"
#include "numeric/run_counts.h"
#include "numeric/thread_count.h"
#include "support/test_support.h"
#include "tree/node_table.h"

namespace {

constexpr int cases = 400;
constexpr int q = 2;

// Two ordered covariates and a nominal one with three categories; outcomes
// depend on the first and the third.
struct run_data {
    std::vector<int> levels = {1, 1, 3};
    std::vector<int> columns = {1, 2, 3};
    std::vector<std::vector<real>> x;
    std::vector<std::vector<int>> y;
    std::vector<real*> x_rows;
    std::vector<int*> y_rows;

    run_data() {
        std::mt19937 gen(77);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        x.assign(3, std::vector<real>(cases));
        y.assign(q + 1, std::vector<int>(cases));
        for (int i = 0; i < cases; i++) {
            x[0][i] = static_cast<real>(gen() % 50);
            x[1][i] = static_cast<real>(unit(gen));
            x[2][i] = static_cast<real>(gen() % 3);
            int s = 0;
            for (int j = 0; j < q; j++) {
                double eta = 0.08 * (x[0][i] - 25) + (x[2][i] == j ? 0.8 : -0.4);
                y[j][i] = unit(gen) < 1 / (1 + std::exp(-eta)) ? 1 : 0;
                s += y[j][i];
            }
            y[q][i] = s * (s - 1) / 2;
        }
        for (auto& row : x) x_rows.push_back(row.data());
        for (auto& row : y) y_rows.push_back(row.data());
    }
};

// The first subject held out in the first fold of the first repetition.
int first_held_out_subject() {
    reset_ran1();
    int seed = 13;
    int* order = random_permutation(&seed, cases);
    int s = order[0];
    release_vector(order);
    reset_ran1();
    return s;
}

// A whole run in process on `threads` threads, with a training outcome of 2
// planted after the full tree: the first fold holds that subject out and runs
// to its end, the second stops at its training check.
korva_run run_with_bad_outcome(int threads, int bad_subject) {
    return run_in_child([&] {
        run_data d;
        set_outcome_counts(q);
        n_subjects = cases;
        n_covariates = 3;
        cov_levels = d.levels.data();
        covariate_matrix = d.x_rows.data();
        outcome_matrix = d.y_rows.data();
        max_nodes = 200;
        n_threads = threads;
        node_table nodes;
        split_workspace split;
        fit_workspace fit;
        alloc_node_table(nodes);
        alloc_split_workspace(split);
        alloc_fit_workspace(fit, q);
        int cv_seed = 13;
        grow_and_prune(d.columns.data(), nodes, split, fit);
        outcome_matrix[1][bad_subject] = 2;
        run_repetitions(5, 3, &cv_seed, nodes, split, fit);
    });
}

TEST(ParallelFolds, StopInAFoldMatchesOneThread) {
    const int bad = first_held_out_subject();
    korva_run alone = run_with_bad_outcome(1, bad);
    ASSERT_EQ(alone.status, 255) << alone.err;
    EXPECT_NE(alone.out.find("round 1\n========\ngrowing ...\ndone\n1 of 5-fold CVs finished\n"),
              std::string::npos);
    EXPECT_EQ(alone.out.find("2 of 5-fold"), std::string::npos);
    for (int threads : {2, 3, 8}) {
        korva_run many = run_with_bad_outcome(threads, bad);
        EXPECT_EQ(many.status, alone.status) << threads;
        EXPECT_TRUE(many.out == alone.out) << threads << " threads:\n" << many.out;
        EXPECT_EQ(many.err, alone.err) << threads;
        EXPECT_TRUE(many.infor == alone.infor) << threads;
    }
}

TEST(ThreadCount, BadValuesAreRefusedBeforeTheBanner) {
    for (const char* value : {"0", "-2", "two", "2x", " 2", "1.5", "257", "99999999999"}) {
        korva_run r = run_korva("", {}, std::string("KORVA_THREADS='") + value + "'");
        EXPECT_EQ(r.status, 1) << value;
        EXPECT_EQ(r.out, "") << value;
        EXPECT_EQ(r.err, std::string("error: KORVA_THREADS must be a whole number from 1 to 256, "
                                     "not \"") +
                             value + "\"\n")
            << value;
    }
}

TEST(ThreadCount, EmptyMeansEveryCore) {
    korva_run r = run_korva("missing.dat\n", {}, "KORVA_THREADS=");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("data filename ?"), std::string::npos);
}

} // namespace
