// Telling korva's data file from delimited text by the first line.
#include <gtest/gtest.h>

#include "table/detect_format.h"

TEST(DetectFormat, FirstNonBlankLineOfNumbersIsADataFile) {
    const std::pair<std::string, data_format> cases[] = {
        {"189 7 3\n-1 1 1\n", format_data_file},
        {"\n  \r\n\t312\t15 3\r\n", format_data_file},
        {"2 3 2 1 -1 3 -1 0 4.5 1 2 0 17\n", format_data_file}, // a whole file on one line
        {"189\n7 3\n", format_data_file},
        {"1.5 2 3\n", format_delimited},
        {"low,age\n0,19\n", format_delimited},
        {"1,2,3\n", format_delimited},
        {"1;2\n", format_delimited},
        {"\xEF\xBB\xBF"
         "189 7 3\n",
         format_delimited},
        {"", format_delimited},
        {" \n\n", format_delimited},
        // The first 64 KiB: a token cut there is not judged.
        {"1 " + std::string(1 << 16, '2'), format_data_file},
        {"x " + std::string(1 << 16, '2'), format_delimited},
    };
    for (const auto& [text, format] : cases) EXPECT_EQ(format_of_text(text), format) << text;
}
