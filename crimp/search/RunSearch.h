#pragma once
// The two repeated-run searches over the line tables and their report texts.
#include "LineTables.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace crimp {

inline constexpr std::string_view kFoundPrefix = "Found  @ ";
inline constexpr std::string_view kRepeatPrefix = "Repeat @ ";
inline constexpr std::string_view kErrorMark = "ERROR!  ";

// ---- Manual search: every place where the nine search keys occur.

struct ManualScan {
    std::string entries;          // the report lines between "Working..." and the close
    int firstPosition = -1;       // position of the first occurrence, -1 when none
    int repeats = 0;              // occurrences after the first
};

// Scans positions 1 to lastSearchPosition() for tables.searchKeys[0..8], marks
// every repeat (its name line and nine run lines) in optMarks and stores the
// name lines in matchLines. A repeat past the last matchLines entry is still
// reported, marked and counted, and its entry is followed by "ERROR!  ".
ManualScan scanForSearchRun(LineTables& tables);

// The whole text the manual search shows after "Working..." and its notes.
std::string manualClosing();

// ---- Auto search: every pair of positions i < j with equal nine-key runs.

struct RunPair {
    std::int32_t first;
    std::int32_t later;
    bool operator==(const RunPair&) const = default;
};

struct PairList {
    std::vector<RunPair> pairs;  // in i then j order, at most the cap
    std::uint64_t total = 0;     // all pairs, listed or not
};

// Pairs listed in a report before it is cut short; far past what any real
// song gives, low enough that the window stays responsive.
inline constexpr std::size_t kPairCap = 1'000'000;

// keys is a whole key table; positions 1 to lastPosition are tried and every
// window reads keys[p] to keys[p+8], so lastPosition + 8 must be an index of keys.
// The plain pairwise comparison, quadratic in the number of lines.
PairList pairsByComparison(std::span<const std::string> keys, int lastPosition,
                           std::size_t cap = kPairCap);
// The same pairs in the same order, from groups of equal windows.
PairList pairsByGrouping(std::span<const std::string> keys, int lastPosition,
                         std::size_t cap = kPairCap);

// The report: "Working...", the notes, one entry per listed pair ("Found  @ "
// for the very first, "Repeat @ " after), each with the key of the line before
// the later run, and a closing count line when pairs were left out.
std::string autoReport(const PairList& list, std::span<const std::string> keys,
                       const std::vector<std::string>& notes = {});

inline constexpr std::string_view kWorking = "Working...\r\n";

} // namespace crimp
