#include "ChannelNotes.h"

#include "ModuleClipboard.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace ostrak {

int InstrumentUse::notes() const
{
    int total = 0;
    for (int c : noteCounts)
        total += c;
    return total;
}

int InstrumentUse::distinctNotes() const
{
    return int(std::count_if(noteCounts.begin(), noteCounts.end(), [](int c) { return c > 0; }));
}

std::string moduleNoteName(int note)
{
    static const char* names[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    return names[(note - 1) % 12] + std::to_string((note - 1) / 12);
}

std::string InstrumentUse::notesText() const
{
    int low = 0, high = 0;
    for (int n = 1; n <= kModuleLastNote; ++n)
        if (noteCounts[std::size_t(n)] > 0) {
            low = low ? low : n;
            high = n;
        }
    return std::to_string(notes()) + (low ? " (" + moduleNoteName(low) + ".." + moduleNoteName(high) + ")" : "");
}

ChannelNotes channelNotes(const TrackerModule& module, const std::vector<int>& patterns,
                          const std::vector<int>& channels, const std::set<int>& drums)
{
    std::map<int, InstrumentUse> uses;
    std::map<std::array<int, 4>, int> steps;
    for (int channel : channels) {
        if (channel < 0 || channel >= module.channels())
            continue;
        int current = 0;
        for (int pattern : patterns) {
            std::array<int, 2> last{0, 0}; // instrument and note; steps are not counted across patterns
            for (int row = 0; row < module.rows(pattern); ++row) {
                const TrackerModule::RawCell cell = module.rawCell(pattern, row, channel);
                if (cell.instrument > 0) {
                    current = cell.instrument;
                    uses[cell.instrument].number = cell.instrument;
                }
                if (cell.note < 1 || cell.note > kModuleLastNote || current <= 0)
                    continue;
                ++uses[current].noteCounts[std::size_t(cell.note)];
                if (drums.count(current))
                    continue;
                if (last[0] > 0)
                    ++steps[{last[0], last[1], current, cell.note}];
                last = {current, cell.note};
            }
        }
    }
    ChannelNotes result;
    for (auto& [number, use] : uses) {
        use.name = module.instrumentName(number);
        result.uses.push_back(use);
    }
    for (const auto& [s, count] : steps)
        result.steps.push_back({s[0], s[1], s[2], s[3], count});
    return result;
}

bool drumName(const std::string& name)
{
    static const char* starts[] = {"drum", "kick", "snare", "hihat", "cymbal", "perc", "clap", "crash", "noise", "tom"};
    static const char* inside[] = {"drum", "snare", "hihat"};
    static const char* words[] = {"bd", "sd", "hh", "hat", "hats", "ride", "toms"};
    std::string word;
    auto check = [&] {
        for (const char* s : starts)
            if (word.rfind(s, 0) == 0)
                return true;
        for (const char* s : inside)
            if (word.find(s) != std::string::npos)
                return true;
        return std::any_of(std::begin(words), std::end(words), [&](const char* w) { return word == w; });
    };
    for (char c : name + " ") {
        if (std::isalpha(static_cast<unsigned char>(c))) {
            word += char(std::tolower(static_cast<unsigned char>(c)));
            continue;
        }
        if (!word.empty() && check())
            return true;
        word.clear();
    }
    return false;
}

bool drumLike(const InstrumentUse& use)
{
    constexpr int kStruckOften = 4;
    return drumName(use.name) || (use.notes() >= kStruckOften && use.distinctNotes() <= 2);
}

std::string ChannelSummary::text() const
{
    std::string t = std::to_string(channel + 1) + ": ";
    if (notes == 0)
        return t + "no notes";
    t += std::to_string(notes) + (notes == 1 ? " note" : " notes");
    if (tonalNotes == 0)
        t += ", drums";
    else if (tonalNotes < notes)
        t += " (" + std::to_string(notes - tonalNotes) + " drums)";
    if (tonalNotes > 0)
        t += ", " + moduleNoteName(low) + ".." + moduleNoteName(high);
    if (mainInstrument > 0)
        t += ", mostly " + std::to_string(mainInstrument) + (mainName.empty() ? "" : " " + mainName);
    return t;
}

ModuleNotes summariseChannels(const TrackerModule& module, const std::vector<int>& patterns)
{
    ModuleNotes result;
    std::vector<std::vector<InstrumentUse>> byChannel;
    std::map<int, InstrumentUse> all;
    for (int c = 0; c < module.channels(); ++c) {
        byChannel.push_back(channelNotes(module, patterns, {c}, {}).uses);
        for (const InstrumentUse& use : byChannel.back()) {
            InstrumentUse& sum = all[use.number];
            sum.number = use.number;
            sum.name = use.name;
            for (std::size_t n = 0; n < use.noteCounts.size(); ++n)
                sum.noteCounts[n] += use.noteCounts[n];
        }
    }
    for (const auto& [number, use] : all) {
        result.instruments.push_back(use);
        if (drumLike(use))
            result.drums.insert(number);
    }

    for (int c = 0; c < module.channels(); ++c) {
        ChannelSummary s;
        s.channel = c;
        double sum = 0;
        int mostNotes = 0;
        for (const InstrumentUse& use : byChannel[std::size_t(c)]) {
            const int notes = use.notes();
            s.notes += notes;
            if (notes > mostNotes) {
                mostNotes = notes;
                s.mainInstrument = use.number;
                // Trackers pad names with spaces.
                s.mainName = use.name.substr(0, use.name.find_last_not_of(' ') + 1);
            }
            if (result.drums.count(use.number))
                continue;
            for (int n = 1; n <= kModuleLastNote; ++n) {
                const int count = use.noteCounts[std::size_t(n)];
                if (!count)
                    continue;
                s.tonalNotes += count;
                sum += double(n) * count;
                s.low = s.low ? std::min(s.low, n) : n;
                s.high = std::max(s.high, n);
            }
        }
        s.meanNote = s.tonalNotes ? sum / s.tonalNotes : 0;
        result.channels.push_back(s);
    }
    return result;
}

std::pair<int, int> defaultChannels(const std::vector<ChannelSummary>& channels)
{
    if (channels.empty())
        return {-1, -1};
    if (channels.size() == 1)
        return {0, -1};
    std::vector<const ChannelSummary*> ranked;
    for (const ChannelSummary& c : channels)
        ranked.push_back(&c);
    // Most tonal notes first, then most notes; the first channel on a tie.
    std::stable_sort(ranked.begin(), ranked.end(), [](const ChannelSummary* a, const ChannelSummary* b) {
        return a->tonalNotes != b->tonalNotes ? a->tonalNotes > b->tonalNotes : a->notes > b->notes;
    });
    const ChannelSummary* one = ranked[0];
    const ChannelSummary* two = ranked[1];
    if (two->tonalNotes > 0 && two->meanNote > one->meanNote)
        std::swap(one, two);
    return {one->channel, two->channel};
}

} // namespace ostrak
