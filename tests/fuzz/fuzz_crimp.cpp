// crimp's song.h reader and searches: the shipped auto search gives exactly
// the pairs of the plain pairwise comparison (also when the list is capped),
// and the manual search and songopt.h take whatever was read.
#include "FuzzSupport.h"
#include "search/LineTables.h"
#include "search/OptOutput.h"
#include "search/RunSearch.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace crimp;
    if (size < 2)
        return 0;
    static LineTables tables; // as the window's, reused from read to read
    const std::size_t cap = data[1] == 0 ? kPairCap : data[1];
    const std::string text = fuzz::text(data + 2, size - 2);
    tables.clearForSearch();
    if (data[0] & 1) {
        tables.loadLines(text);
    } else {
        // Each byte one line from a small set, so that runs repeat often.
        std::string lines;
        for (char c : text)
            lines += std::string("\tbyte ") + static_cast<char>('0' + (static_cast<unsigned char>(c) % 3)) + "\r\n";
        tables.loadLines(lines);
    }
    FUZZ_CHECK(tables.storedLines() <= kTableSize);

    const int last = tables.lastSearchPosition();
    const PairList plain = pairsByComparison(tables.lineKeys, last, cap);
    const PairList grouped = pairsByGrouping(tables.lineKeys, last, cap);
    FUZZ_CHECK(grouped.total == plain.total);
    FUZZ_CHECK(grouped.pairs == plain.pairs);
    FUZZ_CHECK(grouped.pairs.size() == std::min<std::uint64_t>(grouped.total, cap));
    autoReport(grouped, tables.lineKeys);

    for (int k = 0; k < kRunLength; ++k)
        tables.searchKeys[static_cast<std::size_t>(k)] = tables.lineKeys[static_cast<std::size_t>(k + 1)];
    const ManualScan scan = scanForSearchRun(tables);
    FUZZ_CHECK(scan.repeats >= 0);
    optimisedText(tables, "00:00:00");
    return 0;
}
