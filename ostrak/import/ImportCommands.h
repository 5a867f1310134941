#pragma once
// What the "Import Module" window's buttons do. It opens a module and imports
// one pattern or the whole song through the main window's own commands: the
// position field, the input field, ">> BANG! >>" and "ADD SEQ", so the result
// is what pasting the import's text by hand would give (the module's own
// rows for a module written for ostrak, else rows rewritten by the
// instrument map and the notes choice).
#include "app/Seams.h"
#include "store/WorkingMemory.h"
#include "ModuleClipboard.h"
#include "ImportText.h"
#include "InstrumentMap.h"
#include "SongLayout.h"

#include <functional>
#include <optional>
#include <string>

class QComboBox;

namespace ostrak {

class FrmMain;
class FrmImport;
class MemoryCommands;

class ImportCommands {
public:
    ImportCommands(FrmImport& f, FrmMain& w, WorkingMemory& store, Seams& seams, MemoryCommands& memory);

    // Shows the window with the main window's position as the first position.
    void showWindow();

    void browse();        // "Browse..."
    bool openModule();    // "Open"
    void importPattern(); // "Import Selected Pattern"
    void importSong();    // "Import Whole Song"

    // Holds (true) and releases the main window's song views that follow
    // every conversion, so an import of many patterns updates them once.
    std::function<void(bool hold)> holdSongViews = [](bool) {};

private:
    void refuse(const std::string& text);
    void log(const std::string& line);
    // Channel picked in a combo, 0-based; -1 for none.
    static int channelOf(const QComboBox* box);
    // The song as the module plays it, the engine rows it becomes at the
    // frame rate chkPal picks, and the log lines that say so.
    struct SongTime {
        PlayedSong song;
        RowTiming timing;
        std::vector<EngineRow> rows;
        double framesPerSecond = 60;
    };
    SongTime songTime() const;
    // Sets cmbTempo to the song's row length, as a user would pick it.
    void setTempo(const SongTime& time);
    // Puts one pattern's clipboard text into txtIn at the current position and
    // presses ">> BANG! >>"; false when the converter did not store it.
    bool convertAtCurrentPosition(const std::string& text);

    // The channel lists, each entry saying what its channel holds, and the
    // two channels picked by default.
    void fillChannels();
    // The instrument map, notes choice, transpose and tuning for the channels picked.
    void refreshMap();
    // After a notes choice: the transpose by name, or by pitch the tuning
    // and octaves for the types shown.
    void setDefaultTranspose();
    std::vector<int> slotTypes() const;
    // The slot the import may set to a type it lacks, from the slots and the stored patterns.
    SlotOffer currentOffer() const;
    // Sets the slot readSettings asked for, once, right before the first
    // conversion, and says so.
    void takePendingSlot();
    // The table's types and octaves, one per instrument row; none when a type is no number.
    std::optional<std::vector<Voicing>> chosenVoicings() const;
    // What the controls ask for, or none after saying why.
    std::optional<ImportSettings> readSettings();
    // Log lines after an import: the notes and a warning when there were none.
    void logNotes(const std::vector<int>& patterns, const ImportSettings& settings, const PitchReport& report);

    FrmImport& f_;
    FrmMain& w_;
    WorkingMemory& store_;
    Seams& seams_;
    MemoryCommands& memory_;
    std::optional<TrackerModule> module_;
    ModuleNotes moduleNotes_;         // what each channel holds; the drums
    std::vector<InstrumentUse> uses_; // the rows of tblInstruments
    std::vector<NoteStep> steps_;     // between their notes
    bool ostrakWay_ = false;
    std::optional<SlotOffer> pendingSlot_; // set by readSettings
};

} // namespace ostrak
