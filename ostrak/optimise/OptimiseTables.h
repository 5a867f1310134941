#pragma once
// The song optimiser's tables and its two rules: reading pattern blocks from
// optimise.txt into the tables, and joining the channel 1 rows into one text
// per pattern. Plain text work; the window only shows what these return.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrak {

// Lives as long as the program: nothing here is ever cleared, so a shorter
// second file leaves the higher patterns of the first one in place.
class OptimiseTables {
public:
    static constexpr int kPatterns = 513;    // pattern numbers 0-512; 1-512 are written
    static constexpr int kLastPattern = kPatterns - 1;
    static constexpr int kChannels = 3;      // 0-2; 1 and 2 are written
    static constexpr int kRows = 11;         // 0-10; 1-9 are written
    static constexpr int kBlockRows = 9;
    static constexpr int kJoinedPatterns = 300; // only these are joined

    OptimiseTables();

    // Throws common::Failure(9) for an index outside the table.
    std::string& OptPattern(int pattern, int channel, int row);
    const std::string& OptPattern(int pattern, int channel, int row) const;

    std::int32_t OptCountCH1 = 0;
    std::int32_t OptCountCH2 = 0;
    std::vector<std::string> OptChain; // 0-512

private:
    std::vector<std::string> patterns_;
};

// A mark on the window's surface, in the window's layout units.
struct OptMark {
    enum class Kind { Line, Box };
    Kind kind;
    int x1, y1, x2, y2;
    std::uint32_t colour; // 0x00BBGGRR
    bool operator==(const OptMark&) const = default;
    bool operator<(const OptMark& o) const; // any strict order, for keeping marks once
};

inline constexpr std::uint32_t kOptLineColour = 255; // red
inline constexpr std::uint32_t kOptBoxColour = 256;  // 0x000100: green 1

// Channel of a name line: 1 or 2 when "_C1_"/"_C2_" starts at character 5, 6
// or 7 (channel 2 wins when both do), otherwise 0. Not checked for "Pos".
int channelOfNameLine(std::string_view line);
bool isNameLine(std::string_view line);
// Characters 8 to 15 of a row line; fewer or none when the line is shorter.
std::string rowBits(std::string_view line);

enum class OptReadEnd {
    EofLine,   // an "eof" line where a name line could start
    EndOfFile, // the file ran out first (no "eof", or a block cut short)
    TableFull, // a channel had no room for one more pattern
};

struct OptReadResult {
    std::string log;             // the text for the window's input log
    std::vector<OptMark> marks;  // one line per block of channel 1 or 2
    OptReadEnd end = OptReadEnd::EndOfFile;
    int fullChannel = 0;         // the channel that had no room, for TableFull
};

// Gives the next line, or false at the end of the input.
using LineSource = std::function<bool(std::string& line)>;

// Resets both counts and reads blocks into the tables until "eof", the end of
// the input, or a block that would pass pattern 512 of its channel.
OptReadResult readOptimiseInput(const LineSource& next, OptimiseTables& tables);

struct OptJoinResult {
    std::string listing;         // every OptChain entry, each with an empty line after it
    std::vector<OptMark> marks;  // one box per joined pattern
};

// Joins rows 1-9 of channel 1 patterns 1-300 that have a first row into OptChain.
OptJoinResult joinChannel1Patterns(OptimiseTables& tables);

} // namespace ostrak
