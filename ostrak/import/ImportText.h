#pragma once
// The clipboard texts an import gives the paste converter for runs of the
// song's engine rows, with the instrument map, note-offs as silence, each
// text's start filled in and the notes mapped; or the module's own cells, for
// a module written the ostrak way.
#include "ModuleClipboard.h"
#include "NoteMapping.h"
#include "SongLayout.h"

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
    int channelA = 0, channelB = 1;    // -1: none
    std::vector<int> slotTypes;        // the eight slots' sound types; empty: any instrument has a slot
};

// The clipboard texts of runs of engine rows: text k holds rows cuts[k] to
// cuts[k + 1] - 1 (cuts ascending). The rows before cuts.front() are read
// only for what still sounds where the first text starts. Every text starts
// with what sounds there, since the converter starts each paste afresh; a
// held row is an empty cell, which the converter plays as the row before.
// report collects the note figures of the rows the converter reads.
std::vector<std::string> importTexts(const TrackerModule& module, const std::vector<PlayedRow>& played,
                                     const std::vector<EngineRow>& rows, const std::vector<std::size_t>& cuts,
                                     const ImportSettings& settings, PitchReport& report);

} // namespace ostrak
