// The tree table: header lines, ordered and nominal rows, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/write_tree_table.h"
#include "numeric/run_counts.h"

namespace {

std::string table_text(int n_nodes, const std::vector<int>& split_covariate,
                       const std::vector<int>& left_daughter, const std::vector<int>& node_cases,
                       const std::vector<int>& cov_column, const std::vector<real>& split_value,
                       const std::vector<real>& node_value) {
    std::FILE* f = std::tmpfile();
    EXPECT_NE(f, nullptr);
    write_tree_table(f, n_nodes, split_covariate.data(), left_daughter.data(), node_cases.data(),
                     cov_column.data(), split_value.data(), node_value.data());
    std::fflush(f);
    std::rewind(f);
    std::string text;
    int ch;
    while ((ch = std::fgetc(f)) != EOF) text.push_back(static_cast<char>(ch));
    std::fclose(f);
    return text;
}

// Points cov_levels at a test's level codes and restores it afterwards.
struct levels_guard {
    int* saved = cov_levels;
    explicit levels_guard(std::vector<int>& levels) { cov_levels = levels.data(); }
    ~levels_guard() { cov_levels = saved; }
};

const std::string header = "                daugther-nodes   split   split\n"
                           "node # \t cases \t left \t right \t var # \t value\t likelihood \n";

TEST(WriteTreeTable, OneNodeTree) {
    std::vector<int> levels = {1, 3};
    levels_guard guard(levels);
    std::string text = table_text(1, {0}, {0}, {189}, {2, 4}, {0.0f}, {-0.0f});
    EXPECT_EQ(text, header + "0 \t 189 \t 0 \t 0 \t 3 0.000000 \t -0.000000\n");

    // Covariate 0 nominal: a terminal root lists all its categories.
    levels[0] = 3;
    text = table_text(1, {0}, {0}, {60}, {0}, {0.0f}, {41.5f});
    EXPECT_EQ(text, header + "0 \t 60 \t 0 \t 0 \t 1  \t{0,1,2}\t 41.500000\n");
}

TEST(WriteTreeTable, OrderedAndNominalRows) {
    // Covariate 0 ordered, 1 nominal with 4 categories, 2 with level code 0
    // (written as ordered).
    std::vector<int> levels = {1, 4, 0};
    levels_guard guard(levels);
    std::vector<int> column = {0, 5, 6};
    std::string text =
        table_text(5, {1, 0, 0, 2, 0}, {1, 3, 0, 0, 0}, {300, 180, 120, 90, 90}, column,
                   {5.0f, 2.25f, 0.0f, 1.5f, 0.0f}, {200.125f, 110.0f, 60.0f, 40.0f, 45.0f});
    EXPECT_EQ(text, header + "0 \t 300 \t 1 \t 2 \t 6  \t{1,3}\t 200.125000\n"
                             "1 \t 180 \t 3 \t 4 \t 1 2.250000 \t 110.000000\n"
                             "2 \t 120 \t 0 \t 0 \t 1 0.000000 \t 60.000000\n"
                             "3 \t 90 \t 0 \t 0 \t 7 1.500000 \t 40.000000\n"
                             "4 \t 90 \t 0 \t 0 \t 1 0.000000 \t 45.000000\n");
}

TEST(WriteTreeTable, MaskWithEveryListedCategorySet) {
    // All categories but the last went left: only k-1 is listed.
    std::vector<int> levels = {5};
    levels_guard guard(levels);
    std::string text = table_text(1, {0}, {1}, {400}, {2}, {15.0f}, {3.0f});
    EXPECT_EQ(text, header + "0 \t 400 \t 1 \t 2 \t 3  \t{4}\t 3.000000\n");
}

} // namespace
