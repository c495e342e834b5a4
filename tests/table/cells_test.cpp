// Cells: missing spellings, every outcome spelling, and numbers read to the
// same float as a data file value.
#include <gtest/gtest.h>

#include <cstring>

#include "data/formatted_input.h"
#include "table/cells.h"

TEST(Cells, MissingSpellings) {
    const std::vector<std::string> extra = {".", " -9 "};
    const std::pair<const char*, bool> cases[] = {
        {"", true},   {" \t", true}, {"NA", true},    {" NA ", true}, {".", true},
        {"-9", true}, {"na", false}, {"-9.0", false}, {"N A", false}, {"0", false},
    };
    for (const auto& [cell, missing] : cases)
        EXPECT_EQ(is_missing_cell(cell, extra), missing) << cell;
    EXPECT_FALSE(is_missing_cell(".", {}));
}

TEST(Cells, OutcomeSpellings) {
    const std::pair<const char*, int> cases[] = {
        {"0", 0},    {"1", 1},     {" 1 ", 1},   {"+1", 1},    {"TRUE", 1}, {"true", 1},
        {"True", 1}, {"FALSE", 0}, {"false", 0}, {"yes", 1},   {"YES", 1},  {"yEs", 1},
        {"no", 0},   {"No", 0},    {"2", -1},    {"-1", -1},   {"1.0", -1}, {"T", -1},
        {"y", -1},   {"", -1},     {"NA", -1},   {"yess", -1},
    };
    for (const auto& [cell, expected] : cases) {
        int value = -1;
        EXPECT_EQ(read_outcome_cell(cell, value), expected >= 0) << cell;
        EXPECT_EQ(value, expected) << cell;
    }
}

TEST(Cells, NumbersAsTheDataFileReadsThem) {
    for (const char* text : {"0.1", "58.765", "-9", "1e-3", "3.4028235e38", "1e-50", ".5"}) {
        real expected = 0, value = 0;
        ASSERT_EQ(parse_real(text, expected), read_ok);
        ASSERT_EQ(read_numeric_cell(std::string(" ") + text + "\t", value), cell_number) << text;
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
    }
    real value = 0;
    for (const char* text : {"1e39", "-Inf", "NaN", "infinity"}) {
        EXPECT_EQ(read_numeric_cell(text, value), cell_not_finite) << text;
    }
    for (const char* text : {"nancy", "abc", "1,5", "1.2.3", "0x10", "", "-"}) {
        EXPECT_EQ(read_numeric_cell(text, value), cell_text) << text;
    }
}
