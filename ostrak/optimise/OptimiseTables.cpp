#include "OptimiseTables.h"

#include "common/Failure.h"

#include <cstddef>
#include <tuple>

namespace ostrak {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kEndMarker = "eof";

std::size_t patternIndex(int pattern, int channel, int row)
{
    if (pattern < 0 || pattern >= OptimiseTables::kPatterns || channel < 0 ||
        channel >= OptimiseTables::kChannels || row < 0 || row >= OptimiseTables::kRows)
        throw common::Failure(common::kSubscriptOutOfRange, "optimiser pattern index out of range");
    return (static_cast<std::size_t>(pattern) * OptimiseTables::kChannels +
            static_cast<std::size_t>(channel)) * OptimiseTables::kRows +
           static_cast<std::size_t>(row);
}

// Mid$-style: up to four characters from 1-based position start.
bool channelTagAt(std::string_view line, std::size_t start, std::string_view tag)
{
    return line.size() >= start - 1 + tag.size() && line.substr(start - 1, tag.size()) == tag;
}

bool anyTag(std::string_view line, std::string_view tag)
{
    return channelTagAt(line, 5, tag) || channelTagAt(line, 6, tag) || channelTagAt(line, 7, tag);
}

std::int32_t& countOf(OptimiseTables& t, int channel)
{
    return channel == 1 ? t.OptCountCH1 : t.OptCountCH2;
}

// The mark for pattern n of a channel: a short red line, channel 1 at the
// left edge and channel 2 further right, one step down per pattern.
OptMark patternLine(int channel, std::int32_t n)
{
    const int y = 20 + 2 * n;
    return channel == 1 ? OptMark{OptMark::Kind::Line, 0, y, 30, y, kOptLineColour}
                        : OptMark{OptMark::Kind::Line, 220, y, 250, y, kOptLineColour};
}

} // namespace

OptimiseTables::OptimiseTables()
    : OptChain(kPatterns), patterns_(static_cast<std::size_t>(kPatterns) * kChannels * kRows)
{
}

std::string& OptimiseTables::OptPattern(int pattern, int channel, int row)
{
    return patterns_[patternIndex(pattern, channel, row)];
}

const std::string& OptimiseTables::OptPattern(int pattern, int channel, int row) const
{
    return patterns_[patternIndex(pattern, channel, row)];
}

bool OptMark::operator<(const OptMark& o) const
{
    const auto key = [](const OptMark& m) {
        return std::tuple(static_cast<int>(m.kind), m.x1, m.y1, m.x2, m.y2, m.colour);
    };
    return key(*this) < key(o);
}

int channelOfNameLine(std::string_view line)
{
    // Channel 2 is tested last, so it decides when both tags appear.
    int channel = 0;
    if (anyTag(line, "_C1_"))
        channel = 1;
    if (anyTag(line, "_C2_"))
        channel = 2;
    return channel;
}

bool isNameLine(std::string_view line)
{
    return line.substr(0, 3) == "Pos";
}

std::string rowBits(std::string_view line)
{
    if (line.size() < 8)
        return {};
    return std::string(line.substr(7, 8));
}

OptReadResult readOptimiseInput(const LineSource& next, OptimiseTables& tables)
{
    OptReadResult result;
    tables.OptCountCH1 = 0;
    tables.OptCountCH2 = 0;

    std::string line;
    while (next(line)) {
        if (line == kEndMarker) {
            result.end = OptReadEnd::EofLine;
            return result;
        }
        if (!isNameLine(line))
            continue;

        const int channel = channelOfNameLine(line);
        if (channel != 0) {
            std::int32_t& count = countOf(tables, channel);
            if (count >= OptimiseTables::kLastPattern) {
                result.end = OptReadEnd::TableFull;
                result.fullChannel = channel;
                return result;
            }
            ++count;
        }

        std::string& log = result.log;
        log.append(kCrLf).append(line).append(kCrLf);
        log.append("CH").append(std::to_string(channel)).append("  ");
        log.append(std::to_string(tables.OptCountCH1)).append("|");
        log.append(std::to_string(tables.OptCountCH2)).append(kCrLf);

        const std::int32_t n = channel == 0 ? 0 : countOf(tables, channel);
        bool cutShort = false;
        int rowsRead = 0;
        for (int k = 1; k <= OptimiseTables::kBlockRows; ++k) {
            std::string row;
            if (!cutShort && !next(row))
                cutShort = true;
            // A block cut short by the end of the file gets empty rows rather
            // than keeping rows of whatever pattern had this number before.
            if (cutShort) {
                if (channel != 0)
                    tables.OptPattern(n, channel, k).clear();
                continue;
            }
            ++rowsRead;
            std::string bits = rowBits(row);
            log.append(bits).append(kCrLf);
            if (channel != 0)
                tables.OptPattern(n, channel, k) = std::move(bits);
        }
        if (channel != 0 && rowsRead > 0)
            result.marks.push_back(patternLine(channel, n));
        if (cutShort) {
            result.end = OptReadEnd::EndOfFile;
            return result;
        }
    }
    result.end = OptReadEnd::EndOfFile;
    return result;
}

OptJoinResult joinChannel1Patterns(OptimiseTables& tables)
{
    OptJoinResult result;
    for (int i = 1; i <= OptimiseTables::kJoinedPatterns; ++i) {
        if (tables.OptPattern(i, 1, 1).empty())
            continue;
        result.marks.push_back({OptMark::Kind::Box, 260, 20 + 2 * i, 290, 21 + 2 * i, kOptBoxColour});
        std::string joined;
        for (int k = 1; k <= OptimiseTables::kBlockRows; ++k)
            joined += tables.OptPattern(i, 1, k);
        tables.OptChain[static_cast<std::size_t>(i)] = std::move(joined);
    }
    for (const std::string& chain : tables.OptChain)
        result.listing.append(chain).append(kCrLf).append(kCrLf);
    return result;
}

} // namespace ostrak
