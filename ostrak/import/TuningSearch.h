#pragma once
// The default tuning of an import: one shift for the whole song, and for
// each instrument its sound types and octave, chosen so that successive
// notes of a channel keep their intervals on the console's uneven tones.
#include "ChannelNotes.h"
#include "NoteMapping.h"

#include <vector>

namespace ostrak {

struct Tuning {
    int transpose = 0;               // semitones, for every instrument
    double cents = 0;                // -50..50, on top of it
    std::vector<Voicing> voicings;   // one per instrument
    double cost = 0;                 // what the intervals lost, weighed: lower is better
};

// choices: for each instrument, the type sets it may take; one set alone is
// kept as it is, with octave 0 (drums, silence). slotTypes: the eight slots'.
Tuning searchTuning(const std::vector<InstrumentUse>& uses, const std::vector<NoteStep>& steps,
                    const std::vector<std::vector<std::vector<int>>>& choices, const std::vector<int>& slotTypes);

} // namespace ostrak
