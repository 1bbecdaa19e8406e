#include "cli/CsvReport.h"

std::string CsvField(std::string_view text)
{
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quoted)
        return std::string(text);
    std::string field = "\"";
    for (const char c : text) {
        if (c == '"')
            field += '"';
        field += c;
    }
    field += '"';
    return field;
}

const char* OperationName(int operation)
{
    static const char* const names[] = {"copy", "cut", "trash", "delete", "crush"};
    return operation >= 0 && operation < 5 ? names[operation] : "?";
}

CsvReport::CsvReport(ReportSink& sink) : sink_(sink)
{
    Line("result,operation,source,destination,bytes,error");
}

void CsvReport::Line(const std::string& line)
{
    if (!sink_.Write(line + "\r\n"))
        good_ = false;
}

void CsvReport::Row(const ReportRow& row)
{
    Line(CsvField(row.result) + ',' + CsvField(row.operation) + ',' + CsvField(row.source) + ',' +
         CsvField(row.destination) + ',' + std::to_string(row.bytes) + ',' + CsvField(row.error));
}

void CsvReport::Summary(const ReportSummary& s)
{
    std::string text = "examined " + std::to_string(s.filesExamined) + "; done " + std::to_string(s.filesDone) +
                       "; failed " + std::to_string(s.filesFailed) + "; skipped " + std::to_string(s.filesSkipped) +
                       (s.interrupted ? "; interrupted" : "") + "; exit code " + std::to_string(s.exitCode);
    Line("summary," + CsvField(s.operation) + ",,," + std::to_string(s.bytesCopied) + ',' + CsvField(text));
}
