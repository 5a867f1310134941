#pragma once
// The whole ostrak with the project window open, and ways to look at memory.
#include "common/Failure.h"
#include "support/OstrakFixture.h"
#include "store/FrmFiles.h"

#include <string>
#include <vector>

namespace testing_support {

inline const std::string kNotFound = "File not found.  Please ensure it is in this directory.";
inline const std::string kNotOpen = "Problem writing to file... you may need to press ok a few times!";
inline const std::string kNoHeader =
    "This is not an Ostrak Version 1 file.  Header should be ;@@@Ostrak-Version1 ";

class ProjectTest : public OstrakTest {
protected:
    ProjectTest() { click(w().cmdLoadSong); }

    ostrak::FrmFiles& files() { return app->files(); }
    void save(const std::string& name)
    {
        files().txtFile->setText8(name);
        files().cmdSave->click();
    }
    void load(const std::string& name)
    {
        files().txtFile->setText8(name);
        files().cmdLoad->click();
    }
    void undo() { files().cmdUndo->click(); }

    // All seven texts of positions 0-255, from the memory or its undo copy.
    std::vector<std::string> stored(bool undoCopy = false)
    {
        const ostrak::WorkingMemory& m = memory();
        std::vector<std::string> all;
        for (std::size_t p = 0; p < ostrak::WorkingMemory::kPositions; ++p) {
            for (const auto* a : undoCopy ? std::vector{&m.UndoNameA, &m.UndoNameB, &m.UndoPatternA, &m.UndoPatternB,
                                                        &m.UndoOrderA, &m.UndoOrderB, &m.UndoPaste}
                                          : std::vector{&m.StoreNameA, &m.StoreNameB, &m.StorePatternA, &m.StorePatternB,
                                                        &m.StoreOrderA, &m.StoreOrderB, &m.StorePaste})
                all.push_back((*a)[p]);
        }
        return all;
    }
    bool emptyFrom(int first)
    {
        const std::vector<std::string> all = stored();
        for (std::size_t i = std::size_t(first) * 7; i < all.size(); ++i)
            if (!all[i].empty())
                return false;
        return true;
    }
    void addRowToBoth(const std::string& ch1, const std::string& ch2)
    {
        w().listCH1->addRow(ch1);
        w().listCH2->addRow(ch2);
    }
    std::vector<std::string> rows(ostrak::ListBox* list)
    {
        std::vector<std::string> r;
        for (int i = 0; i < list->count(); ++i)
            r.push_back(list->rowText(i));
        return r;
    }
};

} // namespace testing_support
