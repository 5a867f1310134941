#include "RunSearch.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <unordered_map>

namespace crimp {

namespace {

void appendNumber(std::string& out, std::uint64_t n)
{
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
    (void)ec;
    out.append(digits, end);
}

bool windowMatches(std::span<const std::string> keys, int p,
                   std::span<const std::string> wanted)
{
    for (int k = 0; k < kRunLength; ++k)
        if (keys[p + k] != wanted[k])
            return false;
    return true;
}

} // namespace

ManualScan scanForSearchRun(LineTables& t)
{
    ManualScan scan;
    std::span<const std::string> wanted(t.searchKeys.data(), kRunLength);
    const int last = t.lastSearchPosition();
    for (int i = 1; i <= last; ++i) {
        if (!windowMatches(t.lineKeys, i, wanted))
            continue;
        const bool first = scan.firstPosition < 0;
        scan.entries += first ? kFoundPrefix : kRepeatPrefix;
        appendNumber(scan.entries, static_cast<std::uint64_t>(i));
        scan.entries += "\r\n";
        if (first) {
            scan.firstPosition = i;
        } else {
            for (int k = i - 1; k <= i + kRunLength - 1; ++k)
                t.optMarks[k] = kCommentOut;
            ++scan.repeats;
        }
        scan.entries += t.fileLines[i - 1];
        scan.entries += "\r\n\r\n";
        if (scan.repeats < kMatchLineCount)
            t.matchLines[scan.repeats] = t.fileLines[i - 1];
        else
            scan.entries += kErrorMark; // no room to remember this name line
    }
    return scan;
}

std::string manualClosing()
{
    return "\r\nSearch complete!\r\n";
}

PairList pairsByComparison(std::span<const std::string> keys, int lastPosition, std::size_t cap)
{
    PairList list;
    for (int i = 1; i <= lastPosition; ++i) {
        for (int j = i + 1; j <= lastPosition; ++j) {
            if (keys[j] != keys[i])
                continue;
            bool equal = true;
            for (int k = 0; k < kRunLength && equal; ++k)
                equal = keys[i + k] == keys[j + k];
            if (!equal)
                continue;
            ++list.total;
            if (list.pairs.size() < cap)
                list.pairs.push_back({i, j});
        }
    }
    return list;
}

PairList pairsByGrouping(std::span<const std::string> keys, int lastPosition, std::size_t cap)
{
    PairList list;
    if (lastPosition < 2)
        return list;
    const int lastIndex = lastPosition + kRunLength - 1;

    // Give each distinct key a small number, so windows compare as numbers.
    std::vector<std::uint32_t> ids(static_cast<std::size_t>(lastIndex) + 1, 0);
    {
        std::unordered_map<std::string_view, std::uint32_t> numbers;
        numbers.reserve(1024);
        for (int p = 1; p <= lastIndex; ++p) {
            auto [it, added] = numbers.try_emplace(keys[p], static_cast<std::uint32_t>(numbers.size()));
            ids[p] = it->second;
        }
    }

    // Hash each window; sorting by (hash, position) brings equal windows
    // together in ascending position order.
    struct Window {
        std::uint64_t hash;
        std::int32_t position;
    };
    std::vector<Window> windows;
    windows.reserve(static_cast<std::size_t>(lastPosition));
    for (int p = 1; p <= lastPosition; ++p) {
        std::uint64_t h = 0x9E3779B97F4A7C15ull;
        for (int k = 0; k < kRunLength; ++k)
            h = (h ^ ids[p + k]) * 0xFF51AFD7ED558CCDull + 0x632BE59BD9B4E5BBull;
        windows.push_back({h ^ (h >> 29), p});
    }
    std::sort(windows.begin(), windows.end(), [](const Window& a, const Window& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.position < b.position;
    });

    auto sameWindow = [&](int a, int b) {
        return std::equal(ids.begin() + a, ids.begin() + a + kRunLength, ids.begin() + b);
    };

    // Groups of truly equal windows, each in ascending position order, laid end
    // to end in `members`; groupOf/rankOf say where each position sits.
    std::vector<std::int32_t> members;
    std::vector<std::int32_t> groupStart; // start of each group in members, plus an end mark
    std::vector<std::int32_t> groupOf(static_cast<std::size_t>(lastPosition) + 1, -1);
    std::vector<std::int32_t> rankOf(static_cast<std::size_t>(lastPosition) + 1, 0);
    members.reserve(windows.size());
    std::vector<std::int32_t> pending; // a hash run still to split on collisions
    for (std::size_t a = 0; a < windows.size();) {
        std::size_t b = a + 1;
        while (b < windows.size() && windows[b].hash == windows[a].hash)
            ++b;
        if (b - a > 1) {
            pending.clear();
            for (std::size_t x = a; x < b; ++x)
                pending.push_back(windows[x].position);
            // Nearly always one group; a hash collision splits it further.
            while (!pending.empty()) {
                const int head = pending.front();
                const auto group = static_cast<std::int32_t>(groupStart.size());
                groupStart.push_back(static_cast<std::int32_t>(members.size()));
                std::size_t keep = 0;
                for (int p : pending) {
                    if (sameWindow(head, p)) {
                        groupOf[p] = group;
                        rankOf[p] = static_cast<std::int32_t>(members.size()) - groupStart.back();
                        members.push_back(p);
                    } else {
                        pending[keep++] = p;
                    }
                }
                pending.resize(keep);
            }
        }
        a = b;
    }
    groupStart.push_back(static_cast<std::int32_t>(members.size()));

    for (std::size_t g = 0; g + 1 < groupStart.size(); ++g) {
        const std::uint64_t m = static_cast<std::uint64_t>(groupStart[g + 1] - groupStart[g]);
        list.total += m * (m - 1) / 2;
    }
    list.pairs.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(list.total, cap)));
    for (int i = 1; i <= lastPosition && list.pairs.size() < cap; ++i) {
        const int group = groupOf[i];
        if (group < 0)
            continue;
        const int end = groupStart[group + 1];
        for (int x = groupStart[group] + rankOf[i] + 1; x < end && list.pairs.size() < cap; ++x)
            list.pairs.push_back({i, members[x]});
    }
    return list;
}

std::string autoReport(const PairList& list, std::span<const std::string> keys,
                       const std::vector<std::string>& notes)
{
    std::string out;
    std::size_t estimate = kWorking.size() + 64;
    for (const RunPair& pair : list.pairs)
        estimate += kRepeatPrefix.size() + 10 + keys[pair.later - 1].size() + 4;
    out.reserve(estimate);
    out += kWorking;
    for (const std::string& note : notes) {
        out += note;
        out += "\r\n";
    }
    bool first = true;
    for (const RunPair& pair : list.pairs) {
        out += first ? kFoundPrefix : kRepeatPrefix;
        first = false;
        appendNumber(out, static_cast<std::uint64_t>(pair.later));
        out += "\r\n";
        out += keys[pair.later - 1];
        out += "\r\n\r\n";
    }
    if (list.total > list.pairs.size()) {
        out += "Listed ";
        appendNumber(out, list.pairs.size());
        out += " of ";
        appendNumber(out, list.total);
        out += " repeated pairs in all; the rest were not listed.\r\n";
    }
    return out;
}

} // namespace crimp
