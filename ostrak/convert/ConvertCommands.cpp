#include "ConvertCommands.h"

#include "common/Failure.h"
#include "common/TextFile.h"
#include "app/FrmMain.h"
#include "Decoder.h"
#include "store/MemoryCommands.h"

namespace ostrak {

namespace {
const std::string kSwapFile = "swap.txt";
} // namespace

ConvertCommands::ConvertCommands(FrmMain& w, NoteTable& notes, SoundSlots& soundSlots, Seams& seams, MemoryCommands& memory)
    : w_(w), notes_(notes), slots_(soundSlots), seams_(seams), memory_(memory)
{
    QObject::connect(w_.cmdBang, &QPushButton::clicked, &w_, [this] { convertPaste(); });
    QObject::connect(w_.txtDecoder, &common::TextBox::clicked, &w_, [this] { clearDecoder(); });
    QObject::connect(w_.txtDecoder, &common::TextBox::focusLost, &w_, [this] { decode(); });
}

std::string ConvertCommands::dateTime() const
{
    return seams_.clock.dateText() + seams_.clock.timeText();
}

std::optional<std::string> ConvertCommands::swapRoundTrip(const std::string& paste)
{
    try {
        common::LineWriter writer(kSwapFile);
        writer.writeLine(paste);
        writer.close();
        return common::readWholeFile(kSwapFile);
    } catch (const common::Failure& f) {
        seams_.messages.show(common::genericFailureText(f.code()));
        return std::nullopt;
    }
}

void ConvertCommands::convertPaste()
{
    // The swap file goes first: when it cannot be written or read back, the
    // user is told and nothing on the window or in the memory has changed.
    const std::optional<std::string> swapped = swapRoundTrip(w_.txtIn->text8());
    if (!swapped)
        return;

    w_.txtNameA->setBackColor(kColourUnstored);
    w_.txtNameB->setBackColor(kColourUnstored);
    if (w_.chkAutoName->isChecked()) {
        const std::string pos = w_.txtPos->text8();
        w_.txtNameA->setText8("Pos" + pos + "_C1_");
        w_.txtNameB->setText8("Pos" + pos + "_C2_");
    }
    std::array<std::string, 8> waveTexts;
    for (std::size_t i = 0; i < waveTexts.size(); ++i)
        waveTexts[i] = w_.WaveMatrix[i]->text8();
    slots_.refresh(waveTexts);

    w_.txtLog->setText8("Erasing temp memory... " + dateTime() + "\r\n");
    pasteLines_.reset();
    w_.txtLog->append8("\r\nSwap file... " + dateTime());
    for (common::MemoBox* field : {w_.txtPatternA, w_.txtPatternB, w_.txtOrderA, w_.txtOrderB})
        field->setText8("");
    pasteLines_.load(*swapped);
    w_.txtLog->append8("\r\nProcessing... " + seams_.clock.timeText() + "\r\n");

    if (!hasPasteHeader(pasteLines_))
        seams_.messages.show("This may not be a paste from an IT from MODPlug");

    // The sequence comments number the position the pattern is stored at.
    const PasteNames names{w_.txtNameA->text8(), w_.txtNameB->text8(), memory_.CurrentPosition()};
    const PasteResult result = ostrak::convertPaste(pasteLines_, names, notes_, slots_,
                                                   [this] { return seams_.clock.timeText(); });
    // The rows' log lines go in as one piece: the log ends up replaced anyway.
    w_.txtLog->append8(result.rowLog);
    w_.txtPatternA->setText8(result.patternA);
    w_.txtPatternB->setText8(result.patternB);
    w_.txtOrderA->setText8(result.orderA);
    w_.txtOrderB->setText8(result.orderB);

    memory_.StoreFields();
}

void ConvertCommands::clearDecoder()
{
    w_.txtDecoder->setText8("");
}

void ConvertCommands::decode()
{
    w_.txtDecoderOut->setText8(
        decodePatternByte(w_.txtDecoder->text8(), notes_, slots_));
}

} // namespace ostrak
