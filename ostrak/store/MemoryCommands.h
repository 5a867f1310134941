#pragma once
// The working-memory commands of the main window: position field, store,
// show, previous/next, clear one position, clear all.
#include "app/Seams.h"
#include "WorkingMemory.h"

namespace ostrak {

class FrmMain;

class MemoryCommands {
public:
    MemoryCommands(FrmMain& w, WorkingMemory& memory, Seams& seams);

    int CurrentPosition() const;
    void StoreFields();
    void ShowPosition();
    void showFields(int p); // step 4 of ShowPosition

    void previousPosition();
    void nextPosition();
    void ClearPosition();
    void clearWholeMemory();

private:
    FrmMain& w_;
    WorkingMemory& memory_;
    Seams& seams_;
};

} // namespace ostrak
