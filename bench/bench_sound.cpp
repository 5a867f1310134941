// Times the sound rules: a 3-minute song rendered at 44.1 kHz (both channels
// busy, hi-hat on), the way from a song.h to the first samples, and reading
// huge song texts.
#include "sound/Sound.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Seconds = std::chrono::duration<double>;

template <typename F>
double timed(F&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return Seconds(std::chrono::steady_clock::now() - start).count();
}

// Sixteen entries of four different chains each, with notes on every row
// across the eight slots, so that both channels change often.
std::string busySong()
{
    std::string text = "TEMPODELAY equ 3\r\nsoundTurnArray\r\n\tbyte 0,2,4,6,1,3,5,8\r\n"
                       "soundTypeArray\r\n\tbyte 4,12,6,1,14,4,12,7\r\n"
                       "hatPattern\r\n\tbyte %10001000,%10001000,%10001000,%10101010\r\n"
                       "HATSTART equ 2\r\nHATVOLUME equ 4\r\nHATPITCH equ 0\r\nHATSOUND equ 8\r\n"
                       "song1\r\n\tbyte 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\r\n\tbyte 255\r\n"
                       "song2\r\n\tbyte 16,15,14,13,12,11,10,9,8,7,6,5,4,3,2,1,16,15,14,13,12,11,10,9,8,7\r\n"
                       "\tbyte 255\r\npatternArrayH\r\n\tword 0,0,0,0\r\n";
    for (int entry = 1; entry <= 16; ++entry) {
        text += "\tword";
        for (int chain = 0; chain < 4; ++chain)
            text += std::string(chain ? "," : " ") + "C" + std::to_string((entry * 4 + chain) % 24);
        text += "\r\n";
    }
    text += "patternArrayL\r\n";
    for (int chain = 0; chain < 24; ++chain) {
        text += "C" + std::to_string(chain) + "\r\n\tbyte ";
        for (int row = 0; row < 8; ++row)
            text += std::to_string(row == 7 && chain % 3 == 0 ? 255 : ((chain + row) % 8) * 32 + (chain * 7 + row * 5) % 32) +
                    (row < 7 ? "," : "\r\n");
    }
    return text;
}

} // namespace

int main()
{
    using namespace ostrak::sound;
    constexpr int kRate = 44100;
    const auto song = readSongH(busySong());
    if (!song.image || !song.problems.empty()) {
        std::printf("bench song does not read: %s\n", song.problems.empty() ? "?" : song.problems.front().c_str());
        return 1;
    }

    constexpr double kSongSeconds = 180.0;
    std::vector<std::int16_t> samples(std::size_t(kSongSeconds * kRate));
    const double render = timed([&] {
        SongRenderer renderer(song.image, kRate);
        for (std::size_t at = 0; at < samples.size(); at += 4096)
            renderer.render(samples.data() + at, std::min<std::size_t>(4096, samples.size() - at));
    });
    std::printf("render 3:00 of a busy song at 44.1 kHz: %.3f s, %.0f x real time\n", render, kSongSeconds / render);

    std::vector<std::int16_t> pass;
    const double onePass = timed([&] { pass = renderOnePass(song.image, kRate, 600.0); });
    std::printf("renderOnePass (%.1f s of song): %.3f s\n", double(pass.size()) / kRate, onePass);

    std::int16_t first[4096];
    const double start = timed([&] {
        const auto read = readSongH(busySong());
        SongRenderer renderer(read.image, kRate);
        renderer.render(first, 4096);
    });
    std::printf("song.h text to the first 4096 samples: %.2f ms\n", start * 1000);

    std::string lines;
    for (int i = 0; i < 100000; ++i)
        lines += i % 2 ? "\tbyte 1,2,3,%10101010\r\n" : "Label" + std::to_string(i) + "\tword Label" + std::to_string(i) + ",\r\n";
    const double hundredThousand = timed([&] { readSongH(lines); });
    std::printf("readSongH, 100,000 lines: %.3f s\n", hundredThousand);
    std::string big;
    while (big.size() < 5'000'000)
        big += "\tbyte %00011111  ;0|C-4|4\r\n";
    const double fiveMb = timed([&] { readSongH(big); });
    std::printf("readSongH, 5 MB pattern field: %.3f s\n", fiveMb);
    return 0;
}
