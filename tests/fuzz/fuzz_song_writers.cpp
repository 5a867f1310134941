// The two song.h writers over any field texts: numbers are written in plain
// decimal, so no "inf", "nan" or exponent comes from a number; a value that
// cannot be written fails its line instead.
#include "FuzzSupport.h"
#include "song/SongFile.h"
#include "store/WorkingMemory.h"

namespace {

bool holdsNumberWords(const std::string& text)
{
    return text.find("inf") != std::string::npos || text.find("nan") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace ostrak;
    // tempo, 8 volumes, 8 sound types, kick-in, song order, 4 preview texts,
    // then the texts of positions 0 and 1.
    const std::vector<std::string> f = fuzz::fields(fuzz::text(data, size), '\0', 1 + 8 + 8 + 2 + 4 + 14);
    InstrumentTexts texts;
    texts.tempo = f[0];
    for (std::size_t i = 0; i < 8; ++i) {
        texts.volume[i] = f[1 + i];
        texts.soundType[i] = f[9 + i];
        texts.hat[i * 4] = !f[9 + i].empty() && (f[9 + i][0] & 1);
    }
    const InstrumentConfig config = readInstrumentConfig(texts);
    const PreviewTexts preview{f[19], f[20], f[21], f[22]};
    WorkingMemory memory;
    memory.put(0, {f[23], f[24], f[25], f[26], f[27], f[28], f[29]});
    memory.put(1, {f[30], f[31], f[32], f[33], f[34], f[35], f[36]});

    bool wordsIn = false;
    for (const std::string& field : f)
        wordsIn = wordsIn || holdsNumberWords(field);
    for (const SongLines& lines : {previewSong(config, preview), wholeSong(config, f[17], f[18], memory)}) {
        const std::string file = songFileText(lines);
        if (!wordsIn)
            FUZZ_CHECK(!holdsNumberWords(file));
        for (const SongLine& line : lines)
            FUZZ_CHECK(line.failure == 0 || line.text.empty());
    }
    return 0;
}
