// Any file loaded as a project: the load ends, keeps the memory it replaced
// in the undo copy, and fills nothing past position 64.
#include "FuzzSupport.h"
#include "ProjectPort.h"
#include "common/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace ostrak;
    static const std::string path = fuzz::scratchPath("load.osk");
    common::writeWholeFile(path, fuzz::text(data, size));
    WorkingMemory memory;
    memory.put(70, {"before", "", "p", "", "", "", ""});
    fuzz::ProjectPort port;
    port.retry = size > 0 && (data[0] & 1); // both failure styles
    loadProject(path, memory, port);
    FUZZ_CHECK(memory.UndoNameA[70] == "before");
    for (int p = project::kSavedPositions; p < WorkingMemory::kPositions; ++p)
        FUZZ_CHECK(memory.at(p).patternA.empty() && memory.at(p).nameA.empty());
    return 0;
}
