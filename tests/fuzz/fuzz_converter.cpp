// The paste converter, as ">> BANG! >>" runs it on the swap file's text:
// every row line among lines 1 to 129 gives one byte line on each channel,
// and every eighth row closes a chain.
#include "FuzzSupport.h"
#include "convert/PasteConverter.h"
#include "common/TextFile.h"

namespace {

// A row's line or a chain's closing line. (A cell the tables do not know
// gives fewer than eight digits or none, as the window shows too.)
bool isByteLine(std::string_view line)
{
    return line.substr(0, 6) == "\tbyte ";
}

void checkPattern(const std::string& pattern, int rows, int chains)
{
    int byteLines = 0;
    for (const std::string& line : common::splitLines(pattern))
        byteLines += isByteLine(line) ? 1 : 0;
    if (byteLines != rows + chains)
        std::fprintf(stderr, "%d byte lines for %d rows and %d chains in:\n%s\n", byteLines, rows, chains, pattern.c_str());
    FUZZ_CHECK(byteLines == rows + chains); // each closed chain ends in one more byte line
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace ostrak;
    static const NoteTable notes;
    // The swap file holds the paste and one CR LF more.
    const std::string swapped = fuzz::text(data, size) + "\r\n";
    PasteLines lines;
    lines.load(swapped);
    const PasteNames names{"A", "B", 3};
    const SoundSlots slots;
    const PasteResult result = convertPaste(lines, names, notes, slots, [] { return std::string("00:00:00"); });

    // Row lines counted by the split rule, independently of the line table.
    const std::vector<std::string> split = common::splitLines(swapped);
    int rows = 0;
    for (std::size_t j = 1; j <= static_cast<std::size_t>(kLastPasteLine) && j < split.size(); ++j)
        rows += !split[j].empty() && split[j].front() == '|' ? 1 : 0;
    FUZZ_CHECK(result.rowsConverted == rows);
    FUZZ_CHECK(result.chainsClosed == rows / 8);
    checkPattern(result.patternA, rows, result.chainsClosed);
    checkPattern(result.patternB, rows, result.chainsClosed);
    return 0;
}
