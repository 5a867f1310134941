#pragma once
// The line tables of the last song.h read. They are fixed in size and live as
// long as the program; only the manual search refills them, every other
// command only reads them.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace crimp {

inline constexpr int kTableSize = 32769;   // indexes 0 to 32768
inline constexpr int kLastIndex = kTableSize - 1;
inline constexpr int kRunLength = 9;       // eight data lines and the closing line
inline constexpr int kKeyLength = 16;      // lines are compared on this many characters
inline constexpr int kSearchKeyCount = 17; // only 0 to 8 are ever written
inline constexpr int kMatchLineCount = 256;
// The last position whose nine-line window still lies inside the tables.
inline constexpr int kLastWindowStart = kLastIndex - (kRunLength - 1);

inline constexpr std::string_view kFree = "0";      // table filler after a reset
inline constexpr std::string_view kKeep = "0";      // optMarks: copy unchanged
inline constexpr std::string_view kCommentOut = "1"; // optMarks: comment the line out

// The part of a line that searches compare: data, never the comment.
std::string_view keyOf(std::string_view line);

struct LineTables {
    LineTables();

    std::vector<std::string> fileLines; // kTableSize entries
    std::vector<std::string> lineKeys;  // kTableSize entries
    std::vector<std::string> optMarks;  // kTableSize entries
    std::array<std::string, kSearchKeyCount> searchKeys;
    std::array<std::string, kMatchLineCount> matchLines;
    std::int32_t lineCount = 0; // lines of the last read, stored or not

    // Lines that exist in the tables (a longer file is counted, not stored).
    int storedLines() const;
    // Last position the searches try: windows never leave the tables.
    int lastSearchPosition() const;
    // True when the last read had more lines than the tables hold.
    bool overflowed() const { return lineCount > kTableSize; }

    // Every line entry "0", every match entry "0" (before a new read).
    void clearForSearch();

    // Reads song.h-form text: lines end at CR LF or a lone CR, the last line
    // needs none. Lines past the tables are counted but not stored.
    // progress gets lineCount after every line.
    void loadLines(std::string_view text, const std::function<void(std::int32_t)>& progress = {});
};

// The one report line telling that part of a long file was left out.
std::string overflowNote(std::int32_t lineCount);

} // namespace crimp
