// Fills alpha, n_subtrees and the pruned_nodes lists from the grown tree in the
// node table by weakest-link pruning, and appends the pruning block to "infor".
#include "prune/prune_sequence.h"

#include <cstdio>
#include <cstdlib>

#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/report_path.h"
#include "numeric/run_counts.h"
#include "prune/next_alpha.h"
#include "prune/prune_at_alpha.h"
#include "prune/subtree_sums.h"

namespace {

// Appends the block: an empty line, then one line per subtree with its ordinal,
// its alpha and the nodes made terminal to reach it.
void write_pruning_block(std::FILE* report, int n_lines, int** pruned_nodes) {
    bool ok = std::fputs("\n", report) >= 0;
    for (int k = 0; k < n_lines && ok; k++) {
        ok = std::fprintf(report, "%dth %f: ", k + 1, static_cast<double>(alpha[k])) >= 0;
        for (int j = 1; j <= pruned_nodes[k][0] && ok; j++)
            ok = std::fprintf(report, "%d ", pruned_nodes[k][j]) >= 0;
        if (ok) ok = std::fputs("\n", report) >= 0;
    }
    if (!ok || std::ferror(report) != 0)
        input_error("cannot write the pruning block to \"%s\"", report_name().c_str());
}

} // namespace

int** prune_sequence(node_table& nodes, int n_nodes) {
    console_printf("pruning ...\n");
    // One slot per possible subtree; slots past the last subtree stay empty.
    long slots = n_nodes > 0 ? n_nodes : 1;
    int** pruned_nodes = static_cast<int**>(std::calloc(static_cast<size_t>(slots), sizeof(int*)));
    if (pruned_nodes == nullptr) fatal_error("allocation failure in prune_sequence()");
    for (int t = 0; t < n_nodes; t++) nodes.in_subtree[t] = 1;
    real* subtree_cost = dvector(n_nodes);
    int* subtree_leaves = ivector(n_nodes);
    if (alpha != nullptr) release_vector(alpha);
    alpha = dvector(n_nodes + 1);
    alpha[0] = 0;

    subtree_sums(nodes.left_daughter, nodes.node_value, n_nodes, subtree_cost, subtree_leaves);
    int more_than_root = 0;
    pruned_nodes[0] =
        prune_at_alpha(0.0, n_nodes, nodes, subtree_cost, subtree_leaves, &more_than_root);
    int k = 1;

    std::FILE* report = std::fopen(report_write_path().c_str(), "a");
    if (report == nullptr) input_error("cannot open \"%s\" for appending", report_name().c_str());

    if (more_than_root) {
        while (k < n_nodes && subtree_leaves[0] > 1) {
            alpha[k] = static_cast<real>(next_alpha(n_nodes, nodes.node_value, subtree_cost,
                                                    subtree_leaves, nodes.in_subtree));
            if (!(alpha[k] > alpha[k - 1])) {
                console_printf("error: alpha[%d]=%f must increase\n", k,
                               static_cast<double>(alpha[k]));
                silent_exit();
            }
            pruned_nodes[k] = prune_at_alpha(alpha[k], n_nodes, nodes, subtree_cost, subtree_leaves,
                                             &more_than_root);
            k++;
            if (!more_than_root) break;
        }
    }

    write_pruning_block(report, k, pruned_nodes);
    if (std::fclose(report) != 0)
        input_error("cannot close \"%s\" after the pruning block", report_name().c_str());
    release_vector(subtree_cost);
    release_vector(subtree_leaves);
    console_printf("done\n");
    n_subtrees = k;
    return pruned_nodes;
}
