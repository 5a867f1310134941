#pragma once
// The global tables of ostrak, owned by the program for its whole run.
#include "convert/Tables.h"
#include "store/WorkingMemory.h"

namespace ostrak {

struct OstrakState {
    NoteTable noteTable;
    SoundSlots soundSlots;
    WorkingMemory memory;
};

} // namespace ostrak
