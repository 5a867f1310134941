#pragma once
// The song order lists: ADD SEQ, X and the row selection behaviour.
#include "app/Seams.h"
#include "WorkingMemory.h"

namespace ostrak {

class FrmMain;

class SongOrderCommands {
public:
    SongOrderCommands(FrmMain& w, WorkingMemory& memory, Seams& seams);

    void addRow();        // "ADD SEQ"
    void deleteRow();     // "X"

private:
    void channel1Selected(int index);
    void channel2Selected(int index);

    FrmMain& w_;
    WorkingMemory& memory_;
    Seams& seams_;
};

} // namespace ostrak
