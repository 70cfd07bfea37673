#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "persist/SplitCsvLine.h"

namespace {

struct Case {
    const char* line;
    std::vector<std::string> fields;
};

class SplitCsvLineTest : public ::testing::TestWithParam<Case> { };

TEST_P(SplitCsvLineTest, Fields)
{
    std::vector<std::string> fields{"stale"};
    const Case& c = GetParam();
    EXPECT_EQ(SplitCsvLine(c.line, fields), static_cast<int>(c.fields.size()));
    EXPECT_EQ(fields, c.fields);
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitCsvLineTest,
                         ::testing::Values(Case{"", {}}, Case{"#100,a", {}}, Case{";100,a", {}},
                                           Case{"100,50,\"Fire\",123", {"100", "50", "Fire", "123"}},
                                           Case{"\"a,b\",c", {"a,b", "c"}},  // comma inside quotes
                                           Case{"a,,b", {"a", "", "b"}},     // empty field kept
                                           Case{"a,b,", {"a", "b"}},         // empty last field dropped
                                           Case{"a,\"\"", {"a"}},
                                           Case{"\"say \"hi\"\",x", {"say \"hi\"", "x"}},  // inner quotes copied
                                           Case{"x\"y,\"z\"", {"x\"y", "z"}},  // quote not after a comma is text
                                           Case{"\"a\",b\"", {"a", "b\""}},
                                           Case{"\"a\" ,b", {"a\" ,b"}},      // a blank keeps the quote open
                                           Case{"\"open,end", {"open,end"}},  // never closed: runs to the end
                                           Case{"\"a\",\"b\"", {"a", "b"}}));

TEST(SplitCsvLineLimits, FieldsHoldAtMost1024Characters)
{
    std::vector<std::string> fields;
    const std::string line = "\"" + std::string(1500, 'x') + "\"," + std::string(1030, 'y') + ",z";
    ASSERT_EQ(SplitCsvLine(line, fields), 3);
    EXPECT_EQ(fields[0], std::string(1024, 'x'));
    EXPECT_EQ(fields[1], std::string(1024, 'y'));
    EXPECT_EQ(fields[2], "z");
}

}  // namespace
