#pragma once
// What a module's channels play: the instruments and their notes, the steps
// from note to note, which instruments are drums, what each channel holds
// (for the channel lists of the import window) and the two channels an
// import takes by default.
#include <array>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace ostrak {

class TrackerModule;

struct InstrumentUse {
    int number = 0;
    std::string name;
    std::array<int, 121> noteCounts{}; // by raw note, 1 = C-0 ... 120 = B-9
    int notes() const;
    int distinctNotes() const;
    std::string notesText() const; // "34 (C-3..A-5)"
};

// "C-0" ... "B-9" for a raw note.
std::string moduleNoteName(int note);

// A channel's note followed by its next one (drums between them left out),
// and how often.
struct NoteStep {
    int fromInstrument = 0, fromNote = 0;
    int toInstrument = 0, toNote = 0;
    int count = 0;
};

// The instruments some channels (-1: none) play over some patterns, by
// number (a note without an instrument counts for the channel's last one),
// and the steps between successive notes within a pattern.
struct ChannelNotes {
    std::vector<InstrumentUse> uses;
    std::vector<NoteStep> steps;
};
ChannelNotes channelNotes(const TrackerModule& module, const std::vector<int>& patterns,
                          const std::vector<int>& channels, const std::set<int>& drums);

// Sounds named like drums ("kick", "snare", "hihat", ...).
bool drumName(const std::string& name);
// A drum: named like one, or a sound struck again and again at one or two
// pitches, as drum samples are.
bool drumLike(const InstrumentUse& use);

struct ChannelSummary {
    int channel = 0;        // 0-based
    int notes = 0;          // every note struck
    int tonalNotes = 0;     // of instruments that are no drums
    int low = 0, high = 0;  // range of those notes; 0 when none
    double meanNote = 0;    // their mean
    int mainInstrument = 0; // the instrument that strikes most notes; 0 when none
    std::string mainName;
    // "5: 312 notes, C-4..A-5, mostly 3 Lead"
    std::string text() const;
};

struct ModuleNotes {
    std::vector<ChannelSummary> channels;
    std::vector<InstrumentUse> instruments; // over every channel
    std::set<int> drums;                    // instruments that play drums
};

ModuleNotes summariseChannels(const TrackerModule& module, const std::vector<int>& patterns);

// CH1 and CH2 (0-based, -1 for none): the two channels with the most notes
// that are no drums, the lower of them (by its mean note) on CH2.
std::pair<int, int> defaultChannels(const std::vector<ChannelSummary>& channels);

} // namespace ostrak
