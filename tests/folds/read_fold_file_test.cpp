// The fold file reader: a good file read into folds counted from 0, and every
// kind of bad file refused with the place of its first fault.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "folds/read_fold_file.h"
#include "support/test_support.h"

namespace {

struct read_result {
    bool ok;
    std::vector<int> folds;
    int repeats = -1, folds_count = -1;
    std::string message;
};

read_result read_text(const std::string& text, int subjects) {
    const std::string path = make_temp_dir() + "/f.folds";
    write_file(path, text);
    read_result r;
    r.ok = read_fold_file(path, subjects, r.folds, r.repeats, r.folds_count, r.message);
    // The temporary directory's name replaced by "F".
    if (r.message.rfind(path, 0) == 0) {
        std::string shortened(1, 'F');
        shortened.append(r.message, path.size(), std::string::npos);
        r.message = shortened;
    }
    return r;
}

} // namespace

TEST(ReadFoldFile, ReadsRepetitionsAsColumnsCountedFromZero) {
    // Tabs, carriage returns, a sign and trailing blank lines are accepted.
    read_result r = read_text("1 2\n2\t3\r\n+3 1\n2   2\n\n  \n", 4);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.repeats, 2);
    EXPECT_EQ(r.folds_count, 3);
    EXPECT_EQ(r.folds, (std::vector<int>{0, 1, 2, 1, 1, 2, 0, 1}));
}

TEST(ReadFoldFile, ExampleFoldsAreTenRepetitionsOfFiveFolds) {
    for (const auto& [name, subjects] :
         {std::pair<const char*, int>{"birthwt", 189}, {"pbc", 312}, {"votes", 397}}) {
        std::vector<int> folds;
        int repeats = 0, count = 0;
        std::string message;
        EXPECT_TRUE(read_fold_file(source_path(std::string("examples/folds/") + name + ".folds"),
                                   subjects, folds, repeats, count, message))
            << message;
        EXPECT_EQ(repeats, 10) << name;
        EXPECT_EQ(count, 5) << name;
    }
}

TEST(ReadFoldFile, BadFilesAreRefusedWithLineAndColumn) {
    const struct {
        const char* text;
        int subjects;
        const char* message;
    } cases[] = {
        {"1 2\n2\n1 2\n", 3, "F: line 2: 1 fold number, but line 1 has 2"},
        {"1 2\n2 1\n\n1 2\n", 4, "F: line 3: 0 fold numbers, but line 1 has 2"},
        {"\n1\n", 2, "F: line 1: no fold number"},
        {"1 2\n2 1.0\n", 2, "F: line 2, column 2: \"1.0\" is not a whole number"},
        {"1 x\n2 1\n", 2, "F: line 1, column 2: \"x\" is not a whole number"},
        {"1 2\n0 1\n", 2, "F: line 2, column 1: fold 0 is below 1 (folds are numbered from 1)"},
        {"1 -2\n2 1\n", 2, "F: line 1, column 2: fold -2 is below 1 (folds are numbered from 1)"},
        {"1\n99999999999\n", 2,
         "F: line 2, column 1: fold 99999999999 is above the number of "
         "subjects (2)"},
        {"1\n2\n1\n", 2, "F: line 3: more lines than the 2 subjects of the data"},
        {"1\n2\n", 3, "F: 2 lines, but the data have 3 subjects (one line per subject)"},
        {"", 3, "F: 0 lines, but the data have 3 subjects (one line per subject)"},
        {"1 1\n3 2\n1 1\n", 3,
         "F: column 1: fold 2 holds no subject (folds must be numbered 1 to 3 "
         "without gaps)"},
        {"1 1\n2 1\n1 1\n", 3,
         "F: column 2: every subject is in fold 1; at least 2 folds are "
         "needed"},
        {"1 1\n2 2\n3 2\n", 3,
         "F: column 2: folds 1 to 2, but column 1 has 1 to 3; every "
         "repetition needs the same number of folds"},
    };
    for (const auto& c : cases) {
        read_result r = read_text(c.text, c.subjects);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
    }
    std::vector<int> folds;
    int repeats, count;
    std::string message;
    EXPECT_FALSE(read_fold_file("/nonexistent/x.folds", 2, folds, repeats, count, message));
    EXPECT_EQ(message,
              "/nonexistent/x.folds: cannot open the fold file: No such file or directory");
}
