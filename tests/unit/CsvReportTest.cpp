#include "cli/CsvReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Keeps each write apart, to show when the report writes what.
class TextSink : public ReportSink {
public:
    std::vector<std::string> writes;
    bool refuse = false;
    bool Write(std::string_view bytes) override
    {
        if (refuse)
            return false;
        writes.emplace_back(bytes);
        return true;
    }
    std::string All() const
    {
        std::string all;
        for (const std::string& w : writes)
            all += w;
        return all;
    }
};

// A CSV line split into its fields as a reader following the CSV rules does.
std::vector<std::string> ReadCsvLine(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

} // namespace

TEST(CsvReport, FieldsQuotedOnlyWhereCsvNeedsIt)
{
    EXPECT_EQ(CsvField("C:\\a\\b.txt"), "C:\\a\\b.txt");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvField("name "), "\"name \"");
    EXPECT_EQ(CsvField(" name"), "\" name\"");
    EXPECT_EQ(CsvField("\xD0\x9F\xD1\x80\xD0\xB8.txt"), "\xD0\x9F\xD1\x80\xD0\xB8.txt");  // UTF-8 as it comes
}

TEST(CsvReport, HeaderRowsAndSummaryReadBackAsWritten)
{
    TextSink sink;
    CsvReport report(sink);
    const std::string odd = "D:\\x\\b, \"q\" \xE6\x97\xA5.txt ";
    report.Row({"done", "copy", "C:\\a.txt", "D:\\a.txt", 6, ""});
    report.Row({"failed", "copy", odd, "D:\\y", 0, "Access denied."});
    report.Summary({"copy", 4, 1, 1, 0, 6, true, 41});
    EXPECT_TRUE(report.Good());

    const std::string all = sink.All();
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = all.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends in CRLF";
        lines.push_back(all.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "result,operation,source,destination,bytes,error");
    EXPECT_EQ(ReadCsvLine(lines[1]), (std::vector<std::string>{"done", "copy", "C:\\a.txt", "D:\\a.txt", "6", ""}));
    EXPECT_EQ(ReadCsvLine(lines[2]), (std::vector<std::string>{"failed", "copy", odd, "D:\\y", "0", "Access denied."}));
    const std::vector<std::string> summary = ReadCsvLine(lines[3]);
    ASSERT_EQ(summary.size(), 6u);
    EXPECT_EQ(summary[0], "summary");
    EXPECT_EQ(summary[4], "6");
    EXPECT_EQ(summary[5], "examined 4; done 1; failed 1; skipped 0; interrupted; exit code 41");
}

// Nothing is held back for the end: each line is handed on as it comes.
TEST(CsvReport, EachRowIsWrittenAtOnce)
{
    TextSink sink;
    CsvReport report(sink);
    EXPECT_EQ(sink.writes.size(), 1u);
    for (int i = 0; i < 3; ++i) {
        report.Row({"done", "delete", "C:\\f" + std::to_string(i), "", 0, ""});
        EXPECT_EQ(sink.writes.size(), static_cast<std::size_t>(i) + 2);
        EXPECT_NE(sink.writes.back().find("C:\\f" + std::to_string(i)), std::string::npos);
    }
}

TEST(CsvReport, AFailedWriteIsKnown)
{
    TextSink sink;
    CsvReport report(sink);
    report.Row({"done", "copy", "a", "b", 1, ""});
    EXPECT_TRUE(report.Good());
    sink.refuse = true;
    report.Row({"done", "copy", "c", "d", 1, ""});
    sink.refuse = false;
    report.Row({"done", "copy", "e", "f", 1, ""});
    EXPECT_FALSE(report.Good());  // stays known after later writes go through
}

TEST(CsvReport, OperationNames)
{
    EXPECT_STREQ(OperationName(0), "copy");
    EXPECT_STREQ(OperationName(4), "crush");
    EXPECT_STREQ(OperationName(5), "?");
    EXPECT_STREQ(OperationName(-1), "?");
}
