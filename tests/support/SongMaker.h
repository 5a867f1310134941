#pragma once
// Builds song.h texts shaped like a whole song as ostrak writes it: settings
// lines, then per position and channel chains of eight rows under a label,
// each closed by the zero line, and the sequences. Music repeats: each
// channel draws its chains from a small pool of motifs, favouring a few.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace crimp_testing {

struct SongShape {
    int positions = 66;
    int chainsPerPattern = 16;
    int motifsPerChannel = 35;
    std::uint32_t seed = 2600;
};

inline std::string bits8(int value)
{
    std::string out;
    for (int b = 7; b >= 0; --b)
        out += ((value >> b) & 1) ? '1' : '0';
    return out;
}

inline std::vector<std::string> makeSongLines(const SongShape& shape)
{
    std::mt19937 random(shape.seed);
    static const char* notes[] = {"C-4", "D-4", "E-4", "F#4", "G-5", "A-5", "C-6", "D#6", "...", "..."};
    // A motif: eight pattern bytes. Bass-like motifs hold one byte over rows.
    std::vector<std::vector<std::vector<int>>> motifs(2);
    for (auto& pool : motifs) {
        for (int m = 0; m < shape.motifsPerChannel; ++m) {
            std::vector<int> rows(8);
            int held = static_cast<int>(random() & 0xFF);
            for (int r = 0; r < 8; ++r) {
                if (random() % 3 == 0)
                    held = static_cast<int>(random() & 0xFF);
                rows[r] = held;
            }
            pool.push_back(rows);
        }
    }
    // Skewed choice: low motif numbers come up far more often (choruses, beats).
    auto pick = [&] {
        std::uniform_real_distribution<double> u(0.0, 1.0);
        const double x = u(random);
        return static_cast<int>(x * x * x * shape.motifsPerChannel);
    };

    std::vector<std::string> lines = {
        "; song.h",
        "    TEMPODELAY = 3",
        "    HATSTART = 2",
        "soundTypeArray",
        "    byte 4,6,7,8,14,15,1,3",
    };
    for (int pos = 0; pos < shape.positions; ++pos) {
        for (int channel = 0; channel < 2; ++channel) {
            const std::string name = "Pos" + std::to_string(pos) + "_C" + std::to_string(channel + 1) + "_";
            int row = 0;
            for (int c = 0; c < shape.chainsPerPattern; ++c) {
                lines.push_back("");
                lines.push_back(name + std::to_string(c));
                for (int value : motifs[channel][pick()]) {
                    lines.push_back("\tbyte %" + bits8(value) + "  ;" + std::to_string(row) + "|"
                                    + notes[random() % 10] + "|" + std::to_string(random() % 16));
                    ++row;
                }
                lines.push_back("\tbyte %00000000  ; not imp yet");
            }
            for (int c = 0; c < shape.chainsPerPattern; c += 4) {
                lines.push_back("\tword " + name + std::to_string(c) + "," + name + std::to_string(c + 1) + ","
                                + name + std::to_string(c + 2) + "," + name + std::to_string(c + 3) + " ;"
                                + std::to_string(4 * pos + 1 + 2 * channel));
            }
        }
    }
    return lines;
}

inline std::string joinCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

} // namespace crimp_testing
