// optimise.txt as the song optimiser reads it: any file ends the read inside
// the tables, and joining channel 1 lists at most the joined patterns.
#include "FuzzSupport.h"
#include "common/TextFile.h"
#include "optimise/OptimiseTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace ostrak;
    // Lasts as the window's tables do: a read starts from what the last left.
    static OptimiseTables tables;
    const std::vector<std::string> lines = common::splitLines(fuzz::text(data, size));
    std::size_t next = 0;
    const OptReadResult read = readOptimiseInput(
        [&](std::string& line) {
            if (next >= lines.size())
                return false;
            line = lines[next++];
            return true;
        },
        tables);
    FUZZ_CHECK(tables.OptCountCH1 >= 0 && tables.OptCountCH1 <= OptimiseTables::kLastPattern);
    FUZZ_CHECK(tables.OptCountCH2 >= 0 && tables.OptCountCH2 <= OptimiseTables::kLastPattern);
    FUZZ_CHECK((read.end == OptReadEnd::TableFull) == (read.fullChannel != 0));
    const OptJoinResult joined = joinChannel1Patterns(tables);
    FUZZ_CHECK(joined.marks.size() <= static_cast<std::size_t>(OptimiseTables::kJoinedPatterns));
    for (int i = 1; i <= OptimiseTables::kJoinedPatterns; ++i) // nine rows of at most eight bits
        FUZZ_CHECK(tables.OptChain[static_cast<std::size_t>(i)].size() <= 72);
    return 0;
}
