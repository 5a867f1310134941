#pragma once
// How a module's played rows become the engine's: one row length for the
// whole song (frames and 256ths, as TEMPODELAY and TEMPOFRAC hold it), a
// whole number of engine rows for each module row, and the rows cut into
// positions of 64 that the song order plays, each distinct one stored once.
#include "ModuleClipboard.h"

#include <string>
#include <variant>
#include <vector>

namespace ostrak {

inline constexpr int kPositionRows = 64; // a position plays two 32-row song steps
// The last position a song order can play on both channels: from 63 on,
// channel 2's entries (4p+3, 4p+4) reach 255, the engine's end marker, and
// past a byte, which dasm refuses.
inline constexpr int kLastSongPosition = 62;
inline constexpr int kMaxSongOrderRows = 256; // positions a song may play in all

struct RowTiming {
    double framesPerRow = 1;    // a whole number of 256ths, from 1 to 255 + 255/256
    std::vector<int> repeats;   // engine rows for each module row, 1 or more
    int engineRows = 0;         // their sum
    double worstDriftFrames = 0; // farthest any module row starts from its time
};

// starts: when each module row starts, in seconds (the first at 0); end:
// when the last one ends. Each row gets the engine rows its length holds,
// counted along the song so rounding never adds up; the row length is then
// fitted so the whole lasts as long as the module. The engine row divides
// one of the song's common row lengths (by 1 to 8), so those rows play
// evenly, or is the mean row where no length is common (a swing): the one
// with the fewest rows whose rows all start within 0.6 of the most common
// row of the module's, else the one that comes closest.
RowTiming chooseRowTiming(const std::vector<double>& starts, double end, double framesPerSecond);

// The cmbTempo text of a row length: the number with up to three decimals,
// enough to give back the same 256ths ("7.2" for 7 + 51/256).
std::string tempoText(double framesPerRow);

// One row of the engine's song: module row `played` (an index into the
// played rows) where it starts (first) or held on, or silence (played -1)
// after the module's end.
struct EngineRow {
    int played = -1;
    bool first = false;
};
// The song's engine rows, filled with silence to whole positions.
std::vector<EngineRow> engineRows(const std::vector<int>& repeats);

// Where the whole-song import puts each position's text: texts equal to an
// earlier one reuse its position.
struct PositionPlan {
    std::vector<int> stored;    // index of the text each new position holds; stored[i] goes to start + i
    std::vector<int> positions; // one per text, in song order
};
// The plan, or the text that says why the song cannot be imported.
std::variant<PositionPlan, std::string> planPositions(const std::vector<std::string>& texts, int startPosition);

// The log's lines on the tempo: the module's speed and tempo, the row length
// chosen and how module rows become engine rows.
std::vector<std::string> tempoLog(const PlayedSong& song, const RowTiming& timing, double framesPerSecond);
// The log's line on the song's length against the module's, with the
// silence that fills the last position.
std::string lengthLog(const PlayedSong& song, const RowTiming& timing, double framesPerSecond);
// Which module rows a position's engine rows (from `first`) play:
// "order 0 row 0 (pattern 2) to order 1 row 31 (pattern 0)".
std::string rowsText(const std::vector<PlayedRow>& played, const std::vector<EngineRow>& rows, std::size_t first);

// "2:03.4"
std::string minutesText(double seconds);

} // namespace ostrak
