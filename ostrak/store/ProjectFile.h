#pragma once
// The project file (".osk"): positions 0-64 of the working memory and the
// two song order lists, in sections opened by ";@@@" marker lines.
//
// Save and load run as a list of steps. A step that fails shows its message;
// in retry mode the next step runs anyway, otherwise the command ends. The
// window they report to is behind ProjectWindowPort, so the rules stay plain.
#include "WorkingMemory.h"

#include <string>
#include <string_view>
#include <vector>

namespace ostrak {

namespace project {
inline constexpr std::string_view kHeader = ";@@@Ostrak-Version1";
inline constexpr std::string_view kConfig = ";@@@Config";
inline constexpr std::string_view kMemory = ";@@@MEMORY----------------";
inline constexpr std::string_view kPosition = ";@@@POSITION";
inline constexpr std::string_view kEmpty = "empty";
inline constexpr std::string_view kGreeting = "Pattern stored by ostrak - have fun!";
inline constexpr std::string_view kNameA = ";@@@StoreNameA";
inline constexpr std::string_view kNameB = ";@@@StoreNameB";
inline constexpr std::string_view kPatternA = ";@@@StorePatternA";
inline constexpr std::string_view kPatternB = ";@@@StorePatternB";
inline constexpr std::string_view kOrderA = ";@@@StoreOrderA";
inline constexpr std::string_view kOrderB = ";@@@StoreOrderB";
inline constexpr std::string_view kPaste = ";@@@StorePaste";
inline constexpr std::string_view kEnd = ";@@@END";
inline constexpr std::string_view kSongOrderCh1 = ";@@@SONGORDER-CH1";
inline constexpr std::string_view kSongOrderCh2 = ";@@@SONGORDER-CH2";
inline constexpr std::string_view kEof = ";@@@eof";

inline constexpr int kSavedPositions = 65; // positions 0 to 64

// Progress bar widths, in 1/1440 inch; the window is 8670 wide inside.
inline constexpr int kBarSongOrder2 = 7400;
inline constexpr int kBarDone = 8300;
inline constexpr int kWindowInnerWidth = 8670;

inline constexpr std::string_view kHeaderMessage =
    "This is not an Ostrak Version 1 file.  Header should be ;@@@Ostrak-Version1 ";
} // namespace project

// The window that save and load report to and read the song order from.
class ProjectWindowPort {
public:
    virtual ~ProjectWindowPort() = default;
    // Read at each failure: the box may be ticked while messages are up.
    virtual bool retryMode() const = 0;
    virtual void setLog(const std::string& text) = 0;
    virtual void appendLog(const std::string& text) = 0;
    virtual void setBarWidth(int units) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual void showMessage(const std::string& text) = 0;
    virtual void refreshFileList() = 0;

    // Song order, channel 0 (listCH1) or 1 (listCH2).
    virtual int songOrderRowCount(int channel) = 0;
    // Selects the row (running the lists' selection behaviour) and returns
    // the text of the row the list has selected afterwards.
    virtual std::string selectSongOrderRow(int channel, int row) = 0;
    virtual void replaceSongOrder(const std::vector<std::string>& rowsCh1,
                                  const std::vector<std::string>& rowsCh2) = 0;
};

std::string saveFailureText(int code);
std::string loadFailureText(int code);

// A number line of the file: the number with one blank on each side.
std::string numberLine(double value);

// Song order rows rebuilt from the numbers under a song order marker,
// named from the (already loaded) memory as "ADD SEQ" names them.
std::vector<std::string> songOrderRowsFromLines(const std::vector<std::string>& lines,
                                                const WorkingMemory::Texts& names);

// "SAVE TO THIS FILE": writes the file named by path (a native path).
void saveProject(const std::string& path, const WorkingMemory& memory, ProjectWindowPort& port);

// "LOAD FROM THIS FILE": copies the memory to the undo copy, empties it and
// fills positions 0-64 from the file; a complete file also gives back the
// song order lists. Texts come back exactly as they were saved.
void loadProject(const std::string& path, WorkingMemory& memory, ProjectWindowPort& port);

} // namespace ostrak
