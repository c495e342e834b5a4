// Subtrees of the pruning sequence: subtree k is the grown tree with every node
// listed on pruning lines 1..k made terminal and its descendants removed.
#include "report/report.h"

bool prune_node(const std::vector<report_node>& nodes, int t, std::vector<int>& in_subtree,
                std::vector<int>& terminal) {
    if (t < 0 || t >= static_cast<int>(nodes.size()) || !in_subtree[t] || terminal[t]) return false;
    terminal[t] = 1;
    std::vector<int> stack = {nodes[t].left, nodes[t].right};
    while (!stack.empty()) {
        int d = stack.back();
        stack.pop_back();
        in_subtree[d] = 0;
        if (nodes[d].left != 0) {
            stack.push_back(nodes[d].left);
            stack.push_back(nodes[d].right);
        }
    }
    return true;
}

void subtree_membership(const report_file& rep, int k, std::vector<int>& in_subtree,
                        std::vector<int>& terminal) {
    const int n = static_cast<int>(rep.nodes.size());
    in_subtree.assign(n, 1);
    terminal.assign(n, 0);
    for (int t = 0; t < n; t++) terminal[t] = rep.nodes[t].left == 0;
    for (int s = 0; s < k && s < static_cast<int>(rep.subtrees.size()); s++)
        for (int t : rep.subtrees[s].pruned) prune_node(rep.nodes, t, in_subtree, terminal);
}

void subtree_sizes(const report_file& rep, std::vector<int>& terminal_nodes) {
    const int n = static_cast<int>(rep.nodes.size());
    std::vector<int> in_subtree(n, 1), terminal(n, 0);
    for (int t = 0; t < n; t++) terminal[t] = rep.nodes[t].left == 0;
    terminal_nodes.clear();
    for (const report_subtree& sub : rep.subtrees) {
        for (int t : sub.pruned) prune_node(rep.nodes, t, in_subtree, terminal);
        int leaves = 0;
        for (int t = 0; t < n; t++) leaves += in_subtree[t] && terminal[t];
        terminal_nodes.push_back(leaves);
    }
}
