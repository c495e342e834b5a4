// write_tree_table: writes the tree table's two header lines and one row per
// node from the grown node table, the split covariates' data columns and their
// level codes.
#include "driver/write_tree_table.h"

#include "numeric/run_counts.h"

void write_tree_table(std::FILE* report, int n_nodes, const int* split_covariate,
                      const int* left_daughter, const int* node_cases, const int* cov_column,
                      const real* split_value, const real* node_value) {
    std::fprintf(report, "                daugther-nodes   split   split\n");
    std::fprintf(report, "node # \t cases \t left \t right \t var # \t value");
    std::fprintf(report, "\t likelihood \n");
    for (int t = 0; t < n_nodes; t++) {
        int v = split_covariate[t];
        int left = left_daughter[t];
        int right = left > 0 ? left + 1 : 0;
        int column = cov_column[v] + 1;
        int k = cov_levels[v];
        if (k <= 1) {
            std::fprintf(report, "%d \t %d \t %d \t %d \t %d %f \t %f\n", t, node_cases[t], left,
                         right, column, static_cast<double>(split_value[t]),
                         static_cast<double>(node_value[t]));
            continue;
        }
        std::fprintf(report, "%d \t %d \t %d \t %d \t %d ", t, node_cases[t], left, right, column);
        std::fprintf(report, " \t{");
        unsigned mask = static_cast<unsigned>(static_cast<long long>(split_value[t]));
        bool first = true;
        for (int j = 0; j < k; j++) {
            if (((mask >> (j % 32)) & 1u) != 0) continue;
            if (!first) std::fprintf(report, ",");
            std::fprintf(report, "%d", j);
            first = false;
        }
        std::fprintf(report, "}\t %f\n", static_cast<double>(node_value[t]));
    }
}
