// Whole runs in process under both node models, on drawn folds and on the
// same folds given as a table, on one and on three threads: all give the same
// console text and report, and the two models give different ones.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "cv/cross_validate.h"
#include "cv/cv_settings.h"
#include "driver/report_file.h"
#include "driver/run_analysis.h"
#include "model/fit_workspace.h"
#include "model/node_model.h"
#include "numeric/arrays.h"
#include "numeric/ran1.h"
#include "numeric/run_counts.h"
#include "numeric/thread_count.h"
#include "support/test_support.h"
#include "tree/node_table.h"

namespace {

constexpr int cases = 400, q = 3, folds = 5, repeats = 2;

korva_run whole_run(node_model_kind model, bool given, int threads) {
    return run_in_child([&] {
        std::mt19937 gen(91);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<int> levels = {1, 1, 3}, columns = {1, 2, 3};
        std::vector<std::vector<real>> x(3, std::vector<real>(cases));
        std::vector<std::vector<int>> y(q + 1, std::vector<int>(cases));
        std::vector<real*> x_rows;
        std::vector<int*> y_rows;
        for (int i = 0; i < cases; i++) {
            x[0][i] = static_cast<real>(gen() % 40);
            x[1][i] = static_cast<real>(unit(gen));
            x[2][i] = static_cast<real>(gen() % 3);
            // Outcomes 0 and 1 go together, 2 goes against 0.
            const double z = unit(gen) < 0.5 ? 1.0 : -1.0;
            const double eta[q] = {0.1 * (x[0][i] - 20) + z, z, (x[2][i] == 1 ? 0.5 : -0.5) - z};
            int s = 0;
            for (int j = 0; j < q; j++) {
                y[j][i] = unit(gen) < 1 / (1 + std::exp(-eta[j])) ? 1 : 0;
                s += y[j][i];
            }
            y[q][i] = s * (s - 1) / 2;
        }
        for (auto& row : x) x_rows.push_back(row.data());
        for (auto& row : y) y_rows.push_back(row.data());
        set_outcome_counts(q);
        n_subjects = cases;
        n_covariates = 3;
        cov_levels = levels.data();
        covariate_matrix = x_rows.data();
        outcome_matrix = y_rows.data();
        max_nodes = 200;
        n_threads = threads;
        node_model = model;
        if (given) {
            // The folds the drawn run would cut from its permutations.
            std::vector<int> table(repeats * cases);
            int seed = 13;
            for (int r = 0; r < repeats; r++) {
                int* order = random_permutation(&seed, cases);
                for (int j = 0; j < cases; j++) table[r * cases + order[j]] = j / (cases / folds);
                release_vector(order);
            }
            reset_ran1();
            set_given_folds(table.data(), repeats, folds);
        }
        node_table nodes;
        split_workspace split;
        fit_workspace fit;
        alloc_node_table(nodes);
        alloc_split_workspace(split);
        alloc_fit_workspace(fit, q);
        int cv_seed = 13;
        grow_and_prune(columns.data(), nodes, split, fit);
        run_repetitions(folds, repeats, &cv_seed, nodes, split, fit);
        finish_report();
    });
}

} // namespace

TEST(ModelAndFolds, GivenFoldsAndThreadsChangeNothing) {
    std::string first_report[2];
    for (node_model_kind model : {node_model_common, node_model_pairwise}) {
        const korva_run drawn = whole_run(model, false, 1);
        ASSERT_EQ(drawn.status, 0) << drawn.err;
        EXPECT_EQ(drawn.infor.find("nan"), std::string::npos);
        EXPECT_EQ(drawn.infor.find("inf\n"), std::string::npos);
        first_report[model] = drawn.infor;
        for (bool given : {false, true}) {
            for (int threads : {1, 3}) {
                if (!given && threads == 1) continue;
                const korva_run r = whole_run(model, given, threads);
                EXPECT_EQ(r.status, 0) << r.err;
                EXPECT_TRUE(r.out == drawn.out) << model << given << threads << "\n" << r.out;
                EXPECT_TRUE(r.infor == drawn.infor) << model << given << threads << "\n" << r.infor;
            }
        }
    }
    EXPECT_NE(first_report[0], first_report[1]);
}
