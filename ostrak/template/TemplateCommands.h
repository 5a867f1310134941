#pragma once
// "Save Ostrak.it": writes the tracker template for the instrument fields as
// they are, and never replaces an Ostrak.it the user changed without asking.
#include "app/Seams.h"

namespace ostrak {

class FrmMain;
class NoteTable;
class SongCommands;

class TemplateCommands {
public:
    TemplateCommands(FrmMain& w, Seams& seams, const NoteTable& notes, const SongCommands& song);
    void saveTemplate();

private:
    FrmMain& w_;
    Seams& seams_;
    const NoteTable& notes_;
    const SongCommands& song_;
};

} // namespace ostrak
