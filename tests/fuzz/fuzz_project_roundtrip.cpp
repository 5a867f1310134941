// Save, load, save: the load gives back every text the save could keep (a
// name's first line; a line equal to the marker that would end its text
// gains one blank), the song order rows keep their numbers, and the second
// save writes the same bytes as the first.
#include "FuzzSupport.h"
#include "common/Numbers.h"
#include "ProjectPort.h"
#include "common/TextFile.h"

#include <cmath>
#include <initializer_list>
#include <limits>

namespace {

using namespace ostrak;

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\r'));
}

// The text with each line equal to one of the end markers given one blank.
std::string kept(const std::string& text, std::initializer_list<std::string_view> ends)
{
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        out += line;
        for (std::string_view marker : ends)
            if (line == marker)
                out += ' ';
        if (end == std::string::npos)
            return out;
        out += "\r\n";
        start = end + 2;
    }
}

std::string readAll(const std::string& path)
{
    return common::readWholeFile(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace project;
    static const std::string first = fuzz::scratchPath("first.osk");
    static const std::string second = fuzz::scratchPath("second.osk");
    constexpr int kUsed[] = {0, 1, 64};
    // Three positions of seven texts, then the rows of each song order list.
    const std::vector<std::string> parts = fuzz::fields(fuzz::text(data, size), '\0', 3 * 7 + 2);
    WorkingMemory memory;
    for (std::size_t k = 0; k < 3; ++k) {
        std::string t[7];
        for (std::size_t i = 0; i < 7; ++i)
            t[i] = common::toCrLf(parts[7 * k + i]); // as a field edited by a user gives it
        memory.put(kUsed[k], {t[0], t[1], t[2], t[3], t[4], t[5], t[6]});
    }
    fuzz::ProjectPort port;
    for (int c = 0; c < 2; ++c)
        port.rows[c] = fuzz::fields(parts[21 + static_cast<std::size_t>(c)], '\n', 4);
    const std::vector<std::string> savedRows[2] = {port.rows[0], port.rows[1]};

    saveProject(first, memory, port);
    WorkingMemory loaded;
    fuzz::ProjectPort loadPort;
    loadProject(first, loaded, loadPort);
    FUZZ_CHECK(loadPort.messages.empty());

    for (int p : kUsed) {
        const PatternTexts was = memory.at(p);
        const PatternTexts now = loaded.at(p);
        if (was.patternA.empty()) { // saved as "empty"
            FUZZ_CHECK(now.nameA.empty() && now.patternA.empty() && now.paste.empty());
            continue;
        }
        FUZZ_CHECK(now.nameA == firstLine(was.nameA));
        FUZZ_CHECK(now.nameB == firstLine(was.nameB));
        FUZZ_CHECK(now.patternA == kept(was.patternA, {kPatternB}));
        FUZZ_CHECK(now.patternB == kept(was.patternB, {kOrderA}));
        FUZZ_CHECK(now.orderA == kept(was.orderA, {kOrderB}));
        FUZZ_CHECK(now.orderB == kept(was.orderB, {kPaste}));
        FUZZ_CHECK(now.paste == kept(was.paste, {kEnd, kEof}));
    }
    for (int c = 0; c < 2; ++c) {
        FUZZ_CHECK(loadPort.rows[c].size() == savedRows[c].size());
        for (std::size_t r = 0; r < savedRows[c].size(); ++r) {
            double number = common::leadingNumber(savedRows[c][r]);
            if (std::isinf(number))
                number = std::copysign(std::numeric_limits<double>::max(), number);
            FUZZ_CHECK(common::leadingNumber(loadPort.rows[c][r]) == number);
        }
    }

    saveProject(second, loaded, loadPort);
    FUZZ_CHECK(loadPort.messages.empty()); // nothing left that cannot be kept
    FUZZ_CHECK(readAll(second) == readAll(first));
    return 0;
}
