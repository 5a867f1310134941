// The line reader over a file gives the lines the split rule gives, and the
// line-end helpers agree with it.
#include "FuzzSupport.h"
#include "common/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes = fuzz::text(data, size);
    static const std::string path = fuzz::scratchPath("lines.txt");
    common::writeWholeFile(path, bytes);
    FUZZ_CHECK(common::readWholeFile(path) == bytes);

    std::vector<std::string> read;
    common::LineReader reader(path);
    while (!reader.atEnd())
        read.push_back(reader.readLine());
    const std::vector<std::string> split = common::splitLines(bytes);
    FUZZ_CHECK(read == split);

    // CR LF made of every line end splits into the same lines, once LFs
    // (no line end to the reader) are counted as ends too.
    FUZZ_CHECK(common::splitLines(common::toCrLf(bytes)) == common::splitLines(common::toCrLf(common::toLf(bytes))));
    FUZZ_CHECK(common::toCrLf(common::toLf(common::toCrLf(bytes))) == common::toCrLf(bytes));
    return 0;
}
