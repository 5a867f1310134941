// Real tunes' shapes through the import window with its defaults: which
// channels it picks, what the channel lists say, and how well the console
// keeps the intervals, measured on the bytes stored.
#include "ImportFixture.h"
#include "support/ConsoleIntervals.h"
#include "support/ModuleWriter.h"
#include "sound/Sound.h"

using namespace testing_support;

namespace {

// Parts that play a tune over two 64-row patterns: each strikes its
// instrument every `every` rows, the tune's steps (semitones from `base`)
// one after the other.
struct Part {
    int channel, instrument, base, every;
    std::vector<int> tune;
};
ModSong playing(int channels, const std::vector<Part>& parts)
{
    ModSong song;
    song.channels = channels;
    song.instruments = 20;
    for (int p = 0; p < 2; ++p) {
        ModPattern pattern;
        pattern.cells.assign(64, std::vector<ModCell>(std::size_t(channels)));
        for (const Part& part : parts)
            for (int r = 0; r < 64; r += part.every) {
                const int step = (p * 64 + r) / part.every;
                pattern.cells[std::size_t(r)][std::size_t(part.channel)] = {
                    part.base + part.tune[std::size_t(step) % part.tune.size()], part.instrument};
            }
        song.patterns.push_back(pattern);
    }
    song.order = {0, 1, 0};
    return song;
}

} // namespace

// Tunes as a user finds them, each imported with the window's defaults and
// measured on what the console plays: a melody on channels 5 and 7 of 8
// with drums on 1 and 2; instruments 12 and 16 (16 no silence: the module
// is not written for ostrak); a two-octave melody on one instrument, which
// takes 12 beside 4 in a slot no stored pattern plays.
TEST_F(ImportTest, DefaultsPickTheTuneAndKeepItsIntervalsOnTheConsole)
{
    const std::vector<int> tune = {0, 2, 4, 5, 7, 5, 4, 2, 0, 4, 7, 12, 7, 4, 2, 0, 9, 7, 5, 4};
    const std::vector<int> bass = {0, -5, -3, -7, 0, 5, 7, 0};
    std::vector<int> wide;
    for (int n : {0, 2, 4, 5, 7, 9, 11, 12, 14, 16, 17, 19, 21, 23, 24})
        wide.push_back(n);
    wide.insert(wide.end(), wide.rbegin() + 1, wide.rend() - 1);
    struct Case {
        std::string what;
        ModSong song;
        std::string ch1, ch2; // the channel lists' texts, as they begin
        std::string logSays, slot5;
    };
    const std::vector<Case> cases = {
        {"melody on 5 and 7 of 8",
         playing(8, {{0, 1, 49, 4, {0}}, {1, 2, 61, 8, {0}}, {2, 6, 61, 32, {0, 3}}, {4, 3, 61, 2, tune},
                     {6, 5, 37, 4, bass}}),
         "5: 64 notes, C-5..C-6, mostly 3 sample 3", "7: 32 notes, F-2..G-3, mostly 5", "Channels picked: 5 and 7",
         "15-Atonal Buzz"},
        {"instruments 12 and 16", playing(2, {{0, 12, 61, 2, tune}, {1, 16, 49, 4, bass}}), "1: 64 notes",
         "2: 32 notes", "2 instruments, 96 notes in the channels picked.", "15-Atonal Buzz"},
        {"two octaves on one instrument", playing(1, {{0, 3, 49, 2, wide}}), "1: 64 notes, C-4..C-6", "none",
         "Slot 5 set to \"12-Lower Square\" (it was \"15-Atonal Buzz\")", "12-Lower Square"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clearSong(); // each tune on its own
        w().WaveMatrix[5]->setText8("15-Atonal Buzz");
        const std::string bytes = writeIt(c.song);
        open(save("tune.it", bytes));
        EXPECT_TRUE(imp().cmbChannelA->currentText().startsWith(QString::fromStdString(c.ch1)))
            << imp().cmbChannelA->currentText().toStdString();
        EXPECT_TRUE(imp().cmbChannelB->currentText().startsWith(QString::fromStdString(c.ch2)))
            << imp().cmbChannelB->currentText().toStdString();
        type(imp().txtStartPos, "0");
        click(imp().cmdImportSong);
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_NE(importLog().find(c.logSays), std::string::npos);
        EXPECT_EQ(w().WaveMatrix[5]->text8(), c.slot5);
        for (int position : {0, 1}) {
            EXPECT_TRUE(everyByteWhole(memory().StorePatternA[std::size_t(position)]));
            EXPECT_TRUE(everyByteWhole(memory().StorePatternB[std::size_t(position)]));
        }
        const IntervalFigures figures = intervalsOfImport(bytes, w(), imp(), memory());
        EXPECT_GE(figures.pairs, 60);
        EXPECT_TRUE(figures.meetsTargets()) << figures.median << " " << figures.within50 << " " << figures.off600;
        click(w().cmdGenAllCode);
        click(w().cmdCompileSong);
        const ostrak::sound::ReadResult read = ostrak::sound::readSongH(readBytes(folder.file("song.h")));
        EXPECT_TRUE(read.problems.empty()) << (read.problems.empty() ? "" : read.problems.front());
    }

    // Channel 8 of the first module picked, then a module of two channels:
    // the lists hold its channels only, and the import reads them.
    open(save("eight.it", writeIt(cases[0].song)));
    imp().cmbChannelA->setCurrentIndex(7);
    open(save("two.it", writeIt(cases[1].song)));
    EXPECT_EQ(imp().cmbChannelA->count(), 2);
    EXPECT_EQ(imp().cmbChannelB->count(), 3);
    click(imp().cmdImportPattern);
    EXPECT_TRUE(messages.shown.empty());
}
