// Saving a project file, and the texts both directions show.
#include "ProjectFile.h"
#include "ProjectSteps.h"

#include "common/Failure.h"
#include "common/Numbers.h"
#include "common/TextFile.h"
#include "SongOrder.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <filesystem>
#include <new>
#include <optional>

namespace ostrak {

using namespace project;

namespace {

// The project file while a command has it open; reading or writing it when
// it is not open fails with code 52, as on any unopened file.
class OutFile {
public:
    void open(const std::string& path)
    {
        writer_.reset();
        writer_.emplace(path);
    }
    void line(std::string_view text)
    {
        if (!writer_)
            throw common::Failure(common::kBadFileName, "file not open");
        writer_->writeLine(text);
    }
    // Puts the written file in place of the old one.
    void close()
    {
        if (!writer_)
            return;
        try {
            writer_->close();
        } catch (...) {
            writer_.reset();
            throw;
        }
        writer_.reset();
        committed_ = true;
    }
    // A save that stopped part way leaves the old file as it was.
    void discard() { writer_.reset(); }
    bool committed() const { return committed_; }

private:
    std::optional<common::LineWriter> writer_;
    bool committed_ = false;
};


std::string positionLineOf(int p)
{
    return " " + std::to_string(p) + " ";
}


// What a save could not keep exactly, one line per text, for the message
// shown once the file is in place.
using Unkept = std::vector<std::string>;

std::string inQuotes(std::string_view line)
{
    return "\"" + std::string(line) + "\"";
}

// The text as it can be written: a line that equals a marker ending the
// text would cut it short on loading, moving every later text of the block.
// Such a line gets one blank added, which keeps it out of the way of the
// reader and changes nothing in assembly (the line is a comment) or in a
// paste (no tracker row starts with ';').
std::string keepable(const std::string& text, std::initializer_list<std::string_view> endMarkers, int p,
                     std::string_view name, Unkept& unkept)
{
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (;;) {
        // Lines end at CR LF or a lone CR, as the reader splits them.
        std::size_t end = text.find('\r', start);
        const std::string_view line =
            std::string_view(text).substr(start, end == std::string::npos ? std::string::npos : end - start);
        out += line;
        if (std::find(endMarkers.begin(), endMarkers.end(), line) != endMarkers.end()) {
            out += ' ';
            unkept.push_back("Position " + std::to_string(p) + ", " + std::string(name) + ": its line " + inQuotes(line)
                             + " is a marker of the project file and would end the text early when loaded; it is "
                               "saved as " + inQuotes(std::string(line) + " ") + ".");
        }
        if (end == std::string::npos)
            return out;
        out += '\r';
        if (end + 1 < text.size() && text[end + 1] == '\n')
            out += '\n', ++end;
        start = end + 1;
    }
}

// A name is one line; the reader skips the rest, which could also hold the
// next marker. Only the first line is written.
std::string keepableName(const std::string& name, int p, std::string_view field, Unkept& unkept)
{
    const std::size_t end = name.find('\r');
    if (end == std::string::npos)
        return name;
    unkept.push_back("Position " + std::to_string(p) + ", " + std::string(field)
                     + ": a name is one line; only its first line " + inQuotes(name.substr(0, end)) + " is saved.");
    return name.substr(0, end);
}

void saveBlock(int p, const WorkingMemory& m, OutFile& out, common::StepRunner& step, ProjectWindowPort& port,
               Unkept& unkept)
{
    const auto i = static_cast<std::size_t>(p);
    port.appendLog("\r\n\r\nPOSITION :: " + std::to_string(p));
    step([&] { out.line(kPosition); });
    step([&] { out.line(positionLineOf(p)); });
    port.setBarWidth(100 * p);
    if (m.StorePatternA[i].empty()) {
        step([&] { out.line(kEmpty); });
        port.appendLog("\r\nEmpty patch found!");
        return;
    }
    step([&] { out.line(kGreeting); });
    port.appendLog("\r\nSaving StoreName CH1 / CH2");
    step([&] { out.line(kNameA); });
    step([&] { out.line(keepableName(m.StoreNameA[i], p, "StoreNameA", unkept)); });
    step([&] { out.line(kNameB); });
    step([&] { out.line(keepableName(m.StoreNameB[i], p, "StoreNameB", unkept)); });
    port.setBarWidth(100 * p + 20);

    port.appendLog(" [OK]\r\nSaving StorePattern CH1 / CH2");
    step([&] { out.line(kPatternA); });
    step([&] { out.line(keepable(m.StorePatternA[i], {kPatternB}, p, "StorePatternA", unkept)); });
    step([&] { out.line(kPatternB); });
    step([&] { out.line(keepable(m.StorePatternB[i], {kOrderA}, p, "StorePatternB", unkept)); });
    port.setBarWidth(100 * p + 40);

    port.appendLog(" [OK]\r\nSaving StoreOrder CH1 / CH2");
    step([&] { out.line(kOrderA); });
    step([&] { out.line(keepable(m.StoreOrderA[i], {kOrderB}, p, "StoreOrderA", unkept)); });
    step([&] { out.line(kOrderB); });
    step([&] { out.line(keepable(m.StoreOrderB[i], {kPaste}, p, "StoreOrderB", unkept)); });
    port.setBarWidth(100 * p + 60);

    port.appendLog(" [OK]\r\nSaving original tracker data");
    step([&] { out.line(kPaste); });
    step([&] { out.line(keepable(m.StorePaste[i], {kEnd, kEof}, p, "StorePaste", unkept)); });
    port.setBarWidth(100 * p + 80);
    step([&] { out.line(kEnd); });
}

void saveSongOrder(int channel, OutFile& out, common::StepRunner& step, ProjectWindowPort& port)
{
    const int rows = port.songOrderRowCount(channel);
    for (int j = 0; j < rows; ++j)
        step([&] { out.line(numberLine(rowPosition(port.selectSongOrderRow(channel, j)))); });
}


} // namespace

std::string saveFailureText(int code)
{
    switch (code) {
    case common::kBadFileName:
        return "Problem writing to file... you may need to press ok a few times!";
    case common::kFileNotFound:
        return "File not found.  Please ensure it is in this directory.";
    case common::kFileAlreadyOpen:
        return "End of file reached early!  Are you sure it is complete?";
    default:
        return common::genericFailureText(code);
    }
}


std::string numberLine(double value)
{
    return " " + common::formatNumber(value) + " ";
}


void saveProject(const std::string& path, const WorkingMemory& memory, ProjectWindowPort& port)
{
    OutFile out;
    Unkept unkept;
    common::StepRunner step = projectSteps(port, saveFailureText);
    common::runCommand([&] {
        port.setLog("Creating / writing file...");
        step([&] { out.open(path); });
        step([&] { out.line(kHeader); });
        port.appendLog("file ready for export!\r\n\r\n");
        step([&] { out.line(kConfig); });
        port.appendLog("Saving instrument configuration");
        port.setBusy(true);
        step([&] { out.line(kMemory); });
        for (int p = 0; p < kSavedPositions; ++p)
            saveBlock(p, memory, out, step, port, unkept);

        step([&] { out.line(kSongOrderCh1); });
        port.appendLog(" [OK]\r\n\r\nSaving Song Order Channel 1");
        saveSongOrder(0, out, step, port);
        port.setBarWidth(kBarSongOrder2);
        port.appendLog(" [OK]\r\n\r\nSaving Song Order Channel 2");
        step([&] { out.line(kSongOrderCh2); });
        saveSongOrder(1, out, step, port);
        port.setBarWidth(kBarDone);
        step([&] { out.line(kEof); });
        step([&] { out.close(); });
        port.appendLog(" [OK]\r\n\r\nThis text box has no fucking idea if the file actually saved, "
                       "but at least you got to read this nerdy green writing!\r\n");
    }); // a stop leaves the old file as it was
    out.discard();
    if (out.committed() && !unkept.empty()) {
        std::string text = "The file is saved, but these texts could not be kept exactly as they are:";
        for (const std::string& line : unkept)
            text += "\r\n" + line;
        port.showMessage(text);
    }
    // The pointer comes back and the list shows whatever is on disk now,
    // also after a failure.
    port.setBusy(false);
    port.refreshFileList();
}


} // namespace ostrak
