// Loading a project file: the blocks of the working memory, then the song order lists.
#include "ProjectFile.h"
#include "ProjectSteps.h"

#include "common/TextFile.h"
#include "SongOrder.h"

#include <cmath>
#include <filesystem>
#include <optional>

namespace ostrak {

using namespace project;

namespace {

constexpr std::string_view kCrLf = common::kCrLf;

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

std::string loadFailureText(int code)
{
    if (code == common::kFileAlreadyOpen)
        return common::genericFailureText(code);
    return saveFailureText(code);
}

std::vector<std::string> songOrderRowsFromLines(const std::vector<std::string>& lines,
                                                const WorkingMemory::Texts& names)
{
    std::vector<std::string> rows;
    rows.reserve(lines.size());
    for (const std::string& line : lines) {
        const double number = rowPosition(line);
        const double p = common::roundHalfEven(number);
        // Rows may name any number a hand-edited file holds; only positions
        // the memory has give a name.
        const bool inMemory = std::isfinite(p) && p >= 0 && p < WorkingMemory::kPositions;
        rows.push_back(songOrderRow(common::formatNumber(number), inMemory ? names[static_cast<std::size_t>(p)] : ""));
    }
    return rows;
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
