// Token splitting across buffer refills, strict int and real conversion, and
// line-at-a-time reading of the console.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "data/formatted_input.h"

namespace {

std::FILE* temp_stream(const std::string& text) {
    std::FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    return f;
}

std::vector<std::string> all_tokens(const std::string& text, bool line_at_a_time) {
    std::FILE* f = temp_stream(text);
    formatted_input in;
    open_formatted_input(in, f, line_at_a_time);
    std::vector<std::string> tokens;
    while (next_token(in)) tokens.emplace_back(in.token);
    std::fclose(f);
    return tokens;
}

} // namespace

TEST(FormattedInput, TokensSurviveRefillsAndAnyWhiteSpace) {
    // Several megabytes, so that tokens are cut by every refill, separated by
    // every kind of white space, plus one token longer than a whole chunk.
    std::mt19937 gen(7);
    const char spaces[] = {' ', '\t', '\n', '\r', '\v', '\f'};
    std::vector<std::string> expected;
    std::string text = "\n\n  ";
    for (int i = 0; i < 400000; i++) {
        std::string tok = std::to_string(gen() % 100000) + "." + std::to_string(gen() % 1000);
        if (i == 200000) tok = std::string(3 << 20, '7');
        expected.push_back(tok);
        text += tok;
        int gap = 1 + gen() % 3;
        for (int g = 0; g < gap; g++) text += spaces[gen() % 6];
    }
    EXPECT_EQ(all_tokens(text, false), expected);
    // No trailing white space after the last token.
    EXPECT_EQ(all_tokens("1 2\n3", false), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(all_tokens("  \n\t", false), std::vector<std::string>{});
    EXPECT_EQ(all_tokens("a bb\n\nccc \n", true), (std::vector<std::string>{"a", "bb", "ccc"}));
}

TEST(FormattedInput, ConsoleReadingStopsAtTheEndOfTheAnswersLine) {
    // An answer is taken without reading ahead into later lines, so a typed
    // answer is used as soon as its line is complete.
    std::FILE* f = temp_stream("first second\nthird\n");
    formatted_input in;
    open_formatted_input(in, f, true);
    ASSERT_TRUE(next_token(in));
    EXPECT_EQ(in.token, "first");
    EXPECT_EQ(std::ftell(f), 13);
    ASSERT_TRUE(next_token(in));
    EXPECT_EQ(in.token, "second");
    EXPECT_EQ(std::ftell(f), 13);
    std::fclose(f);
}

TEST(FormattedInput, WholeNumbers) {
    struct {
        const char* token;
        read_status status;
        int value;
    } cases[] = {
        {"0", read_ok, 0},
        {"-17", read_ok, -17},
        {"+5", read_ok, 5},
        {"007", read_ok, 7},
        {"2147483647", read_ok, 2147483647},
        {"-2147483648", read_ok, -2147483647 - 1},
        {"2147483648", read_out_of_range, 0},
        {"-2147483649", read_out_of_range, 0},
        {"123456789012345678901234567890", read_out_of_range, 0},
        {"3.5", read_malformed, 0},
        {"3.", read_malformed, 0},
        {"1e3", read_malformed, 0},
        {"12a", read_malformed, 0},
        {"-", read_malformed, 0},
        {"+-1", read_malformed, 0},
        {"0x10", read_malformed, 0},
        {"", read_malformed, 0},
    };
    for (const auto& c : cases) {
        int value = -99;
        EXPECT_EQ(parse_int(c.token, value), c.status) << c.token;
        if (c.status == read_ok) {
            EXPECT_EQ(value, c.value) << c.token;
        }
    }
}

TEST(FormattedInput, RealsAreRoundedStraightToFloat) {
    // Accepted forms, each compared bit for bit with strtof. The first is a
    // value that double rounding (decimal -> double -> float) gets wrong.
    const char* accepted[] = {"1.00000005960464477539062500001",
                              "0.1",
                              "-2.5",
                              "+7",
                              ".5",
                              "5.",
                              "1e10",
                              "1E-3",
                              "-0",
                              "3.4028234e38",
                              "1.17549435e-38",
                              "1e-45",
                              "1e-50",
                              "0000000000000000000000000000000000001.5"};
    for (const char* t : accepted) {
        real value = -99;
        ASSERT_EQ(parse_real(t, value), read_ok) << t;
        float want = std::strtof(t, nullptr);
        EXPECT_EQ(std::memcmp(&value, &want, sizeof value), 0) << t;
    }
    // Random decimal tokens against strtof.
    std::mt19937_64 gen(11);
    for (int i = 0; i < 20000; i++) {
        char buf[64];
        std::snprintf(
            buf, sizeof buf, "%llu.%llue%d", static_cast<unsigned long long>(gen() % 100000000),
            static_cast<unsigned long long>(gen() % 1000000000), static_cast<int>(gen() % 70) - 40);
        real value;
        ASSERT_EQ(parse_real(buf, value), read_ok) << buf;
        float want = std::strtof(buf, nullptr);
        ASSERT_EQ(std::memcmp(&value, &want, sizeof value), 0) << buf;
    }

    const char* not_finite[] = {"inf",    "-INF",   "Infinity", "nan",
                                "NaN(1)", "3.5e38", "1e39",     "-1e400"};
    for (const char* t : not_finite) {
        real value;
        EXPECT_EQ(parse_real(t, value), read_not_finite) << t;
    }
    const char* malformed[] = {"",    ".",     "-",     "e5",  "1e",    "1e+", "1.5.2",
                               "1,5", "0x1p3", "12abc", "--1", "1e5.0", "infx"};
    for (const char* t : malformed) {
        real value;
        EXPECT_EQ(parse_real(t, value), read_malformed) << t;
    }
}

TEST(FormattedInput, TokensBeyondTheLongestAreRefused) {
    // The longest token is read whole and converted; one character more is
    // refused by both conversions, whatever it would have been.
    std::string longest(max_token_length - 1, '0');
    longest += "7";
    for (const std::string& text : {longest, "0" + longest}) {
        std::FILE* f = temp_stream(text + " 5");
        formatted_input in;
        open_formatted_input(in, f, false);
        int i = 0;
        const bool too_long = text.size() > max_token_length;
        EXPECT_EQ(read_int(in, i), too_long ? read_too_long : read_ok);
        if (!too_long) {
            EXPECT_EQ(i, 7);
        }
        std::rewind(f);
        open_formatted_input(in, f, false);
        real r = 0;
        EXPECT_EQ(read_real(in, r), too_long ? read_too_long : read_ok);
        if (!too_long) {
            EXPECT_EQ(r, 7.0f);
        }
        std::fclose(f);
    }
    EXPECT_EQ(describe_read_failure(read_too_long, std::string(70, '0'), true, "end of file"),
              "a token of more than 16777216 characters, \"" + std::string(60, '0') + "...\"");
}
