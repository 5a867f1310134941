#include "OptOutput.h"

namespace crimp {

std::string replaceWithReport(const LineTables& t)
{
    std::string out = "REPLACE WITH : ";
    for (const std::string& line : t.matchLines) {
        if (line == kFree)
            continue;
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string optimisedText(const LineTables& t, const std::string& timeOfDay)
{
    const int lines = t.storedLines();
    std::size_t estimate = 64;
    for (int k = 0; k < lines; ++k)
        estimate += t.fileLines[k].size() + 16;
    std::string out;
    out.reserve(estimate);
    out += "; OPTIMISED OUTPUT (REM) at ";
    out += timeOfDay;
    out += "\r\n\r\n";
    for (int k = 0; k < lines; ++k) {
        if (t.optMarks[k] == kCommentOut) {
            out += kOptMark;
            out += std::to_string(k);
            out += "  ";
        }
        out += t.fileLines[k];
        out += "\r\n";
    }
    return out;
}

namespace {

template <typename Range>
std::string eachOnALine(const Range& entries, std::size_t count)
{
    std::string out;
    for (std::size_t k = 0; k < count; ++k) {
        out += entries[k];
        out += "\r\n";
    }
    return out;
}

} // namespace

std::string searchKeysDump(const LineTables& t)
{
    return eachOnALine(t.searchKeys, t.searchKeys.size());
}

std::string lineKeysDump(const LineTables& t)
{
    return eachOnALine(t.lineKeys, static_cast<std::size_t>(t.storedLines()));
}

std::string matchLinesDump(const LineTables& t)
{
    return eachOnALine(t.matchLines, t.matchLines.size());
}

} // namespace crimp
