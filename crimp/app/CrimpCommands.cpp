#include "CrimpCommands.h"

#include "FrmCrimp.h"
#include "search/OptOutput.h"
#include "search/RunSearch.h"

#include "common/Clock.h"
#include "common/Failure.h"
#include "common/TextFile.h"

namespace crimp {

namespace {

std::string failureText(const common::Failure& f)
{
    return f.detail().empty() ? common::genericFailureText(f.code()) : f.detail();
}

} // namespace

CrimpCommands::CrimpCommands(frmCrimp& window, const common::Clock& clock)
    : w_(window), clock_(clock)
{
}

void CrimpCommands::readSong(std::vector<std::string>& notes)
{
    tables_.lineCount = 0;
    std::string text;
    try {
        text = common::readWholeFile(kSongFile);
    } catch (const common::Failure& f) {
        // Nothing is read; the report tells why after "Working...".
        notes.push_back("Could not read " + std::string(kSongFile) + ": " + failureText(f));
        throw;
    }
    tables_.loadLines(text, [this](std::int32_t count) { w_.BoxLoad->setBarWidth(count / 10.0); });
    if (tables_.overflowed())
        notes.push_back(overflowNote(tables_.lineCount));
}

void CrimpCommands::takeSearchKeys(std::vector<std::string>& notes)
{
    const std::string written = w_.txtSearch->text8() + std::string(common::kCrLf);
    // The keys come from the very bytes search.txt receives, read back the
    // way the file would be, so a file that cannot be written loses nothing.
    const std::vector<std::string> lines = common::splitLines(written);
    for (int k = 0; k < kRunLength; ++k)
        tables_.searchKeys[k] = k < static_cast<int>(lines.size()) ? std::string(keyOf(lines[k])) : std::string();
    try {
        common::writeWholeFile(kSearchFile, written);
    } catch (const common::Failure& f) {
        notes.push_back("Could not write " + std::string(kSearchFile) + ": " + failureText(f));
        throw;
    }
}

void CrimpCommands::manualSearch()
{
    std::vector<std::string> notes;
    ManualScan scan;
    common::runStepsContinuing(
        {
            [&] {
                setCaption8(w_.lblBefore, "0");
                setCaption8(w_.lblRepitions, "0");
                setCaption8(w_.lblAfter, "0");
            },
            [&] { tables_.clearForSearch(); },
            [&] { readSong(notes); },
            [&] { setCaption8(w_.lblLen, "Length: " + std::to_string(tables_.lineCount)); },
            [&] { w_.BoxLoad->setBarWidth(tables_.lineCount > 0 ? LoadBar::kFullWidth : 0.0); },
            [&] {
                for (common::TextBox* box : w_.Tline)
                    box->setText8("");
            },
            [&] { takeSearchKeys(notes); },
            [&] {
                for (int k = 0; k < kRunLength; ++k)
                    w_.Tline[k]->setText8(tables_.searchKeys[k]);
            },
            [&] {
                std::string head(kWorking);
                for (const std::string& note : notes)
                    head += note + "\r\n";
                w_.txtOut->setText8(std::move(head));
            },
            [&] {
                scan = scanForSearchRun(tables_);
                if (scan.firstPosition >= 0)
                    setCaption8(w_.lblOriginal, tables_.lineKeys[scan.firstPosition - 1]);
                if (scan.repeats > 0)
                    setCaption8(w_.lblRepitions, std::to_string(scan.repeats));
                w_.txtOut->append8(scan.entries);
            },
            [&] {
                setCaption8(w_.lblBefore, caption8(w_.lblRepitions));
                setCaption8(w_.lblAfter, "1");
                setCaption8(w_.lblLen, "Length: " + std::to_string(tables_.lineCount));
            },
            [&] { w_.txtOut->append8(manualClosing()); },
        },
        [&](const common::Failure&) { w_.txtOut->append8(kErrorMark); });
}

void CrimpCommands::autoSearch()
{
    std::vector<std::string> notes;
    if (tables_.overflowed())
        notes.push_back(overflowNote(tables_.lineCount));
    const int last = tables_.lastSearchPosition();
    PairList list = pairsByGrouping(tables_.lineKeys, last);
    w_.txtOut->setText8(autoReport(list, tables_.lineKeys, notes));
    // The bar follows the outer position and ends full once any was tried.
    if (last >= 1)
        w_.BoxLoad->setBarWidth(LoadBar::kFullWidth);
}

void CrimpCommands::writeOptimised()
{
    w_.txtOut->setText8(replaceWithReport(tables_));
    try {
        common::writeWholeFile(kOptimisedFile, optimisedText(tables_, clock_.longTimeText()));
    } catch (const common::Failure& f) {
        std::string message;
        const std::string& shown = w_.txtOut->text8();
        if (!shown.empty() && shown.back() != '\n')
            message += "\r\n";
        message += std::string(kOptimisedFile) + " was not written: " + failureText(f) + "\r\n";
        w_.txtOut->append8(message);
    }
}

void CrimpCommands::dumpSearch()
{
    w_.txtOut->setText8(searchKeysDump(tables_));
}

void CrimpCommands::dumpMemory()
{
    w_.txtOut->append8(lineKeysDump(tables_));
}

void CrimpCommands::dumpMatches()
{
    w_.txtOut->append8(matchLinesDump(tables_));
}

} // namespace crimp
