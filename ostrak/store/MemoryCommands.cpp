#include "MemoryCommands.h"

#include "app/FrmMain.h"
#include "common/Numbers.h"

#include <algorithm>

namespace ostrak {

namespace {
// Position fields hold any text; a text that is no number reads as 0, and
// anything outside the memory is pinned to its ends so no index can escape.
double positionNumber(const common::TextBox* field)
{
    return common::leadingNumber(field->text8());
}
} // namespace

MemoryCommands::MemoryCommands(FrmMain& w, WorkingMemory& memory, Seams& seams)
    : w_(w), memory_(memory), seams_(seams)
{
    QObject::connect(w_.txtPos, &common::TextBox::changed, &w_, [this] { ShowPosition(); });
    QObject::connect(w_.cmdSave, &QPushButton::clicked, &w_, [this] { StoreFields(); });
    QObject::connect(w_.cmdSongPrev, &QPushButton::clicked, &w_, [this] { previousPosition(); });
    QObject::connect(w_.cmdSongNext, &QPushButton::clicked, &w_, [this] { nextPosition(); });
    QObject::connect(w_.cmdDel, &QPushButton::clicked, &w_, [this] { ClearPosition(); });
    QObject::connect(w_.cmdClearSong, &QPushButton::clicked, &w_, [this] { clearWholeMemory(); });
}

int MemoryCommands::CurrentPosition() const
{
    const double p = common::roundHalfEven(positionNumber(w_.txtPos));
    return static_cast<int>(std::clamp(p, 0.0, double(WorkingMemory::kPositions - 1)));
}

void MemoryCommands::StoreFields()
{
    w_.txtLog->setText8("Saving Pattern");
    w_.txtNameA->setBackColor(kColourStored);
    w_.txtNameB->setBackColor(kColourStored);
    memory_.put(CurrentPosition(),
                      {w_.txtNameA->text8(), w_.txtNameB->text8(), w_.txtPatternA->text8(),
                       w_.txtPatternB->text8(), w_.txtOrderA->text8(), w_.txtOrderB->text8(),
                       w_.txtIn->text8()});
}

void MemoryCommands::ShowPosition()
{
    w_.txtNameA->setBackColor(kColourStored);
    w_.txtNameB->setBackColor(kColourStored);
    // Each clamp is itself a change of the field and runs this again, nested.
    if (positionNumber(w_.txtPos) < 0)
        w_.txtPos->setText8("0");
    if (positionNumber(w_.txtPos) > 255)
        w_.txtPos->setText8("255");
    showFields(CurrentPosition());
}

void MemoryCommands::showFields(int p)
{
    const PatternTexts t = memory_.at(p);
    w_.txtNameA->setText8(t.nameA);
    w_.txtNameB->setText8(t.nameB);
    w_.txtPatternA->setText8(t.patternA);
    w_.txtPatternB->setText8(t.patternB);
    w_.txtOrderA->setText8(t.orderA);
    w_.txtOrderB->setText8(t.orderB);
    w_.txtIn->setText8(t.paste);
}

void MemoryCommands::previousPosition()
{
    w_.txtPos->setText8(common::formatNumber(positionNumber(w_.txtPos) - 1));
    if (positionNumber(w_.txtPos) < 0)
        w_.txtPos->setText8("0");
}

void MemoryCommands::nextPosition()
{
    w_.txtPos->setText8(common::formatNumber(positionNumber(w_.txtPos) + 1));
    if (positionNumber(w_.txtPos) > 64)
        w_.txtPos->setText8("64");
}

void MemoryCommands::ClearPosition()
{
    const int p = CurrentPosition();
    memory_.clearPosition(p);
    showFields(p);
}

void MemoryCommands::clearWholeMemory()
{
    memory_.SaveUndoCopy();
    memory_.ClearMemory();
    seams_.messages.show("You just erased all memory.  To undo, open the file operations box and press undo!");
    w_.txtLog->setText8("MEMORY CLEARED  (click undo in file menu to recover)");
    // Every file is opened and closed within its command, so none is open here.
}

} // namespace ostrak
