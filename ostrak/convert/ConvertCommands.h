#pragma once
// The paste converter (cmdBang) and the quick decoder of the main window.
#include "app/Seams.h"
#include "Tables.h"
#include "PasteConverter.h"

#include <optional>
#include <string>

namespace ostrak {

class FrmMain;
class MemoryCommands;

class ConvertCommands {
public:
    ConvertCommands(FrmMain& w, NoteTable& notes, SoundSlots& soundSlots, Seams& seams, MemoryCommands& memory);

    void convertPaste();  // cmdBang
    void clearDecoder();  // a click into txtDecoder
    void decode();        // txtDecoder losing the focus

    const PasteLines& pasteLines() const { return pasteLines_; }

private:
    // The paste's round trip through swap.txt; none after telling the user why.
    std::optional<std::string> swapRoundTrip(const std::string& paste);
    std::string dateTime() const;

    FrmMain& w_;
    NoteTable& notes_;
    SoundSlots& slots_;
    Seams& seams_;
    MemoryCommands& memory_;
    PasteLines pasteLines_; // lives as long as the window, refilled by every run
};

} // namespace ostrak
