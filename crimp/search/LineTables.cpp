#include "LineTables.h"

#include <algorithm>

namespace crimp {

std::string_view keyOf(std::string_view line)
{
    return line.substr(0, std::min<std::size_t>(line.size(), kKeyLength));
}

LineTables::LineTables()
    : fileLines(kTableSize), lineKeys(kTableSize), optMarks(kTableSize)
{
}

int LineTables::storedLines() const
{
    return std::clamp<std::int32_t>(lineCount, 0, kTableSize);
}

int LineTables::lastSearchPosition() const
{
    return std::clamp<std::int32_t>(lineCount, 0, kLastWindowStart);
}

void LineTables::clearForSearch()
{
    for (int k = 0; k < kTableSize; ++k) {
        lineKeys[k] = kFree;
        optMarks[k] = kKeep;
        fileLines[k] = kFree;
    }
    for (std::string& entry : matchLines)
        entry = kFree;
}

void LineTables::loadLines(std::string_view text, const std::function<void(std::int32_t)>& progress)
{
    lineCount = 0;
    std::size_t start = 0;
    const std::size_t size = text.size();
    while (start < size) {
        std::size_t end = text.find('\r', start);
        std::size_t next;
        if (end == std::string_view::npos) {
            end = size;
            next = size;
        } else {
            next = end + 1;
            if (next < size && text[next] == '\n')
                ++next;
        }
        if (lineCount < kTableSize) {
            std::string_view line = text.substr(start, end - start);
            fileLines[lineCount].assign(line);
            lineKeys[lineCount].assign(keyOf(line));
        }
        ++lineCount;
        if (progress)
            progress(lineCount);
        start = next;
    }
}

std::string overflowNote(std::int32_t lineCount)
{
    return "Counted " + std::to_string(lineCount) + " lines; only lines 0 to "
        + std::to_string(kLastIndex) + " fit the table, lines past the table were not searched.";
}

} // namespace crimp
