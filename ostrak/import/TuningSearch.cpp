#include "TuningSearch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>

namespace ostrak {

namespace {

constexpr int kStep = 10;           // cents between the shifts tried: every target falls on this grid
constexpr int kShifts = 1200 / kStep;
constexpr int kOctaves = 8;         // an instrument moves by at most this many octaves
constexpr int kKept = 12;           // candidates per instrument taken into the joint choice
constexpr int kJointShifts = 6;     // shifts whose joint choice is worked out
constexpr int kLowestNote = 1, kHighestNote = 120;

// What an interval off by err cents costs: up to a semitone as it is, and
// a wrong octave (or worse) much more, since it breaks the tune.
double stepCost(double err) { return err < 600 ? std::min(err, 100.0) : 300.0; }

// What one note costs where it lands: a move by octaves breaks its
// intervals; a tone too low to be heard, or shrill, is no good either. How
// far the tone is from the tuned note weighs little: the intervals matter,
// and a note struck a hundred times would otherwise pull the whole tuning.
double noteCost(const ToneSet::Placed& p, double hz)
{
    return (p.octavesMoved ? 150.0 : 0.0) + 0.03 * std::min(std::abs(p.cents), 100.0) + (hz < 30 ? 200.0 : 0.0)
           + (hz > 5000 ? 50.0 : 0.0);
}

// Every target of one type set on the grid: how far its tone is (moves
// included) and what the note costs.
struct Grid {
    int origin = 0; // cents of entry 0
    std::vector<float> deviation, cost;
    int at(int cents) const { return (cents - origin) / kStep; }
};

Grid gridOf(const ToneSet& tones)
{
    Grid g;
    g.origin = 100 * kLowestNote - 1200 * kOctaves;
    const int last = 100 * kHighestNote + 1200 + 1200 * kOctaves;
    for (int cents = g.origin; cents <= last; cents += kStep) {
        const ToneSet::Placed p = tones.place(cents);
        g.deviation.push_back(float(tones.tone(p.tone).cents - cents));
        g.cost.push_back(float(noteCost(p, tones.tone(p.tone).hz)));
    }
    return g;
}

struct Candidate {
    int set = 0;
    int octave = 0;
};

// One instrument in the search: its notes, the steps between them, and the
// steps to other instruments.
struct Part {
    std::vector<int> notes, counts;           // distinct notes and how often each plays
    std::vector<std::array<int, 3>> inner;    // note index, note index, count
    struct Cross {
        int note, other, otherNote, count;
    };
    std::vector<Cross> cross;
    std::vector<Candidate> candidates;
    int total = 0;
    int index(int note) const { return int(std::find(notes.begin(), notes.end(), note) - notes.begin()); }
};

class Search {
public:
    Search(const std::vector<InstrumentUse>& uses, const std::vector<NoteStep>& steps,
           const std::vector<std::vector<std::vector<int>>>& choices, const std::vector<int>& slotTypes)
    {
        std::map<int, int> partOf; // instrument number -> part
        for (std::size_t i = 0; i < uses.size(); ++i) {
            const auto& sets = choices[i];
            if (sets.empty() || ToneSet(sets.front(), slotTypes).empty())
                continue; // not by pitch
            Part part;
            for (int n = kLowestNote; n <= kHighestNote; ++n)
                if (uses[i].noteCounts[std::size_t(n)]) {
                    part.notes.push_back(n);
                    part.counts.push_back(uses[i].noteCounts[std::size_t(n)]);
                    part.total += part.counts.back();
                }
            if (part.notes.empty())
                continue;
            const int middle = part.notes[part.notes.size() / 2];
            for (const std::vector<int>& set : sets) {
                const int k = setIndex(set, slotTypes);
                const ToneSet& tones = tones_[std::size_t(k)];
                const double low = tones.tone(0).cents - 1800, high = tones.tone(tones.size() - 1).cents + 600;
                for (int o = -kOctaves; o <= kOctaves; ++o) {
                    const double at = 100.0 * middle + 1200.0 * o;
                    if (at + 1200 >= low && at <= high)
                        part.candidates.push_back({k, o});
                }
            }
            partOf[uses[i].number] = int(parts_.size());
            instrumentOfPart_.push_back(int(i));
            parts_.push_back(std::move(part));
        }
        for (const NoteStep& s : steps) {
            const auto a = partOf.find(s.fromInstrument), b = partOf.find(s.toInstrument);
            if (a == partOf.end() || b == partOf.end())
                continue;
            Part& pa = parts_[std::size_t(a->second)];
            Part& pb = parts_[std::size_t(b->second)];
            const int x = pa.index(s.fromNote), y = pb.index(s.toNote);
            if (a->second == b->second) {
                pa.inner.push_back({x, y, s.count});
            } else {
                pa.cross.push_back({x, b->second, y, s.count});
                pb.cross.push_back({y, a->second, x, s.count});
            }
        }
    }

