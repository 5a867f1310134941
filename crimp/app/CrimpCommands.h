#pragma once
// The button commands of the crimp window. They work on the program-wide
// line tables and write their results into the window's controls.
#include "search/LineTables.h"

#include <string>
#include <vector>

namespace common {
class Clock;
}

namespace crimp {

class frmCrimp;

inline constexpr const char* kSongFile = "song.h";
inline constexpr const char* kSearchFile = "search.txt";
inline constexpr const char* kOptimisedFile = "songopt.h";

class CrimpCommands {
public:
    CrimpCommands(frmCrimp& window, const common::Clock& clock);

    LineTables& tables() { return tables_; }

    void manualSearch();
    void autoSearch();
    void writeOptimised();
    void dumpSearch();
    void dumpMemory();
    void dumpMatches();

private:
    void readSong(std::vector<std::string>& notes);
    void takeSearchKeys(std::vector<std::string>& notes);

    frmCrimp& w_;
    const common::Clock& clock_;
    LineTables tables_;
};

} // namespace crimp
