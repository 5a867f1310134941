// Packing repeated chains, and the ROM use before and after.
#include "SongPack.h"

#include "sound/DasmExpression.h"
#include "sound/DasmLine.h"
#include "sound/Sound.h"

#include <map>
#include <optional>
#include <unordered_map>

namespace ostrak {

namespace {

constexpr int kChainLines = 9; // eight rows and the closing line

struct Physical {
    std::string text;
    int failure = 0;
};

std::vector<Physical> physicalLines(const SongLines& lines)
{
    std::vector<Physical> out;
    for (const SongLine& line : lines) {
        if (line.failure != 0) {
            out.push_back({line.text, line.failure});
            continue;
        }
        // A stored pattern field is many lines in one entry.
        std::size_t at = 0;
        for (;;) {
            const std::size_t end = line.text.find("\r\n", at);
            out.push_back({line.text.substr(at, end == std::string::npos ? std::string::npos : end - at)});
            if (end == std::string::npos)
                break;
            at = end + 2;
        }
    }
    return out;
}

// The bytes a data line lays down, when it lays them down without labels;
// nothing for any other line.
std::optional<std::string> dataBytes(const Physical& line, const sound::dasm::SourceLine& source)
{
    if (line.failure != 0)
        return std::nullopt;
    const sound::dasm::Directive directive = sound::dasm::directive(source.mnemonic);
    if (!source.problem.empty() || !source.label.empty() || directive.kind != sound::dasm::Directive::Kind::Data)
        return std::nullopt;
    const auto noLabels = [](std::string_view) { return std::optional<sound::dasm::Value>(); };
    const sound::dasm::Evaluation result = sound::dasm::evaluate(source.operand, 0, noLabels);
    if (!result.error.empty())
        return std::nullopt;
    std::string bytes;
    for (const sound::dasm::Value& item : result.items) {
        if (item.unknown || item.text || (directive.width == 1 && (item.number > 255 || item.number < -255)))
            return std::nullopt;
        for (int i = 0; i < directive.width; ++i) {
            const int shift = 8 * (directive.highFirst ? directive.width - 1 - i : i);
            bytes += static_cast<char>((item.number >> shift) & 0xFF);
        }
    }
    return bytes;
}

// The label of a line that holds only a label (and maybe a comment).
std::optional<std::string> labelOnly(const Physical& line, const sound::dasm::SourceLine& source)
{
    if (line.failure != 0)
        return std::nullopt;
    if (!source.problem.empty() || source.label.empty() || !source.mnemonic.empty())
        return std::nullopt;
    return source.label;
}

} // namespace

SongLines packRepeats(const SongLines& lines)
{
    const std::vector<Physical> in = physicalLines(lines);
    std::vector<std::optional<std::string>> bytes(in.size());
    std::vector<std::optional<std::string>> labels(in.size());
    std::unordered_map<std::string, int> definitions;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const sound::dasm::SourceLine source = sound::dasm::splitLine(in[i].text);
        bytes[i] = dataBytes(in[i], source);
        labels[i] = labelOnly(in[i], source);
        if (in[i].failure == 0 && !source.label.empty())
            ++definitions[source.label];
    }
    SongLines out;
    std::map<std::string, std::string> firstChain; // the chain's bytes -> its label
    for (std::size_t i = 0; i < in.size(); ++i) {
        const std::optional<std::string>& label = labels[i];
        bool whole = label && definitions[*label] == 1;
        std::string key;
        for (int k = 1; whole && k <= kChainLines; ++k) {
            whole = i + k < in.size() && bytes[i + k].has_value();
            if (whole)
                key += *bytes[i + k] + '\n';
        }
        whole = whole && !(i + kChainLines + 1 < in.size() && bytes[i + kChainLines + 1]); // not ten lines
        if (whole) {
            const auto [first, added] = firstChain.try_emplace(key, *label);
            if (!added) {
                out.push_back({*label + " equ " + first->second});
                i += kChainLines;
                continue;
            }
        }
        out.push_back({in[i].text, in[i].failure});
    }
    return out;
}

namespace {
std::string withCommas(std::size_t value)
{
    std::string digits = std::to_string(value);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(std::size_t(at), ",");
    return digits;
}
} // namespace

RomUse romUse(const SongLines& lines)
{
    const sound::ReadResult read = sound::readSongH(songFileText(lines));
    return {read.romBytes, read.romRoom};
}

std::string romUseText(const RomUse& use)
{
    return "ROM: " + withCommas(use.bytes) + " of " + withCommas(use.room) + " bytes";
}

std::string tooLargeText(const RomUse& asWritten, const RomUse& packed, bool packTicked)
{
    if (asWritten.fits())
        return "";
    std::string text = "The song is " + withCommas(asWritten.bytes - asWritten.room) + " bytes too large for the ROM (" +
                       romUseText(asWritten) + ").";
    if (packTicked)
        return text;
    if (packed.fits())
        return text + " Pack repeats would make it fit: " + romUseText(packed) + ".";
    return text + " Pack repeats would not make it fit: " + romUseText(packed) + ".";
}

} // namespace ostrak
