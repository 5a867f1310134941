#pragma once
// Instrument configuration, hi-hat, the song.h writers and the song order generator.
#include "app/Seams.h"
#include "convert/Tables.h"
#include "store/WorkingMemory.h"
#include "Instruments.h"
#include "SongFile.h"

#include <string_view>
#include <vector>

namespace ostrak {

class FrmMain;

class SongCommands {
public:
    SongCommands(FrmMain& w, WorkingMemory& memory, SoundSlots& soundSlots, Seams& seams);

    // What the writers read from the two instrument frames, right now.
    InstrumentTexts instrumentTexts() const;
    HatSteps hatSteps() const;

    void autoHat(AutoHat which);
    void showHatLines();   // "nfo"
    void testTones();
    void refreshSoundSlots();
    void tidyKickIn();

    // The song.h lines each writer writes, from the fields as they are now
    // (the whole song packed when "Pack repeats" is ticked).
    SongLines previewLines() const;
    SongLines wholeSongLines() const;
    // Shows the whole song's ROM use in lblRomUse.
    void showRomUse();
    // While held (an import converting pattern after pattern), the ROM use
    // waits, and is shown once on release when anything changed.
    void holdRomUse(bool hold);
    // For a whole song too large for the ROM: by how much and whether
    // packing would help; empty when it fits.
    std::string tooLargeNote() const;

    void compilePattern(); // the preview song.h, then compile.bat
    void generateSongOrder();
    void compileSong();    // the whole song, then copycart.bat and compile.bat
    // "Save for a game": the whole song as SONG COMPILE writes it, player.asm
    // and music-README.txt into the folder the user picks, each written whole.
    void saveForGame();

private:
    // Writes song.h line by line under the writers' catch-all, then starts
    // the scripts in order; every failing step is shown and the next one runs.
    void writeAndBuild(const SongLines& lines, const std::vector<const char*>& scripts,
                       std::string_view scriptMissingText);
    // Tells in the log, after what is there, what dasm would reject in song.h.
    void logSongProblems(const SongLines& lines);
    // The whole song as written, before any packing.
    SongLines songAsWritten() const;
    void showRomUse(const SongLines& lines);

    FrmMain& w_;
    WorkingMemory& memory_;
    SoundSlots& slots_;
    Seams& seams_;
    bool romUseHeld_ = false;
    bool romUseStale_ = false;
};

} // namespace ostrak
