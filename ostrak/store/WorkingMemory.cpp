#include "WorkingMemory.h"

namespace ostrak {

namespace {
std::size_t index(int p) { return static_cast<std::size_t>(p); }
} // namespace

PatternTexts WorkingMemory::at(int p) const
{
    const std::size_t i = index(p);
    return {StoreNameA.at(i), StoreNameB.at(i), StorePatternA.at(i), StorePatternB.at(i),
            StoreOrderA.at(i), StoreOrderB.at(i), StorePaste.at(i)};
}

void WorkingMemory::put(int p, const PatternTexts& t)
{
    const std::size_t i = index(p);
    StoreNameA.at(i) = t.nameA;
    StoreNameB.at(i) = t.nameB;
    StorePatternA.at(i) = t.patternA;
    StorePatternB.at(i) = t.patternB;
    StoreOrderA.at(i) = t.orderA;
    StoreOrderB.at(i) = t.orderB;
    StorePaste.at(i) = t.paste;
}

void WorkingMemory::clearPosition(int p)
{
    put(p, PatternTexts{});
}

void WorkingMemory::SaveUndoCopy()
{
    forEachStoreAndUndo([](Texts& store, Texts& undo) { undo = store; });
}

void WorkingMemory::ClearMemory()
{
    for (int p = 0; p < kPositions; ++p)
        clearPosition(p);
}

void WorkingMemory::RestoreUndoCopy()
{
    forEachStoreAndUndo([](Texts& store, Texts& undo) { store = undo; });
}

} // namespace ostrak
