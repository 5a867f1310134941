#pragma once
// How a module's note becomes one of the 32 pitch codes: either by its name
// (C-4..G-6, as a paste reads it) or by its pitch, the console tone nearest
// to it for the instrument's sound types, under the song's own tuning.
#include <array>
#include <map>
#include <string>
#include <vector>

namespace ostrak {

// The notes the pitch codes are named after, in the module's numbering (1 = C-0).
inline constexpr int kFirstCodeNote = 49; // C-4, pitch code 31
inline constexpr int kLastCodeNote = 80;  // G-6, pitch code 0
inline constexpr int kSilenceType = 16;
inline constexpr int kA440Note = 70; // A-5, at 440 Hz before any tuning

enum class NotesMode { PitchCodes, ByPitch };

// "C-4" for pitch code 31 ... "G-6" for 0, the names the paste converter reads.
std::string codeNoteName(int code);
// The pitch of a module note: C-5 is middle C, as the trackers play a sample
// tuned to it, so A-5 is A4 = 440 Hz.
double notePitchHz(int note);
// Pitches in cents on the module's scale: note n at A4 = 440 Hz is 100 n.
double noteCents(double hz);

// How one instrument sounds: its sound type, or two types of one family
// (4 and 12, 6 and 14, 7 and 15: one wave, the second at a third of the
// first's tones) whose tones it shares; and the whole octaves its notes
// move by on top of the transpose. {16} is silence.
struct Voicing {
    std::vector<int> types;
    int octave = 0;
    bool operator==(const Voicing&) const = default;
};

// Two tonal types of one family, the second dividing by three more.
bool sameFamily(int a, int b);

// The console tones of some sound types as the eight slots hold them, low
// to high. The lowest code of slot 7 is left out: that byte, 255, is the
// engine's silence.
class ToneSet {
public:
    struct Tone {
        double cents = 0; // noteCents of hz
        double hz = 0;
        int type = 0;
        int code = 0;
    };
    // Where a pitch lands: the nearest tone; a pitch more than a tritone
    // from every tone moves by whole octaves first, into the tones' reach.
    struct Placed {
        int tone = 0;         // index
        int octavesMoved = 0; // + up, - down
        double cents = 0;     // tone less the pitch moved by those octaves
    };

    ToneSet(const std::vector<int>& types, const std::vector<int>& slotTypes);
    bool empty() const { return tones_.empty(); }
    int size() const { return int(tones_.size()); }
    const Tone& tone(int index) const { return tones_[std::size_t(index)]; }
    Placed place(double cents) const;

private:
    int nearest(double cents) const;
    std::vector<Tone> tones_;
};

struct MappedNote {
    int type = 0;         // the sound type that plays it
    int code = 0;         // pitch code 0-31
    int octavesMoved = 0; // + up, - down, to come within reach
    bool byPitch = false; // false: placed by name (pitch codes, or a type with no pitch)
    double cents = 0;     // byPitch: console tone against the tuned note moved by octavesMoved
    double hz = 0;        // byPitch: the console tone
};

// The notes of one instrument. Its note n sounds, by pitch, as near as the
// console comes to note n + transpose + 12 octave, tuned by tuningCents; by
// name, that note read as a pitch code, moved by octaves into C-4..G-6.
class NoteMapper {
public:
    NoteMapper(const Voicing& voicing, NotesMode mode, const std::vector<int>& slotTypes, int transpose = 0,
               double tuningCents = 0);
    MappedNote map(int note) const;
    bool byPitch() const { return !tones_.empty(); }

private:
    int firstType_ = 0;
    int shift_ = 0; // semitones
    double tuning_ = 0;
    ToneSet tones_; // empty: by name
};

// The figures the import log gives about the notes.
class PitchReport {
public:
    // One note of a channel (0 or 1): the module's note, the instrument
    // that plays it and where it went. Intervals are measured between
    // successive notes by pitch of a channel, the melody a listener follows.
    void add(int channel, int instrument, int note, const MappedNote& mapped);
    void endPattern(); // intervals are not counted across patterns
    int notes() const { return notes_; }
    int moved() const { return moved_; }
    int byPitch() const { return int(cents_.size()); }
    double medianCents() const;
    double worstCents() const;
    int intervals() const { return int(intervals_.size()); }
    double medianIntervalCents() const;
    double intervalShare(double atMost) const; // of the intervals off by at most this
    std::string logLine() const;

private:
    int notes_ = 0, moved_ = 0;
    std::vector<double> cents_, intervals_;
    struct Last {
        int instrument = 0;
        int note = 0;
        double hz = 0;
    };
    std::map<int, Last> last_; // by channel
};

double median(std::vector<double> values);

} // namespace ostrak
