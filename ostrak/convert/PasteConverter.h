#pragma once
// Turns the rows of a ModPlug Tracker clipboard paste into pattern and
// sequence texts for the two engine channels. Plain text in, plain text out:
// the window command does the fields, the swap file and the log around it.
#include "Tables.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrak {

inline constexpr std::string_view kPasteHeader = "ModPlug Tracker  IT";

// The split lines of one paste. The table is 1,025 rows by 257 columns, but
// only column 0 is ever read or written, so only column 0 is kept.
class PasteLines {
public:
    static constexpr int kRows = 1025; // rows 0-1024
    static constexpr int kLastRow = kRows - 1;

    PasteLines() { reset(); }
    // Every row back to "0", which no row test accepts.
    void reset();
    // Line k goes to row k; every line from the 1,025th on lands in row 1024.
    // The row after the last line (also capped at 1024) is marked "EOF".
    // Lines end at CR LF or a lone CR; a final line end adds no empty line.
    void load(std::string_view fileText);
    const std::string& row(int r) const { return rows_.at(static_cast<std::size_t>(r)); }

private:
    std::vector<std::string> rows_;
};

struct PasteNames {
    std::string nameA; // channel 1 name: prefix of its chain labels
    std::string nameB;
    int position = 0; // numbers the sequence comments: 4p + 1 and 4p + 3
};

struct PasteResult {
    std::string patternA, patternB; // chains of eight byte lines under labels
    std::string orderA, orderB;     // "word" lines naming the chains
    std::string rowLog;             // two log lines and an empty one per row
    int rowsConverted = 0;
    int chainsClosed = 0;
};

// Only lines 1 to 129 hold rows; everything later is ignored.
inline constexpr int kLastPasteLine = 129;

bool hasPasteHeader(const PasteLines& lines);

// Converts lines 1 to 129 of the table. timeText is asked for the time
// shown on each row's log line.
PasteResult convertPaste(const PasteLines& lines, const PasteNames& names, const NoteTable& notes,
                         const SoundSlots& slots, const std::function<std::string()>& timeText);

// The sequence text of one channel: chainCount labels, four to a line, the
// fourth followed by " ;" and lineNumber.
std::string sequenceText(const std::string& name, int chainCount, int lineNumber);

} // namespace ostrak
