#pragma once
// The numbered working memory: seven texts per position, and one undo copy.
#include <array>
#include <string>

namespace ostrak {

struct PatternTexts {
    std::string nameA, nameB, patternA, patternB, orderA, orderB, paste;
};

struct WorkingMemory {
    static constexpr int kElements = 257; // positions 0-256; 256 is never addressed
    static constexpr int kPositions = 256; // 0-255 reachable from the position field
    using Texts = std::array<std::string, kElements>;

    Texts StoreNameA, StoreNameB, StorePatternA, StorePatternB, StoreOrderA, StoreOrderB, StorePaste;
    Texts UndoNameA, UndoNameB, UndoPatternA, UndoPatternB, UndoOrderA, UndoOrderB, UndoPaste;

    PatternTexts at(int p) const;
    void put(int p, const PatternTexts& texts);
    void clearPosition(int p);

    void SaveUndoCopy();
    void ClearMemory();
    void RestoreUndoCopy();

private:
    // Each store array with its undo array, so the copies cannot miss one.
    template <typename F> void forEachStoreAndUndo(F f)
    {
        f(StoreNameA, UndoNameA);
        f(StoreNameB, UndoNameB);
        f(StorePatternA, UndoPatternA);
        f(StorePatternB, UndoPatternB);
        f(StoreOrderA, UndoOrderA);
        f(StoreOrderB, UndoOrderB);
        f(StorePaste, UndoPaste);
    }
};

} // namespace ostrak
