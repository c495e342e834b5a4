// Header counts whose storage or statistics would overflow are refused from
// the header alone, with one error line; counts just inside the limits pass
// the header and go on to the type row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

struct header_case {
    const char* name;
    std::string header;
    std::string error;
};

} // namespace

TEST(InputLimits, HeaderCountsAtAndBeyondTheLimits) {
    // The largest n with n x (q(q-1)/2)^2 <= 2^31 - 1: 149130 for q = 16 (120
    // pairs), 59652323 for q = 4 (6 pairs).
    const std::string too_big = "could exceed 32 bits (subjects x (q(q-1)/2)^2 must not exceed "
                                "2147483647)\n";
    const std::string type_row_end = "error: h.dat: type row, column 1: end of file\n";
    const std::vector<header_case> cases = {
        {"no outcome", "8 1 0\n", "error: h.dat: header: 0 outcomes; there must be at least 1\n"},
        {"17 outcomes", "8 1 17\n",
         "error: h.dat: header: 17 outcomes; at most 16 are allowed (a node fit sums over all "
         "2^q outcome patterns)\n"},
        {"far too many outcomes", "8 1 2000000000\n",
         "error: h.dat: header: 2000000000 outcomes; at most 16 are allowed (a node fit sums "
         "over all 2^q outcome patterns)\n"},
        {"16 outcomes", "8 1 16\n", type_row_end},
        {"sums of 16 outcomes overflow", "149131 1 16\n",
         "error: h.dat: header: 149131 subjects with 16 outcomes: the sum of squared pair counts " +
             too_big},
        {"sums of 16 outcomes fit", "149130 1 16\n", type_row_end},
        {"sums of 4 outcomes overflow", "59652324 1 4\n",
         "error: h.dat: header: 59652324 subjects with 4 outcomes: the sum of squared pair "
         "counts " +
             too_big},
        {"sums of 4 outcomes fit", "59652323 1 4\n", type_row_end},
        {"one outcome has no pairs", "2147483647 1 1\n", type_row_end},
    };
    for (const header_case& c : cases) {
        korva_run r = run_korva("h.dat\n0\n", {{"h.dat", c.header}});
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_EQ(r.err, c.error) << c.name;
    }
}

TEST(InputLimits, SixteenOutcomesRunToTheEnd) {
    std::string file = "8 1 16\n1";
    for (int o = 0; o < 16; o++) file += " -1";
    file += "\n";
    for (int s = 0; s < 8; s++) {
        file += std::to_string(s);
        for (int o = 0; o < 16; o++) file += (s * 7 + o * 3) % 5 < 2 ? " 1" : " 0";
        file += "\n";
    }
    korva_run r = run_korva("q.dat\n0\n2\n1\n", {{"q.dat", file}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("error"), std::string::npos) << r.err;
}

TEST(InputLimits, StreamWithoutWhiteSpaceEndsWithAnError) {
    // A device giving only zero bytes is one endless token: it is refused once
    // the token is longer than any number needs, in well under the time limit.
    korva_run r = run_korva("/dev/zero\n0\n", {}, "timeout 60");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("error: /dev/zero: header, number of subjects: a token of more than "
                          "16777216 characters, \"",
                          0),
              0u)
        << r.err;
}

TEST(InputLimits, HugeRepetitionCountRunsInBoundedMemory) {
    if (std::system("prlimit --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no prlimit";
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer's shadow memory does not fit an address-space limit";
#endif
    // Memory does not grow with the repetitions: under a 1 GB address-space
    // limit the run is still working when it is stopped after two seconds
    // (no abort, no error), on one thread and on two.
    for (const char* threads : {"1", "2"}) {
        korva_run r = run_korva("b.dat\n0\n5\n2147483647\n",
                                {{"b.dat", read_file(source_path("examples/birthwt.dat"))}},
                                std::string("KORVA_THREADS=") + threads +
                                    " prlimit --as=1000000000 timeout 2");
        EXPECT_EQ(r.status, 124) << threads << ": " << r.err;
        EXPECT_EQ(r.err, "") << threads;
        EXPECT_NE(r.out.find("round 2\n"), std::string::npos) << threads;
        EXPECT_FALSE(r.infor_exists) << threads;
    }
    // korva fit keeps every repetition's scores for the model file: a count
    // beyond memory is refused before the work, in one line.
    std::string dir = make_temp_dir();
    write_file(dir + "/b.dat", read_file(source_path("examples/birthwt.dat")));
    korva_run fit =
        run_korva_in(dir, "", "prlimit --as=1000000000", "fit b.dat -q --repeats 2147483647");
    EXPECT_EQ(fit.status, 1);
    EXPECT_EQ(fit.err.rfind("error: the model file keeps every repetition's scores: 2147483647 "
                            "repetitions of ",
                            0),
              0u)
        << fit.err;
}
