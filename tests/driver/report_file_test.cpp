// A report file that cannot be written: found before growing when it cannot be
// created, caught at the close when a write fails; never exit status 0.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

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

TEST(ReportFile, FailedWritesAreCaughtAndNeverReportSuccess) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    std::string dir = make_temp_dir();
    write_file(dir + "/b.dat", example());
    ASSERT_EQ(symlink("/dev/full", (dir + "/infor").c_str()), 0);
    korva_run r = run_korva_in(dir, "b.dat\n0\n2\n1\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(error_lines(r.err), 1) << r.err;
    EXPECT_TRUE(contains(r.err, "infor")) << r.err;
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
