// The song.h reader behind the sound windows: any text gives either an image
// to play or the problems that stop it, never neither.
#include "FuzzSupport.h"
#include "sound/Sound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ostrak::sound::ReadResult result = ostrak::sound::readSongH(fuzz::text(data, size));
    FUZZ_CHECK(result.image != nullptr || !result.problems.empty());
    return 0;
}
