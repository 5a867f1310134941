#pragma once
// What the "Import Module" window's buttons do. It opens a module and imports
// one pattern or the whole song through the main window's own commands: the
// position field, the input field, ">> BANG! >>" and "ADD SEQ", so the result
// is what pasting by hand would give.
#include "app/Seams.h"
#include "store/WorkingMemory.h"
#include "ModuleClipboard.h"

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

private:
    void refuse(const std::string& text);
    void log(const std::string& line);
    // Channel picked in a combo, 0-based; -1 for none.
    static int channelOf(const QComboBox* box);
    // Puts one pattern's clipboard text into txtIn at the current position and
    // presses ">> BANG! >>"; false when the converter did not store it.
    bool convertAtCurrentPosition(const std::string& text);

    FrmImport& f_;
    FrmMain& w_;
    WorkingMemory& store_;
    Seams& seams_;
    MemoryCommands& memory_;
    std::optional<TrackerModule> module_;
};

} // namespace ostrak
