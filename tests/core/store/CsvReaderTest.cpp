#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "persist/CsvReader.h"

namespace {

using Problem = CsvRecord::Problem;

struct Read {
    int line;
    Problem problem;
    std::vector<std::string> fields;
};

std::vector<Read> ReadAll(std::string_view text, size_t bound = CsvReader::kDefaultMaxRecord)
{
    CsvReader reader(text, bound);
    std::vector<Read> out;
    CsvRecord r;
    while (reader.Next(r))
        out.push_back({r.line, r.problem, r.fields});
    return out;
}

using V = std::vector<std::string>;

TEST(CsvReader, ReadsQuotedFieldsWithCommasQuotesAndLineBreaks)
{
    const auto records = ReadAll("\xEF\xBB\xBF"
                                 "a,\"b,c\",\"say \"\"hi\"\"\"\r\n"
                                 "\r\n"
                                 "\"two\r\nlines\",x\n"
                                 "last,,\"\"");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].line, 1);
    EXPECT_EQ(records[0].fields, (V{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(records[1].line, 3);
    EXPECT_EQ(records[1].fields, (V{"two\r\nlines", "x"}));
    EXPECT_EQ(records[2].line, 5);  // the line break inside the quotes still counts
    EXPECT_EQ(records[2].fields, (V{"last", "", ""}));
}

TEST(CsvReader, BadRecordsAreReportedOnTheirLineAndReadingGoesOn)
{
    struct Case {
        const char* name;
        std::string text;
        std::vector<Read> expected;
    };
    const std::string longLine(5000, 'x');
    const std::vector<Case> cases = {
        {"latin-1 byte", "1,caf\xE9\n2,ok\n", {{1, Problem::BadEncoding, {}}, {2, Problem::None, V{"2", "ok"}}}},
        {"overlong form", "1,\xC0\xAF\n", {{1, Problem::BadEncoding, {}}}},
        {"surrogate", "1,\xED\xA0\x80\n", {{1, Problem::BadEncoding, {}}}},
        {"NUL byte", std::string("1,a\0b\n", 6), {{1, Problem::BadEncoding, {}}}},
        {"quote open to the end",
         "1,\"open\n2,fine\n3,also\n",
         {{1, Problem::UnbalancedQuotes, {}}, {2, Problem::None, V{"2", "fine"}}, {3, Problem::None, V{"3", "also"}}}},
        {"too long",
         "1,a\n" + longLine + "\n3,b\n",
         {{1, Problem::None, V{"1", "a"}}, {2, Problem::TooLong, {}}, {3, Problem::None, V{"3", "b"}}}},
        {"quoted too long",
         "\"" + longLine + "\"\n2,b\n",
         {{1, Problem::TooLong, {}}, {2, Problem::None, V{"2", "b"}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = ReadAll(c.text, 1024);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].line, c.expected[i].line);
            EXPECT_EQ(got[i].problem, c.expected[i].problem);
            EXPECT_EQ(got[i].fields, c.expected[i].fields);
        }
    }
}

TEST(CsvReader, QuotedFieldOverManyLinesIsUnbalanced)
{
    std::string text = "1,\"";
    for (int i = 0; i < CsvReader::kMaxLinesInField + 5; ++i)
        text += "2,x\n";
    const auto got = ReadAll(text);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0].problem, Problem::UnbalancedQuotes);
    EXPECT_EQ(got.size(), static_cast<size_t>(CsvReader::kMaxLinesInField + 5));
    EXPECT_EQ(got.back().fields, (V{"2", "x"}));
}

TEST(CsvReader, FiftyMegabyteLineIsSkippedWithoutBeingKept)
{
    std::string text = "a,b\n";
    text.append(size_t{50} << 20, 'y');
    text += "\nc,d\n";
    const auto got = ReadAll(text);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].line, 2);
    EXPECT_EQ(got[1].problem, Problem::TooLong);
    EXPECT_EQ(got[2].fields, (V{"c", "d"}));
}

TEST(CsvReader, Utf8Validation)
{
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
    EXPECT_TRUE(IsValidUtf8("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xBB"));
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\x80"));              // stray continuation byte
}

}  // namespace
