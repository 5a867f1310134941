#pragma once
// The instrument map of an import: which instruments the imported channels
// play, and the sound type each one gets by default, with the notes choice
// and transpose that go with it.
#include "NoteMapping.h"

#include <array>
#include <string>
#include <vector>

namespace ostrak {

class TrackerModule;

struct InstrumentUse {
    int number = 0;
    std::string name;
    std::array<int, 121> noteCounts{}; // by raw note, 1 = C-0 ... 120 = B-9
    int notes() const;
    std::string notesText() const; // "34 (C-3..A-5)"
};

// The instruments the two channels (-1: none) use over these patterns, by
// number. A note without an instrument counts for the channel's last one.
std::vector<InstrumentUse> instrumentUse(const TrackerModule& module, const std::vector<int>& patterns, int channelA,
                                         int channelB);

// Written for ostrak: instrument numbers are sound types (1-16) and silence
// is instrument 16. Such a module imports exactly as a paste of its rows.
bool writtenTheOstrakWay(const std::vector<InstrumentUse>& uses);

// Sounds named like drums ("kick", "snare", "hihat", ...).
bool drumName(const std::string& name);

struct MapChoice {
    std::vector<int> types; // one per InstrumentUse
    NotesMode mode = NotesMode::ByPitch;
    int transpose = 0; // semitones
    bool ostrakWay = false;
};

// slotTypes: the sound types of the eight slots.
MapChoice defaultChoice(const std::vector<InstrumentUse>& uses, const std::vector<int>& slotTypes);

// The whole octaves that put the most notes within reach: into C-4..G-6 for
// pitch codes, within 50 cents of a console tone of the instrument's type
// by pitch (and not below 20 Hz, where no pitch is heard).
int defaultTranspose(const std::vector<InstrumentUse>& uses, const std::vector<int>& types, NotesMode mode);

} // namespace ostrak