    Tuning run(const std::vector<InstrumentUse>& uses, const std::vector<std::vector<std::vector<int>>>& choices)
    {
        Tuning t;
        for (std::size_t i = 0; i < uses.size(); ++i)
            t.voicings.push_back({choices[i].empty() ? std::vector<int>{kSilenceType} : choices[i].front(), 0});
        if (parts_.empty())
            return t;

        // Each instrument on its own at every shift; the best shifts then
        // again with the steps between instruments.
        std::vector<std::pair<double, int>> byShift;
        std::vector<std::vector<std::vector<int>>> kept(kShifts);
        for (int k = 0; k < kShifts; ++k) {
            double total = 0;
            for (const Part& part : parts_) {
                std::vector<std::pair<double, int>> costs;
                for (std::size_t c = 0; c < part.candidates.size(); ++c)
                    costs.push_back({ownCost(part, part.candidates[c], k * kStep), int(c)});
                const std::size_t n = std::min<std::size_t>(kKept, costs.size());
                std::partial_sort(costs.begin(), costs.begin() + std::ptrdiff_t(n), costs.end());
                std::vector<int> best;
                for (std::size_t c = 0; c < n; ++c)
                    best.push_back(costs[c].second);
                kept[std::size_t(k)].push_back(best);
                total += costs.front().first;
            }
            byShift.push_back({total, k});
        }
        std::sort(byShift.begin(), byShift.end());
        double bestCost = std::numeric_limits<double>::infinity();
        int bestShift = 0;
        std::vector<int> bestChoice;
        for (int j = 0; j < kJointShifts && j < kShifts; ++j) {
            const int k = byShift[std::size_t(j)].second;
            std::vector<int> choice;
            const double cost = joint(kept[std::size_t(k)], k * kStep, choice);
            if (cost < bestCost - 1e-9) {
                bestCost = cost;
                bestShift = k * kStep;
                bestChoice = choice;
            }
        }

        // The instrument that plays most stays in its octave; the shift is
        // the transpose and the tuning on top of it.
        std::size_t main = 0;
        for (std::size_t p = 0; p < parts_.size(); ++p)
            if (parts_[p].total > parts_[main].total)
                main = p;
        const int mainOctave = parts_[main].candidates[std::size_t(bestChoice[main])].octave;
        const int shift = bestShift + 1200 * mainOctave;
        t.cost = bestCost;
        t.transpose = int(std::lround(shift / 100.0));
        t.cents = shift - 100.0 * t.transpose;
        for (std::size_t p = 0; p < parts_.size(); ++p) {
            const Candidate& c = parts_[p].candidates[std::size_t(bestChoice[p])];
            t.voicings[std::size_t(instrumentOfPart_[p])] = {sets_[std::size_t(c.set)], c.octave - mainOctave};
        }
        return t;
    }

private:
    int setIndex(const std::vector<int>& set, const std::vector<int>& slotTypes)
    {
        const auto at = std::find(sets_.begin(), sets_.end(), set);
        if (at != sets_.end())
            return int(at - sets_.begin());
        sets_.push_back(set);
        tones_.emplace_back(set, slotTypes);
        grids_.push_back(gridOf(tones_.back()));
        return int(sets_.size()) - 1;
    }
    // Where note index x of a part lands under candidate c at shift s.
    int gridIndex(const Part& part, int x, const Candidate& c, int shift) const
    {
        return grids_[std::size_t(c.set)].at(100 * part.notes[std::size_t(x)] + shift + 1200 * c.octave);
    }
    // The tone less the note at the common shift: moves and the instrument's octave included.
    double deviation(const Part& part, int x, const Candidate& c, int shift) const
    {
        return grids_[std::size_t(c.set)].deviation[std::size_t(gridIndex(part, x, c, shift))] + 1200.0 * c.octave;
    }

