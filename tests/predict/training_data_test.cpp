// korva predict on the data a model was fitted on, with the grown tree:
// every subject lands in the terminal node growing gave it, and the loglik
// column summed over a node's subjects is that node's maximised
// log-likelihood (the model file's value, negated), for delimited text with
// missing values and labels and for korva's data file with a missing code,
// under both node models.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "hand_model.h"
#include "modelfile/build_model.h"
#include "modelfile/model_json.h"
#include "support/test_support.h"

TEST(PredictTrainingData, SubjectsReturnToTheirNodesAndLoglikSumsToTheNodeValues) {
    const std::vector<std::pair<std::string, std::string>> runs = {
        {"pbc.csv", "--outcomes ascites,hepato,spiders --nominal trt,sex --ordinal edema,stage "
                    "--ignore id"},
        {"votes.csv", "--outcomes V3,V4,V8,V14"},
        {"votes.csv", "--outcomes V3,V4,V8,V14 --model pairwise"},
        {"votes.dat", "--missing-code 9"}, // predict takes the code from the model
        {"birthwt.dat", ""},
    };
    for (const auto& [file, args] : runs) {
        const std::string dir = make_temp_dir();
        write_file(dir + "/" + file, read_file(source_path("examples/" + file)));
        korva_run fit =
            run_korva_in(dir, "", "", "fit " + file + " " + args + " --repeats 0 --quiet");
        ASSERT_EQ(fit.status, 0) << fit.err;
        korva_run r = run_korva_in(
            dir, "", "", "predict model.json " + file + " --tree 1 --patterns --output pred.csv");
        ASSERT_EQ(r.status, 0) << file << ": " << r.err;
        fitted_model model;
        std::string error;
        ASSERT_TRUE(read_model_file(dir + "/model.json", model, error)) << error;
        const auto rows = hand::csv_rows(read_file(dir + "/pred.csv"));
        ASSERT_EQ(static_cast<int>(rows.size()), model.data.subjects + 1) << file;

        const std::size_t q = model.outcomes.size();
        std::map<int, int> count;
        std::map<int, double> loglik;
        for (std::size_t i = 1; i < rows.size(); i++) {
            const std::vector<std::string>& row = rows[i];
            ASSERT_EQ(row.size(), 2 + q + (std::size_t{1} << q)) << file;
            const int t = std::stoi(row[0]);
            count[t]++;
            loglik[t] += std::stod(row[1 + q]);
            // p_NAME is the model's probability; the patterns are a law with
            // those marginals.
            double total = 0;
            std::vector<double> marginal(q, 0.0);
            for (std::size_t k = 0; k < (std::size_t{1} << q); k++) {
                const double p = std::stod(row[2 + q + k]);
                total += p;
                for (std::size_t j = 0; j < q; j++)
                    if ((k >> (q - 1 - j)) & 1) marginal[j] += p;
            }
            EXPECT_NEAR(total, 1.0, 1e-12) << file;
            for (std::size_t j = 0; j < q; j++) {
                EXPECT_EQ(std::stod(row[1 + j]), model.nodes[t].model.probability[j]) << file;
                EXPECT_NEAR(marginal[j], model.nodes[t].model.probability[j], 1e-12) << file;
            }
        }
        std::vector<int> in_subtree, terminal;
        model_subtree_membership(model, 1, in_subtree, terminal);
        for (std::size_t t = 0; t < model.nodes.size(); t++) {
            const model_node_entry& e = model.nodes[t];
            const bool leaf = in_subtree[t] && terminal[t];
            EXPECT_EQ(count[static_cast<int>(t)], leaf ? e.cases : 0) << file << " node " << t;
            if (leaf && e.model.fitted) {
                EXPECT_NEAR(loglik[static_cast<int>(t)], -e.value, 1e-6 * std::fabs(e.value))
                    << file << " node " << t;
            }
        }
    }
}
