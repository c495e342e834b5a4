// A report file that cannot be written: found before growing when it cannot be
// created, caught at the close when a write fails; never exit status 0.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace {

std::string example() {
    return read_file(source_path("examples/birthwt.dat"));
}

bool contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

int error_lines(const std::string& err) {
    int n = 0;
    for (size_t i = 0; (i = err.find("error: ", i)) != std::string::npos; i++) n++;
    return n;
}

} // namespace

TEST(ReportFile, ReportThatIsADirectoryIsRefusedBeforeGrowing) {
    std::string dir = make_temp_dir();
    write_file(dir + "/b.dat", example());
    ASSERT_EQ(mkdir((dir + "/infor").c_str(), 0755), 0);
    korva_run r = run_korva_in(dir, "b.dat\n0\n2\n1\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(error_lines(r.err), 1) << r.err;
    EXPECT_TRUE(contains(r.err, "\"infor\"")) << r.err;
    EXPECT_FALSE(contains(r.out, "growing ...")) << r.out;
}

TEST(ReportFile, EarlierReportIsKeptWhenTheRunStopsBeforeTheTreeIsWritten) {
    std::string dir = make_temp_dir();
    write_file(dir + "/b.dat", example());
    write_file(dir + "/infor", "earlier report\n");
    // Five folds are fine, but a negative repetition count stops the run at
    // the prompt, before growing.
    korva_run r = run_korva_in(dir, "b.dat\n0\n5\n-1\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.infor, "earlier report\n");
}

TEST(ReportFile, WriteFailureAtEveryStageLeavesTheEarlierReportAlone) {
    if (std::system("prlimit --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no prlimit";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"v.dat", read_file(source_path("examples/votes.dat"))}};
    const std::string answers = "v.dat\n1\n9\n2\n3\n";
    korva_run full = run_korva(answers, files);
    ASSERT_EQ(full.status, 0) << full.err;
    // The tree table ends at the first empty line; the pruning block at the
    // first line of scores, which starts with blanks.
    const size_t table_end = full.infor.find("\n\n") + 2;
    const size_t prune_end = full.infor.find("\n ", table_end) + 1;
    ASSERT_LT(prune_end, full.infor.size());
    // A file size limit makes the write that crosses it fail: inside the tree
    // table, inside the pruning block, at the first and at the last row of
    // scores. The report is written under a temporary name, so the earlier
    // report stays as it was and nothing is left behind.
    for (size_t limit : {table_end / 2, table_end + 5, prune_end + 3, full.infor.size() - 1}) {
        std::string dir = make_temp_dir();
        write_file(dir + "/v.dat", files[0].second);
        write_file(dir + "/infor", "earlier report\n");
        const std::string env = "trap '' XFSZ && prlimit --fsize=" + std::to_string(limit) + ":" +
                                std::to_string(limit);
        korva_run r = run_korva_in(dir, answers, env);
        EXPECT_EQ(r.status, 1) << limit;
        EXPECT_EQ(error_lines(r.err), 1) << limit << ": " << r.err;
        EXPECT_TRUE(contains(r.err, "\"infor\"")) << limit << ": " << r.err;
        EXPECT_EQ(r.infor, "earlier report\n") << limit;
        EXPECT_EQ(list_dir(dir),
                  (std::vector<std::string>{".stderr", ".stdin", ".stdout", "infor", "v.dat"}))
            << limit;
    }
}

TEST(ReportFile, KilledRunLeavesNoReportOfItsOwn) {
    // Many repetitions on votes take far longer than the test waits: once the
    // first round has begun the run is ended by a signal it handles (TERM: the
    // temporary is removed) and by one it cannot handle (KILL: the temporary
    // stays, under a name that is not the report's).
    for (const char* signal : {"TERM", "KILL"}) {
        std::string dir = make_temp_dir();
        write_file(dir + "/v.dat", read_file(source_path("examples/votes.dat")));
        write_file(dir + "/infor", "earlier report\n");
        write_file(dir + "/.stdin", "v.dat\n1\n9\n5\n100000\n");
        const std::string cmd = "cd '" + dir + "' && { '" + KORVA_BINARY +
                                "' < .stdin > .stdout 2> .stderr & pid=$!; "
                                "for i in $(seq 600); do grep -q 'round 1' .stdout && break; "
                                "sleep 0.05; done; kill -" +
                                signal + " $pid; wait $pid; }";
        const int status = std::system(cmd.c_str());
        EXPECT_NE(status, 0) << signal;
        EXPECT_TRUE(contains(read_file(dir + "/.stdout"), "round 1")) << signal;
        EXPECT_EQ(read_file(dir + "/infor"), "earlier report\n") << signal;
        bool partial = false;
        for (const std::string& name : list_dir(dir))
            if (name.rfind("infor.partial-", 0) == 0) partial = true;
        EXPECT_EQ(partial, std::string(signal) == "KILL") << signal;
    }
}

TEST(ReportFile, ClosedStandardDescriptorsDoNotReachTheReport) {
    // With standard output closed the report would be given descriptor 1, and
    // the progress lines would be written into it.
    korva_run open = run_korva("b.dat\n0\n2\n2\n", {{"b.dat", example()}});
    ASSERT_EQ(open.status, 0);
    for (const char* redirect : {">&- 2> .stderr", "> .stdout 2>&-", ">&- 2>&-"}) {
        std::string dir = make_temp_dir();
        write_file(dir + "/b.dat", example());
        korva_run r = run_korva_in(dir, "b.dat\n0\n2\n2\n", "", "", redirect);
        EXPECT_EQ(r.status, 0) << redirect;
        EXPECT_TRUE(r.infor == open.infor) << redirect;
    }
    std::string dir = make_temp_dir();
    write_file(dir + "/b.dat", example());
    korva_run r = run_korva_in(dir, "b.dat\n0\n2\n2\n", "", "", "<&- > .stdout 2> .stderr");
    // Standard input closed: the first answer is missing, nothing is written.
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.infor_exists);
}
