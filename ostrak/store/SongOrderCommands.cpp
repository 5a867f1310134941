#include "SongOrderCommands.h"

#include "common/Failure.h"
#include "app/FrmMain.h"
#include "common/Numbers.h"
#include "SongOrder.h"

#include <algorithm>

namespace ostrak {

SongOrderCommands::SongOrderCommands(FrmMain& w, WorkingMemory& memory, Seams& seams)
    : w_(w), memory_(memory), seams_(seams)
{
    QObject::connect(w_.cmdAdd, &QPushButton::clicked, &w_, [this] { addRow(); });
    QObject::connect(w_.cmdDelCh1, &QPushButton::clicked, &w_, [this] { deleteRow(); });
    QObject::connect(w_.listCH1, &ListBox::selectionChanged, &w_, [this](int i) { channel1Selected(i); });
    QObject::connect(w_.listCH2, &ListBox::selectionChanged, &w_, [this](int i) { channel2Selected(i); });
    // "INS", "UP" and "DN" have no action.
}

void SongOrderCommands::addRow()
{
    w_.txtLog->setText8("Saving Seq");
    const std::string positionText = w_.txtPos->text8();
    // The position field is kept within the memory, but its text may be
    // anything while typed; pin the index so no row can read past the ends.
    const double p = std::clamp(common::roundHalfEven(common::leadingNumber(positionText)), 0.0,
                                double(WorkingMemory::kPositions - 1));
    const auto index = static_cast<std::size_t>(p);
    w_.listCH1->addRow(songOrderRow(positionText, memory_.StoreNameA[index]));
    w_.listCH2->addRow(songOrderRow(positionText, memory_.StoreNameB[index]));
    w_.txtNameA->setBackColor(kColourStored);
    w_.txtNameB->setBackColor(kColourStored);
}

void SongOrderCommands::deleteRow()
{
    int selected = -1;
    // Both removals are always tried, so the lists stay parallel.
    common::runStepsContinuing(
        {
            [&] { selected = w_.listCH1->selectedIndex(); },
            [&] { w_.listCH1->removeSelected(); },
            [&] { w_.listCH2->removeSelected(); },
            [&] { w_.listCH1->select(selected); },
            [&] { w_.listCH2->select(selected); },
        },
        [this](const common::Failure& f) {
            seams_.messages.show(f.code() == common::kInvalidArgument
                                     ? std::string("Ya gotta select something to delete it")
                                     : common::genericFailureText(f.code()));
        });
}

// The lists always hold the same number of rows; the count checks only keep
// a selection notification from throwing should they ever differ.
void SongOrderCommands::channel1Selected(int index)
{
    if (index < w_.listCH2->count())
        w_.listCH2->select(index);
    if (index < 0)
        return; // a cleared selection names no position
    w_.txtSongPos->setText8(std::to_string(index));
    w_.txtPos->setText8(common::formatNumber(common::leadingNumber(w_.listCH1->rowText(index))));
}

void SongOrderCommands::channel2Selected(int index)
{
    if (index < w_.listCH1->count())
        w_.listCH1->select(index);
    if (w_.listCH1->selectedIndex() >= 0)
        w_.txtSongPos->setText8(std::to_string(w_.listCH1->selectedIndex()));
}

} // namespace ostrak
