#pragma once
// Puts ostrak together: the tables, the main window, its command classes and
// the two side windows. main() and the tests build exactly this.
#include "app/Seams.h"
#include "convert/Tables.h"
#include "store/WorkingMemory.h"

#include <memory>

namespace ostrak {

class FrmMain;
class FrmFiles;
class FrmSetup;
class FrmImport;
class ImportCommands;
class MemoryCommands;
class ConvertCommands;
class SongCommands;
class SongOrderCommands;
class AudioOutput;
class PlayCommands;
class FrmPitch;
class TemplateCommands;

// The global tables of ostrak, owned by the program for its whole run.
struct OstrakState {
    NoteTable noteTable;
    SoundSlots soundSlots;
    WorkingMemory memory;
};

class OstrakApp {
public:
    explicit OstrakApp(Seams seams);
    ~OstrakApp();

    FrmMain& main() { return *main_; }
    FrmFiles& files() { return *files_; }
    FrmSetup& setup() { return *setup_; }
    FrmImport& importer() { return *import_; }
    OstrakState& state() { return state_; }
    MemoryCommands& memory() { return *memory_; }
    FrmPitch& pitch() { return *pitch_; }

private:
    Seams seams_;
    OstrakState state_;
    std::unique_ptr<FrmMain> main_;
    std::unique_ptr<MemoryCommands> memory_;
    std::unique_ptr<ConvertCommands> convert_;
    std::unique_ptr<SongCommands> song_;
    std::unique_ptr<SongOrderCommands> songOrder_;
    FrmFiles* files_;  // owned by the main window
    FrmSetup* setup_;  // owned by the main window
    FrmImport* import_; // owned by the main window
    std::unique_ptr<ImportCommands> importCommands_;
    std::unique_ptr<AudioOutput> ownAudio_; // when the seams bring none
    std::unique_ptr<PlayCommands> play_;
    FrmPitch* pitch_;  // owned by the main window
    std::unique_ptr<TemplateCommands> template_;
};

} // namespace ostrak
