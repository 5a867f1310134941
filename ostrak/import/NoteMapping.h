#pragma once
// How a module's note becomes one of the 32 pitch codes: either by its name
// (C-4..G-6, as a paste reads it) or by its pitch, the code whose console
// tone for the instrument's sound type lies nearest. Notes out of reach move
// by whole octaves.
#include <array>
#include <map>
#include <string>
#include <vector>

namespace ostrak {

// The notes the pitch codes are named after, in the module's numbering (1 = C-0).
inline constexpr int kFirstCodeNote = 49; // C-4, pitch code 31
inline constexpr int kLastCodeNote = 80;  // G-6, pitch code 0
inline constexpr int kSilenceType = 16;

enum class NotesMode { PitchCodes, ByPitch };

// "C-4" for pitch code 31 ... "G-6" for 0, the names the paste converter reads.
std::string codeNoteName(int code);
// The pitch of a module note: C-5 is middle C, as the trackers play a sample
// tuned to it, so A-5 is A4 = 440 Hz.
double notePitchHz(int note);

struct MappedNote {
    int code = 0;         // pitch code 0-31
    int octavesMoved = 0; // + up, - down, to come within reach
    bool byPitch = false; // false: placed by name (pitch codes, or a type with no pitch)
    double cents = 0;     // byPitch: console tone against the note moved by octavesMoved
    double hz = 0;        // byPitch: the console tone
};

// Maps notes for one sound type.
class NoteMapper {
public:
    NoteMapper(int soundType, NotesMode mode);
    MappedNote map(int note) const; // a transposed note, any value
    bool byPitch() const { return tonal_; }

private:
    bool tonal_ = false;
    std::array<double, 32> hz_{}; // by pitch code
};

// The figures the import log gives about the notes.
class PitchReport {
public:
    // One note of a channel (0 or 1) played by an instrument. Intervals are
    // measured between successive notes of one instrument in one channel,
    // the melody a listener follows.
    void add(int channel, int instrument, int note, const MappedNote& mapped);
    void endPattern(); // intervals are not counted across patterns
    int notes() const { return notes_; }
    int moved() const { return moved_; }
    int byPitch() const { return int(cents_.size()); }
    double medianCents() const;
    double worstCents() const;
    double medianIntervalCents() const;
    std::string logLine() const;

private:
    int notes_ = 0, moved_ = 0;
    std::vector<double> cents_, intervals_;
    struct Last {
        int note = 0;
        double hz = 0;
    };
    std::map<std::pair<int, int>, Last> last_; // by channel and instrument
};

} // namespace ostrak
