// The bundled CSV examples hold the data files' columns, kinds, values,
// missing cells and category numbers, read with the options examples/README.md gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "data/formatted_input.h"
#include "support/test_support.h"
#include "table/read_table.h"

TEST(ExampleCsv, SameTableAsTheDataFile) {
    struct {
        const char* name;
        bool missing_used;
        real missing_code;
        table_options options;
    } examples[] = {
        {"birthwt",
         false,
         0,
         {{"low", "ht", "ui"}, {"race", "smoke"}, {"ptl", "ftv"}, {"bwt"}, {}}},
        {"pbc",
         true,
         -9,
         {{"ascites", "hepato", "spiders"}, {"trt", "sex"}, {"edema", "stage"}, {"id"}, {}}},
        {"votes", true, 9, {{"V3", "V4", "V8", "V14"}, {}, {}, {}, {}}},
    };
    for (const auto& example : examples) {
        SCOPED_TRACE(example.name);
        data_table table;
        std::string error;
        const std::string base = source_path(std::string("examples/") + example.name);
        ASSERT_TRUE(read_table(base + ".csv", example.options, table, error)) << error;

        std::FILE* f = std::fopen((base + ".dat").c_str(), "r");
        ASSERT_NE(f, nullptr);
        formatted_input in;
        open_formatted_input(in, f, false);
        int subjects = 0, p = 0, q = 0;
        ASSERT_EQ(read_int(in, subjects), read_ok);
        ASSERT_EQ(read_int(in, p), read_ok);
        ASSERT_EQ(read_int(in, q), read_ok);
        ASSERT_EQ(table.rows, subjects);
        ASSERT_EQ(table.columns.size(), static_cast<std::size_t>(p + q));
        std::vector<int> types(p + q);
        for (int& type : types) ASSERT_EQ(read_int(in, type), read_ok);
        for (std::size_t k = 0; k < types.size(); k++) {
            const table_column& column = table.columns[k];
            const column_kind kind = types[k] < 0    ? column_outcome
                                     : types[k] == 0 ? column_ignored
                                     : types[k] == 3 ? column_nominal
                                     : types[k] == 2 ? column_ordinal
                                                     : column_continuous;
            EXPECT_EQ(column.kind, kind) << column.name;
        }
        int mismatches = 0;
        for (int row = 0; row < subjects; row++) {
            for (std::size_t k = 0; k < types.size(); k++) {
                real value = 0;
                ASSERT_EQ(read_real(in, value), read_ok);
                const table_column& column = table.columns[k];
                if (column.kind == column_outcome) {
                    mismatches += column.outcome[row] != value;
                } else if (column.kind != column_ignored) {
                    const bool missing = example.missing_used && value == example.missing_code;
                    mismatches += column.missing[row] != missing;
                    if (!missing) mismatches += std::memcmp(&column.values[row], &value, 4) != 0;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_FALSE(next_token(in));
        std::fclose(f);
    }
}
