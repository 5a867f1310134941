#include "ProjectFile.h"

#include "Failure.h"
#include "Numbers.h"
#include "TextFile.h"
#include "store/SongOrder.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <filesystem>
#include <new>
#include <optional>

namespace ostrak {

using namespace project;

namespace {

constexpr std::string_view kCrLf = common::kCrLf;

// The project window's failure style: show the message for the code, then
// stop, or go on with the next step in retry mode.
common::StepRunner projectSteps(ProjectWindowPort& port, std::string (*messageFor)(int))
{
    return common::StepRunner([&port, messageFor](const common::Failure& f) { port.showMessage(messageFor(f.code())); },
                              [&port] { return port.retryMode(); });
}

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

class InFile {
public:
    void open(const std::string& path)
    {
        reader_.reset();
        // A pipe or device could block or never end; only plain files are read.
        std::error_code ec;
        const auto status = std::filesystem::status(path, ec);
        if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)
            && !std::filesystem::is_directory(status))
            throw common::Failure(common::kPathAccess, path + " is not a plain file");
        reader_.emplace(path);
    }
    bool isOpen() const { return reader_.has_value(); }
    bool atEnd() { return !reader_ || reader_->atEnd(); }
    std::string readLine()
    {
        if (!reader_)
            throw common::Failure(common::kBadFileName, "file not open");
        return reader_->readLine();
    }
    // Reads lines up to and including the marker. A failed read (end of file,
    // file not open) ends the search, so retry mode cannot spin on it.
    void skipPast(std::string_view marker)
    {
        while (readLine() != marker) {
        }
    }
    // Reads the lines before the marker (which is read too) into text, with
    // CR LF between lines, so a text comes back exactly as it was written.
    void collectUntil(std::string& text, std::string_view marker, std::string_view alsoEndsAt = {})
    {
        bool first = true;
        for (;;) {
            std::string line = readLine();
            if (line == marker || (!alsoEndsAt.empty() && line == alsoEndsAt))
                return;
            if (!first)
                text += kCrLf;
            text += line;
            first = false;
        }
    }
    void close() { reader_.reset(); }

private:
    std::optional<common::LineReader> reader_;
};

std::string positionLineOf(int p)
{
    return " " + std::to_string(p) + " ";
}

// The position line as the load log shows it. A damaged file can hold
// megabytes on that line, and the log would take minutes to lay it out six
// times; such a line is cut, since it is only shown, never used.
std::string shownInLog(std::string line)
{
    constexpr std::size_t kLongest = 64;
    if (line.size() > kLongest) {
        line.resize(kLongest);
        line += "...";
    }
    return line;
}

// The row position of a song order row: its leading number. A number beyond
// the largest double reads as infinite, which no plain number can show; it
// counts as the largest one of its sign, so saving and loading keep a huge
// position rather than "inf" (read back as 0).
double rowPosition(const std::string& row)
{
    return largestIfInfinite(leadingNumber(row));
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

void loadBlock(int p, WorkingMemory& m, InFile& in, common::StepRunner& step, ProjectWindowPort& port)
{
    const auto i = static_cast<std::size_t>(p);
    port.setBarWidth(100 * p);
    step([&] { in.skipPast(kPosition); });
    // A read that failed leaves its line empty.
    std::string position;
    step([&] { position = shownInLog(in.readLine()); });
    port.appendLog("\r\nFound position: " + position);
    std::string first;
    step([&] { first = in.readLine(); });
    if (first == kEmpty) {
        port.appendLog(" -- EMPTY");
        return;
    }
    // first is the greetings line; its text does not matter.
    port.appendLog("\r\n  + Loading Patt Names : " + position);
    step([&] { in.skipPast(kNameA); });
    step([&] { m.StoreNameA[i] = in.readLine(); });
    step([&] { in.skipPast(kNameB); });
    step([&] { m.StoreNameB[i] = in.readLine(); });

    port.appendLog("\r\n  + Loading Patterns : " + position);
    step([&] { in.skipPast(kPatternA); });
    step([&] { in.collectUntil(m.StorePatternA[i], kPatternB); });

    port.appendLog("\r\n  + Loading Patt Order : " + position);
    step([&] { in.collectUntil(m.StorePatternB[i], kOrderA); });
    step([&] { in.collectUntil(m.StoreOrderA[i], kOrderB); });

    port.appendLog("\r\n  + Loading original input : " + position);
    step([&] { in.collectUntil(m.StoreOrderB[i], kPaste); });
    step([&] { in.collectUntil(m.StorePaste[i], kEnd, kEof); });

    port.appendLog("\r\n  - Found end marker" + position);
}

// After the blocks: both song order sections give back the lists. A file
// that ends before them (or inside the first) leaves the lists alone.
void loadSongOrder(const WorkingMemory& m, InFile& in, ProjectWindowPort& port)
{
    if (!in.isOpen())
        return;
    std::vector<std::string> lines1, lines2;
    try {
        in.skipPast(kSongOrderCh1);
        for (std::string line = in.readLine(); line != kSongOrderCh2; line = in.readLine())
            lines1.push_back(line);
        while (!in.atEnd()) {
            std::string line = in.readLine();
            if (line == kEof)
                break;
            lines2.push_back(line);
        }
    } catch (const std::exception&) {
        return; // the file ended (or could not be read) before the lists did
    }
    port.replaceSongOrder(songOrderRowsFromLines(lines1, m.StoreNameA),
                          songOrderRowsFromLines(lines2, m.StoreNameB));
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

std::string loadFailureText(int code)
{
    if (code == common::kFileAlreadyOpen)
        return common::genericFailureText(code);
    return saveFailureText(code);
}

std::string numberLine(double value)
{
    return " " + formatNumber(value) + " ";
}

std::vector<std::string> songOrderRowsFromLines(const std::vector<std::string>& lines,
                                                const WorkingMemory::Texts& names)
{
    std::vector<std::string> rows;
    rows.reserve(lines.size());
    for (const std::string& line : lines) {
        const double number = rowPosition(line);
        const double p = roundHalfEven(number);
        // Rows may name any number a hand-edited file holds; only positions
        // the memory has give a name.
        const bool inMemory = std::isfinite(p) && p >= 0 && p < WorkingMemory::kPositions;
        rows.push_back(songOrderRow(formatNumber(number), inMemory ? names[static_cast<std::size_t>(p)] : ""));
    }
    return rows;
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

void loadProject(const std::string& path, WorkingMemory& memory, ProjectWindowPort& port)
{
    memory.SaveUndoCopy();
    memory.ClearMemory();
    InFile in;
    common::StepRunner step = projectSteps(port, loadFailureText);
    common::runCommand([&] {
        port.setLog("READING file...");
        step([&] { in.open(path); });
        std::string header;
        step([&] { header = in.readLine(); });
        if (header != kHeader) {
            port.showMessage(std::string(kHeaderMessage));
            return;
        }
        for (int p = 0; p < kSavedPositions; ++p)
            loadBlock(p, memory, in, step, port);
        loadSongOrder(memory, in, port);
    }); // a stop keeps what was read so far
    in.close();
}

} // namespace ostrak
