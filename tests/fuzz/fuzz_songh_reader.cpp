// The song.h reader behind the sound windows: any text gives either an image
// to play or the problems that stop it, never neither; whatever it reads
// plays without a hang, as the engine never hangs on bad data.
#include "FuzzSupport.h"
#include "sound/Sound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ostrak::sound::ReadResult result = ostrak::sound::readSongH(fuzz::text(data, size));
    FUZZ_CHECK(result.image != nullptr || !result.problems.empty());
    if (!result.image)
        return 0;
    ostrak::sound::EngineModel model(result.image);
    for (int frame = 0; frame < 600; ++frame) {
        const ostrak::sound::FrameRegs regs = model.nextFrame();
        FUZZ_CHECK(regs.row >= 0 && regs.row < 32 && regs.audv[0] < 16 && regs.audv[1] < 16);
    }
    ostrak::sound::SongRenderer renderer(result.image, 44100);
    std::int16_t samples[4096];
    renderer.render(samples, 4096);
    FUZZ_CHECK(renderer.samplesRendered() == 4096);
    return 0;
}