    // The notes and the steps within the instrument, and a little for each
    // octave the notes move from where the module has them.
    double ownCost(const Part& part, const Candidate& c, int shift) const
    {
        const Grid& g = grids_[std::size_t(c.set)];
        double cost = 3.0 * part.total * std::abs(shift + 1200 * c.octave) / 1200.0;
        const int from = gridIndex(part, 0, c, shift) - (part.notes.front() * 100) / kStep; // the grid at note 0
        std::vector<float>& d = deviations_;
        d.resize(part.notes.size());
        for (std::size_t x = 0; x < part.notes.size(); ++x) {
            const std::size_t at = std::size_t(from + part.notes[x] * (100 / kStep));
            d[x] = g.deviation[at];
            cost += part.counts[x] * g.cost[at];
        }
        for (const auto& [x, y, count] : part.inner)
            cost += count * stepCost(std::abs(d[std::size_t(y)] - d[std::size_t(x)]));
        return cost;
    }

    // Each instrument picks among its kept candidates the one that fits the
    // others best, twice round.
    double joint(const std::vector<std::vector<int>>& kept, int shift, std::vector<int>& choice) const
    {
        for (std::size_t p = 0; p < parts_.size(); ++p)
            choice.push_back(kept[p].front());
        auto crossCost = [&](std::size_t p, int candidate) {
            const Part& part = parts_[p];
            double cost = 0;
            for (const Part::Cross& s : part.cross) {
                const Part& other = parts_[std::size_t(s.other)];
                const Candidate& oc = other.candidates[std::size_t(choice[std::size_t(s.other)])];
                cost += s.count
                        * stepCost(std::abs(deviation(part, s.note, part.candidates[std::size_t(candidate)], shift)
                                            - deviation(other, s.otherNote, oc, shift)));
            }
            return cost;
        };
        for (int round = 0; round < 2; ++round)
            for (std::size_t p = 0; p < parts_.size(); ++p) {
                double best = std::numeric_limits<double>::infinity();
                for (int c : kept[p]) {
                    const double cost = ownCost(parts_[p], parts_[p].candidates[std::size_t(c)], shift) + crossCost(p, c);
                    if (cost < best - 1e-9) {
                        best = cost;
                        choice[p] = c;
                    }
                }
            }
        double total = 0;
        for (std::size_t p = 0; p < parts_.size(); ++p)
            total += ownCost(parts_[p], parts_[p].candidates[std::size_t(choice[p])], shift)
                     + crossCost(p, choice[p]) / 2; // each step between two instruments is in both
        return total;
    }

    std::vector<Part> parts_;
    std::vector<int> instrumentOfPart_;
    std::vector<std::vector<int>> sets_;
    std::vector<ToneSet> tones_;
    std::vector<Grid> grids_;
    mutable std::vector<float> deviations_; // ownCost's, kept to spare allocations
};

} // namespace

Tuning searchTuning(const std::vector<InstrumentUse>& uses, const std::vector<NoteStep>& steps,
                    const std::vector<std::vector<std::vector<int>>>& choices, const std::vector<int>& slotTypes)
{
    return Search(uses, steps, choices, slotTypes).run(uses, choices);
}

} // namespace ostrak
