// The song as the module plays it (libopenmpt's playback of modules written
// here) and the row length and repeats chosen for it.
#include "support/ModuleWriter.h"
#include "import/ModuleClipboard.h"
#include "import/SongLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <functional>

using namespace testing_support;

namespace {

constexpr int kA = 1, kB = 2, kC = 3, kS = 19, kT = 20; // IT's effect letters

ModSong song(std::vector<int> rows, std::vector<int> order)
{
    ModSong s;
    s.channels = 2;
    for (int n : rows) {
        ModPattern p;
        p.rows = n;
        p.cells.assign(std::size_t(n), std::vector<ModCell>(2));
        for (int r = 0; r < n; ++r)
            p.cells[std::size_t(r)][0] = {49 + r % 32, 1};
        s.patterns.push_back(p);
    }
    s.order = std::move(order);
    return s;
}

ModSong with(ModSong s, int pattern, int row, int effect, int param)
{
    s.patterns[std::size_t(pattern)].cells[std::size_t(row)][1].effect = effect;
    s.patterns[std::size_t(pattern)].cells[std::size_t(row)][1].param = param;
    return s;
}

// "0:0-15 1:8-20": runs of rows of one pattern, in the order played.
std::string runs(const ostrak::PlayedSong& song)
{
    std::string text;
    for (std::size_t i = 0; i < song.rows.size();) {
        std::size_t j = i;
        while (j + 1 < song.rows.size() && song.rows[j + 1].pattern == song.rows[i].pattern
               && song.rows[j + 1].row == song.rows[j].row + 1)
            ++j;
        text += (text.empty() ? "" : " ") + std::to_string(song.rows[i].pattern) + ":"
                + std::to_string(song.rows[i].row) + "-" + std::to_string(song.rows[j].row);
        i = j + 1;
    }
    return text;
}

// Speed speedOf(r) set on every row of a 64-row pattern.
ModSong speeds(const std::function<int(int)>& speedOf)
{
    ModSong s = song({64}, {0});
    for (int r = 0; r < 64; ++r)
        s = with(s, 0, r, kA, speedOf(r));
    return s;
}

} // namespace

TEST(ModulePlay, RowsFollowBreaksJumpsDelaysAndLoopsAndTheRowLengthKeepsTheModulesTime)
{
    ModSong fast = song({64}, {0});
    fast.speed = 1;
    fast.tempo = 255;
    ModSong slow = song({4}, {0});
    slow.speed = 255;
    slow.tempo = 32;
    ModSong noSpeed = song({32}, {0});
    noSpeed.speed = 0;
    struct Case {
        std::string what;
        ModSong module;
        std::string runs;
        std::string tempo;  // cmbTempo
        int fewest, most;   // engine rows a module row
    };
    const std::vector<Case> cases = {
        {"48-row patterns", song({48, 48, 48}, {0, 1, 2}), "0:0-47 1:0-47 2:0-47", "7.2", 1, 1},
        {"a break into the next pattern and a jump back that would loop for ever",
         with(with(song({32, 32, 32}, {0, 1, 2, 1}), 0, 15, kC, 8), 1, 20, kB, 3), "0:0-15 1:8-20 1:0-20", "7.2",
         1, 1},
        {"a break past the next pattern's end", with(song({32, 32}, {0, 1}), 0, 3, kC, 0x63), "0:0-3 1:0-31", "7.2",
         1, 1},
        {"a pattern delay and a loop played twice more",
         with(with(with(song({8}, {0}), 0, 2, kS, 0xE2), 0, 4, kS, 0xB0), 0, 5, kS, 0xB2),
         "0:0-5 0:4-5 0:4-7", "7.2", 1, 3},
        {"speed 8 then 4: the slow rows as two", with(with(song({64}, {0}), 0, 0, kA, 8), 0, 32, kA, 4),
         "0:0-63", "4.8", 1, 2},
        {"speed 3 at 125 BPM: 3.6 frames", with(song({32}, {0}), 0, 0, kA, 3), "0:0-31", "3.6", 1, 1},
        {"tempo 150", with(song({32}, {0}), 0, 0, kT, 150), "0:0-31", "6", 1, 1},
        {"one-row patterns", song({1, 1, 32}, {0, 1, 0, 2}), "0:0-0 1:0-0 0:0-0 2:0-31", "7.2", 1, 1},
        {"speed 1 at 255 BPM: rows shorter than a frame", fast, "0:0-63", "1", 1, 1},
        {"speed 255 at 32 BPM: rows of 20 s", slow, "0:0-3", "239.062", 5, 5},
        {"speed 0 plays the default", noSpeed, "0:0-31", "7.2", 1, 1},
        {"a speed change on every row", speeds([](int r) { return 2 + r % 5; }), "0:0-63", "2.99", 1, 2},
        {"swing, speeds 5 and 7: even rows of 6", speeds([](int r) { return r % 2 ? 7 : 5; }), "0:0-63", "7.2", 1,
         1},
        {"a few rows of speed 7 among 6: held on now and then", speeds([](int r) { return r % 10 ? 6 : 7; }),
         "0:0-63", "7.22", 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ostrak::TrackerModule module(writeIt(c.module));
        const ostrak::PlayedSong played = module.playedSong();
        EXPECT_EQ(runs(played), c.runs);
        EXPECT_NEAR(played.seconds, module.durationSeconds(), 1e-6);
        std::vector<double> starts;
        for (const ostrak::PlayedRow& r : played.rows)
            starts.push_back(r.start);
        const ostrak::RowTiming t = ostrak::chooseRowTiming(starts, played.seconds, 60);
        EXPECT_EQ(ostrak::tempoText(t.framesPerRow), c.tempo);
        ASSERT_EQ(t.repeats.size(), played.rows.size());
        EXPECT_EQ(*std::min_element(t.repeats.begin(), t.repeats.end()), c.fewest);
        EXPECT_EQ(*std::max_element(t.repeats.begin(), t.repeats.end()), c.most);
        // The song lasts as long as the module (to the 256ths of a frame),
        // except where its rows are shorter than a frame.
        const double songFrames = t.engineRows * t.framesPerRow, moduleFrames = played.seconds * 60;
        if (c.tempo != "1")
            EXPECT_NEAR(songFrames / moduleFrames, 1.0, 0.002);
        else
            EXPECT_GT(songFrames, moduleFrames);
    }
    // ostrak runs in the user's locale; cmbTempo reads a point, never a comma.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(ostrak::tempoText(7.2), "7.2");
        std::setlocale(LC_NUMERIC, "C");
    }
}
