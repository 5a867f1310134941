#pragma once
// The instrument map of an import: how each instrument of the channels
// picked sounds by default, with the notes choice, the transpose and the
// tuning that go with it.
#include "ChannelNotes.h"
#include "NoteMapping.h"

#include <array>
#include <string>
#include <vector>

namespace ostrak {

// Written for ostrak: every instrument the module plays is a slot's sound
// type or silence (16, which it plays), and every note lies in C-4..G-6.
// Such a module imports exactly as a paste of its rows.
bool writtenTheOstrakWay(const std::vector<InstrumentUse>& uses, const std::vector<int>& slotTypes);

// Which slots the stored patterns play (the silence byte plays none).
std::array<bool, 8> slotsPlayed(const std::vector<std::string>& patterns);

// A slot the import may set to a type, so that an instrument has two types
// of a family (12 beside 4) to reach further with fine steps.
struct SlotOffer {
    int slot = -1; // none
    int type = 0;
};
// 12 (or 13) when a slot has the square 4 (or 5) and none its partner, and
// the slot that may take it: not slot 7, played by no stored pattern, the
// deepest of the other tonal types.
SlotOffer slotOffer(const std::vector<int>& slotTypes, const std::array<bool, 8>& played);

struct MapChoice {
    std::vector<Voicing> voicings; // one per instrument of the channels
    NotesMode mode = NotesMode::ByPitch;
    int transpose = 0;  // semitones
    double cents = 0;   // tuning on top of the transpose, by pitch
    bool ostrakWay = false;
    bool takesOffer = false; // the voicings play the offered type on the offered slot
};

// slotTypes: the sound types of the eight slots. A module written the
// ostrak way keeps every number; otherwise drums take a noise type and the
// rest the tonal types, octaves and tuning that keep the intervals, with
// the offered slot when that keeps them clearly better.
MapChoice defaultChoice(const ChannelNotes& notes, const ModuleNotes& module, const std::vector<int>& slotTypes,
                        const SlotOffer& offer = {});

// Pitch codes: the whole octaves that put the most notes into C-4..G-6.
int defaultTranspose(const std::vector<InstrumentUse>& uses, const std::vector<Voicing>& voicings);

} // namespace ostrak
