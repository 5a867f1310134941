#include "PasteConverter.h"

#include "common/Numbers.h"

#include <algorithm>

namespace ostrak {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kRowsPerChain = 8;

// Characters from 1-based position start, as many as the line still has.
std::string_view field(std::string_view line, std::size_t start, std::size_t length)
{
    if (start > line.size())
        return {};
    return line.substr(start - 1, length);
}

// One channel's cell of a row line: the note at first, the instrument after
// it, the effect parameter at the cell's end.
struct Cell {
    std::string_view note;
    std::string_view instrument;
    std::string_view parameter;
};

Cell cellAt(std::string_view line, std::size_t first)
{
    return {field(line, first + 1, 3), field(line, first + 4, 2), field(line, first + 10, 2)};
}

std::string instrumentText(double instrument)
{
    return instrument == 16 ? std::string("16 - Silence") : common::formatNumber(instrument);
}

struct Channel {
    const std::string& name;
    std::string& pattern;
    CellState state;
};

} // namespace

void PasteLines::reset()
{
    rows_.assign(kRows, "0");
}

void PasteLines::load(std::string_view text)
{
    int row = 0;
    auto put = [&](std::string_view line) {
        rows_[static_cast<std::size_t>(row)].assign(line);
        row = std::min(row + 1, kLastRow);
    };
    std::size_t start = 0;
    for (std::size_t end = text.find('\r'); end != std::string_view::npos; end = text.find('\r', start)) {
        put(text.substr(start, end - start));
        start = end + 1;
        if (start < text.size() && text[start] == '\n')
            ++start;
    }
    if (start < text.size())
        put(text.substr(start));
    rows_[static_cast<std::size_t>(row)] = "EOF";
}

bool hasPasteHeader(const PasteLines& lines)
{
    return lines.row(0) == kPasteHeader;
}

std::string sequenceText(const std::string& name, int chainCount, int lineNumber)
{
    std::string text;
    for (int k = 0; k < chainCount; ++k) {
        if (k % 4 == 0)
            text += "\r\n\tword ";
        text += name + std::to_string(k);
        text += k % 4 == 3 ? " ;" + std::to_string(lineNumber) : std::string(",");
    }
    return text;
}

PasteResult convertPaste(const PasteLines& lines, const PasteNames& names, const NoteTable& notes,
                         const SoundSlots& slots, const std::function<std::string()>& timeText)
{
    PasteResult result;
    Channel channels[2] = {{names.nameA, result.patternA, {}}, {names.nameB, result.patternB, {}}};
    int rowInChain = 0;

    for (int j = 1; j <= kLastPasteLine; ++j) {
        const std::string_view line = lines.row(j);
        if (line.empty())
            continue;
        if (line.front() == '|') {
            const Cell cells[2] = {cellAt(line, 1), cellAt(line, 13)};
            double instruments[2];
            std::string bytes[2];
            for (int c = 0; c < 2; ++c) {
                instruments[c] = common::leadingNumber(cells[c].instrument);
                result.rowLog += "CH" + std::to_string(c + 1) + " Note: ";
                result.rowLog.append(cells[c].note);
                result.rowLog += " Ins: " + common::formatNumber(instruments[c]) + " Vol:";
                result.rowLog.append(cells[c].parameter);
            }
            result.rowLog += kCrLf;
            for (int c = 0; c < 2; ++c)
                bytes[c] = encodeCell(cells[c].note, instruments[c], channels[c].state, notes, slots);
            result.rowLog += "BIN1: " + channels[0].state.bits + channels[0].state.code + "  BIN2: " +
                             channels[1].state.bits + channels[1].state.code + "  [" + timeText() + "]\r\n\r\n";

            if (rowInChain == 0)
                for (Channel& ch : channels)
                    ch.pattern += "\r\n" + ch.name + std::to_string(result.chainsClosed) + "\r\n";
            ++rowInChain;
            for (int c = 0; c < 2; ++c) {
                std::string& out = channels[c].pattern;
                out += '\t' + bytes[c] + "  ;" + std::to_string(j - 1) + "|";
                out.append(cells[c].note);
                out += "|" + instrumentText(instruments[c]) + "\r\n";
            }
            ++result.rowsConverted;
        }
        if (rowInChain == kRowsPerChain) {
            for (Channel& ch : channels)
                ch.pattern += "\tbyte %00000000  ; not imp yet\r\n";
            rowInChain = 0;
            ++result.chainsClosed;
        }
    }

    // A paste without a completed chain still lists chain 0.
    const int listed = std::max(result.chainsClosed, 1);
    result.orderA = sequenceText(names.nameA, listed, 4 * names.position + 1);
    result.orderB = sequenceText(names.nameB, listed, 4 * names.position + 3);
    return result;
}

} // namespace ostrak
