#pragma once
// The clipboard text an import gives the paste converter for one pattern,
// with the instrument map, note-offs as silence, pattern starts filled in and
// the notes mapped; or the module's own text, for a module written the ostrak way.
#include "ModuleClipboard.h"
#include "NoteMapping.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace ostrak {

struct ImportSettings {
    bool asPasted = false;             // the module's own cells, as a hand paste
    std::map<int, Voicing> voicingOf;  // instrument number -> how it sounds ({16}: silence)
    NotesMode mode = NotesMode::ByPitch;
    int transpose = 0;                 // semitones
    double cents = 0;                  // tuning, by pitch
    std::vector<int> slotTypes;        // the eight slots' sound types
    int channelA = 0, channelB = 1;    // -1: none
};

// What a channel sounds: a note with its instrument, or silence (note 0).
struct Sounding {
    int note = 0;
    int instrument = 0;
};
using ChannelsSounding = std::array<Sounding, 2>;

// What the two channels still sound at each pattern's first place in the
// song order, playing every row of the order from the start (jumps and
// breaks are not followed). A pattern not in the order starts silent.
std::map<int, ChannelsSounding> soundingAtPatternStarts(const TrackerModule& module, const SongOrderList& order,
                                                        int channelA, int channelB);

// The text of all rows of a pattern; report collects the note figures.
std::string importText(const TrackerModule& module, int pattern, const ImportSettings& settings,
                       const ChannelsSounding& start, PitchReport& report);

} // namespace ostrak
