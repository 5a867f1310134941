// Times "Pack repeats" and the ROM count on a 66-position song (two channels,
// eight chains a channel, a quarter of the chains distinct, as in real
// modules), and reading the same song with the song.h reader.
#include "song/SongPack.h"
#include "sound/Sound.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string sixtySixPositions()
{
    std::string text = "TEMPODELAY equ 3\r\nsoundTurnArray\r\n    byte 8,3,4,5\r\n    byte 0,6,4,3\r\n"
                       "soundTypeArray\r\n    byte 4,6,7,8\r\n    byte 14,15,1,3\r\n"
                       "hatPattern\r\n    byte %00000000\r\n    byte %00000000\r\n    byte %00000000\r\n"
                       "    byte %00000000\r\nHATSTART equ 2\r\nHATVOLUME equ 4\r\nHATPITCH equ 0\r\nHATSOUND equ 8\r\n"
                       "song1\r\n\tbyte 1,3,5,255\r\nsong2\r\n\tbyte 2,4,6,255\r\npatternArrayH\r\n"
                       "    word mute,mute,mute,mute\r\n";
    for (int p = 0; p < 66; ++p)
        for (const char* channel : {"_C1_", "_C2_"})
            for (int half = 0; half < 2; ++half) {
                text += "\tword ";
                for (int k = 0; k < 4; ++k)
                    text += "Pos" + std::to_string(p) + channel + std::to_string(half * 4 + k) + (k < 3 ? "," : "\r\n");
            }
    text += "patternArrayL\r\n";
    for (int p = 0; p < 66; ++p)
        for (const char* channel : {"_C1_", "_C2_"})
            for (int k = 0; k < 8; ++k) {
                const int distinct = (p * 16 + k * 2 + (channel[2] == '2')) % 264; // one chain in four
                text += "Pos" + std::to_string(p) + channel + std::to_string(k) + "\r\n";
                for (int row = 0; row < 8; ++row) {
                    const int value = (distinct * 37 + row * 11) % 255;
                    std::string bits;
                    for (int b = 7; b >= 0; --b)
                        bits += char('0' + ((value >> b) & 1));
                    text += "\tbyte %" + bits + "  ;" + std::to_string(row) + "|C-5|4\r\n";
                }
                text += "\tbyte %00000000  ; not imp yet\r\n";
            }
    return text + "mute\r\n\tbyte 255,255,255,255,255,255,255,255\r\n\tbyte 0\r\n";
}

template <typename F>
double bestMs(F&& work)
{
    double best = 1e9;
    for (int run = 0; run < 7; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

int main()
{
    const std::string text = sixtySixPositions();
    const ostrak::SongLines lines{ostrak::SongLine{text}};
    ostrak::SongLines packed;
    ostrak::RomUse written, packedUse;
    const double readMs = bestMs([&] { written = ostrak::romUse(lines); });
    const double packMs = bestMs([&] {
        packed = ostrak::packRepeats(lines);
        packedUse = ostrak::romUse(packed);
    });
    std::printf("66 positions, %zu song.h bytes: read and count %.2f ms\n", text.size(), readMs);
    std::printf("  as written: %s\n", ostrak::romUseText(written).c_str());
    std::printf("  pack and count: %.2f ms (best of 7); %s\n", packMs, ostrak::romUseText(packedUse).c_str());
    return 0;
}
