#pragma once
// Reads tracker modules (every format libopenmpt opens) and writes the text
// the tracker puts on the clipboard when pattern rows are copied, in IT
// notation, so an import can go through the paste converter unchanged.
// Plain C++: libopenmpt stays behind this header.
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace openmpt {
class module;
}

namespace ostrak {

// A module that cannot be opened or read; what() is the text for the user.
class ModuleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// libopenmpt's raw note values past the 120 playable notes.
inline constexpr int kModuleLastNote = 120;
inline constexpr int kModuleNoteFade = 253, kModuleNoteCut = 254, kModuleNoteOff = 255;

// One entry of the first song's order list that names a pattern.
struct OrderEntry {
    int order = 0;   // index in the module's order list, as the tracker shows it
    int pattern = 0;
};

struct SongOrderList {
    std::vector<OrderEntry> entries; // "+++" skipped, up to the first "---"
    int namesNoPattern = 0;          // entries naming a pattern the module lacks: left out
};

// A pattern of the order list, as the import window lists it.
struct OrderPattern {
    int pattern = 0;
    std::string name;
    int rows = 0;
    std::vector<int> orders; // order indices where it plays
};

// One row as the module plays it: where it stands and when it starts.
struct PlayedRow {
    int order = 0, pattern = 0, row = 0;
    double start = 0; // seconds from the song's start
    int speed = 0, tempo = 0; // ticks a row and BPM while it plays
};

// The rows of one pass through the first song in the order the tracker plays
// them: breaks and jumps followed, pattern delays and loops as played, the
// song ending where it would repeat itself.
struct PlayedSong {
    std::vector<PlayedRow> rows;
    double seconds = 0;  // the song's length: when the last row ends
    bool cut = false;    // longer than kLongestPlayedSong: only its start is kept
};

inline constexpr double kLongestPlayedSong = 3600; // seconds; bounds a song that never ends

class TrackerModule {
public:
    // Throws ModuleError when libopenmpt cannot open the bytes.
    explicit TrackerModule(std::string_view bytes);
    ~TrackerModule();
    TrackerModule(TrackerModule&&) noexcept;
    TrackerModule& operator=(TrackerModule&&) noexcept;

    int channels() const;
    int patterns() const;
    int rows(int pattern) const;
    std::string patternName(int pattern) const;
    std::string formatName() const; // e.g. "Impulse Tracker"
    std::string warnings() const;   // what libopenmpt said while loading, one per line

    SongOrderList firstSongOrder() const;
    // The distinct patterns of the first song's order, in order of first appearance.
    std::vector<OrderPattern> orderPatterns() const;

    // The clipboard text of rows firstRow..lastRow of two channels (0-based);
    // a channel of -1 gives empty cells. Throws ModuleError for a pattern,
    // row or channel the module does not have.
    std::string clipboardText(int pattern, int firstRow, int lastRow, int channelA, int channelB) const;
    // One twelve-character cell, "|" included.
    std::string cellText(int pattern, int row, int channel) const;
    // The cell's raw note (0 empty, 1-120 C-0..B-9, kModuleNoteFade/Cut/Off)
    // and instrument number (0 empty, any number the module has); a channel
    // of -1 gives an empty cell.
    struct RawCell {
        int note = 0;
        int instrument = 0;
    };
    RawCell rawCell(int pattern, int row, int channel) const;
    // The instrument's name, or the sample's in a module without instruments.
    std::string instrumentName(int number) const;

    // libopenmpt's length of the first song, in seconds.
    double durationSeconds() const;
    // The first song as the tracker plays it once through (see PlayedSong).
    PlayedSong playedSong() const;

private:
    std::unique_ptr<openmpt::module> module_;
};

// How many rows of a pattern lie past the last line the paste converter reads.
int rowsPastConverter(int rows);

} // namespace ostrak
