// The engine model against the real ROM: ostrak writes song.h from a paste,
// dasm assembles the engine, stella plays it, and ostrak's own model renders
// the same song.h in Stella's clock. Every sound heard must start, sound and
// be as loud as the model says. Run alone with --gtest_filter='EngineModel*';
// ENGINE_MODEL_DETAILS=1 prints every sound compared.
#include "support/Fundamental.h"
#include "Listening.h"
#include "sound/SongImage.h"
#include "sound/Tia.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

using namespace engine_test;
using namespace ostrak::sound;

namespace {

constexpr double kPitchTolerance = 0.005;
constexpr double kLevelTolerance = 0.10;

struct Model {
    Audio audio;
    Clock clock;                   // Stella's, NTSC or PAL as song.h says
    std::vector<FrameRegs> frames; // frame k starts at k / frameHz s
};

Model renderModel(const std::shared_ptr<const SongImage>& image, double seconds)
{
    Model model;
    model.clock = stellaClock(palSwitch(*image));
    model.audio = renderAsStellaPlays(image, seconds, model.clock);
    EngineModel engine(image);
    for (int frame = 0; frame < int(seconds * model.clock.frameHz()) + 1; ++frame)
        model.frames.push_back(engine.nextFrame());
    return model;
}


// Both stella's and the model's output ring a little as a note stops,
// which now and then reads as a sound of a millisecond or two.
std::vector<Sound> withoutBlips(std::vector<Sound> sounds)
{
    std::erase_if(sounds, [](const Sound& sound) { return sound.stop - sound.start < 0.005; });
    return sounds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

class ModelVsRom : public ListeningTest {
protected:
    // Sets the eight sound slots: sound types and volume steps.
    void setSlots(const std::vector<std::pair<const char*, const char*>>& typeAndVolume)
    {
        for (std::size_t slot = 0; slot < typeAndVolume.size(); ++slot) {
            w().WaveMatrix[slot]->setText8(typeAndVolume[slot].first);
            w().WaveVol[slot]->setText8(typeAndVolume[slot].second);
        }
    }

    // Plays `songH` in stella for `seconds` and compares every sound heard with
    // the model's rendering; `sounds` is how many the model makes by then.
    void compareWithModel(const std::string& songH, double seconds, std::size_t sounds, int attempts = 2)
    {
        const ReadResult read = readSongH(songH);
        ASSERT_TRUE(read.image) << (read.problems.empty() ? "" : read.problems.front());
        EXPECT_TRUE(read.problems.empty()) << read.problems.front();
        const Model model = renderModel(read.image, seconds + 1.0);
        playAndCheck(
            songH, seconds, [&](const std::vector<Sound>& heard) { compare(model, heard, sounds); }, attempts);
        checkLabelsAgainstDasm(*read.image);
    }

private:
    // dasm's symbol file of the ROM just built gives every label of song.h
    // the address the reader gave it.
    void checkLabelsAgainstDasm(const SongImage& image)
    {
        QFile file(QString::fromStdString(folder.file("rom") + "/song.sym"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::istringstream lines(file.readAll().toStdString());
        int compared = 0;
        for (std::string name, value; lines >> name >> value;) {
            std::string flags;
            std::getline(lines, flags);
            const auto ours = image.symbol(name);
            if (!ours || value.find_first_not_of("0123456789abcdef") != std::string::npos)
                continue;
            EXPECT_EQ(*ours, std::stoll(value, nullptr, 16)) << name;
            ++compared;
        }
        EXPECT_GE(compared, 12) << "the engine's symbols at least";
    }

    void compare(const Model& model, const std::vector<Sound>& heardSounds, std::size_t expected)
    {
        // The model's samples at the recording's scale, so the same threshold finds its sounds.
        Audio ours = model.audio;
        const double scale = audio.level(0, audio.duration()) / ours.level(0, audio.duration());
        for (float& sample : ours.samples)
            sample = float(sample * scale);
        std::vector<Sound> made = withoutBlips(ours.sounds());
        ASSERT_GE(made.size(), expected) << "the model made fewer sounds than the song holds";
        made.resize(expected);
        const std::vector<Sound> heard = withoutBlips(heardSounds);
        ASSERT_GE(heard.size(), expected) << "stella played fewer sounds than the model";

        double worstOnset = 0, worstPitch = 0, worstLevel = 0;
        int pitches = 0;
        std::vector<double> ratios;
        for (std::size_t i = 0; i < expected; ++i) {
            SCOPED_TRACE("sound " + std::to_string(i) + " at " + std::to_string(made[i].start) + " s of the model");
            if (i > 0) {
                const double onset =
                    (heard[i].start - heard[i - 1].start) - (made[i].start - made[i - 1].start);
                worstOnset = std::max(worstOnset, std::abs(onset));
                EXPECT_LE(std::abs(onset), 1 / model.clock.frameHz()) << "starts out of step with the previous sound";
            }
            // The middle of each sound as it came out: stella now and then
            // drops a fragment of a short one.
            const double length = made[i].stop - made[i].start, heardLength = heard[i].stop - heard[i].start;
            const double from = 0.2 * length, to = 0.8 * length;
            const double heardFrom = 0.2 * heardLength, heardTo = 0.8 * heardLength;
            const FrameRegs& regs = model.frames.at(std::size_t((made[i].start + 0.5 * length) * model.clock.frameHz()));
            const int audible = (regs.audv[0] > 0) + (regs.audv[1] > 0);
            const int channel = regs.audv[0] > 0 ? 0 : 1;
            const double levelHeard = audio.level(heard[i].start + heardFrom, heard[i].start + heardTo);
            const double levelMade = ours.level(made[i].start + from, made[i].start + to);
            ratios.push_back(levelHeard / levelMade);
            if (std::getenv("ENGINE_MODEL_DETAILS"))
                std::cout << "sound " << i << " heard " << heard[i].start << "-" << heard[i].stop << " made "
                          << made[i].start << "-" << made[i].stop << " AUDC " << int(regs.audc[0]) << "/"
                          << int(regs.audc[1]) << " AUDF " << int(regs.audf[0]) << "/" << int(regs.audf[1])
                          << " AUDV " << int(regs.audv[0]) << "/" << int(regs.audv[1]) << " level " << levelHeard
                          << " / " << levelMade << "\n";
            if (audible != 1 || !isTonal(regs.audc[channel]))
                continue;
            const double tone = toneFrequency(regs.audc[channel], regs.audf[channel], model.clock);
            if ((to - from) * tone < 2.0)
                continue; // too short a stretch to tell a pitch from
            auto measure = [&](const Audio& a, double start, double stop) {
                return testing_support::measuredFundamental(a.samples, Audio::kRate, std::size_t(start * Audio::kRate),
                                                            std::size_t(stop * Audio::kRate), tone);
            };
            const double pitchMade = measure(ours, made[i].start + from, made[i].start + to);
            const double pitchHeard = measure(audio, heard[i].start + heardFrom, heard[i].start + heardTo);
            EXPECT_NEAR(pitchMade, tone, kPitchTolerance * tone) << "AUDC " << int(regs.audc[channel]) << " AUDF "
                                                                 << int(regs.audf[channel]) << ": the model's pitch";
            EXPECT_NEAR(pitchHeard, pitchMade, kPitchTolerance * pitchMade) << "stella's pitch";
            worstPitch = std::max(worstPitch, std::abs(pitchHeard / pitchMade - 1));
            ++pitches;
        }
        const double typical = median(ratios);
        for (std::size_t i = 0; i < ratios.size(); ++i) {
            worstLevel = std::max(worstLevel, std::abs(ratios[i] / typical - 1));
            EXPECT_NEAR(ratios[i] / typical, 1.0, kLevelTolerance) << "sound " << i << "'s level";
        }
        std::cout << expected << " sounds, " << pitches << " pitches measured; worst onset "
                  << worstOnset * 1000 << " ms, pitch " << worstPitch * 100 << " %, level " << worstLevel * 100
                  << " %\n";
    }
};

// The cells of `channel` (0 or 1) at `rows`, each note followed by a
// silencing "...16"; all other rows stay empty.
void place(std::vector<Row>& rows, int channel, const std::vector<std::pair<int, std::string>>& notes)
{
    for (const auto& [row, cell] : notes) {
        (channel == 0 ? rows[row].ch1 : rows[row].ch2) = cell;
        (channel == 0 ? rows[row + 1].ch1 : rows[row + 1].ch2) = "...16";
    }
}

std::vector<Row> emptyRows()
{
    std::vector<Row> rows(64, {".....", "....."});
    rows[0] = {"...16", "...16"};
    return rows;
}

} // namespace

// The songs of the tests below, NTSC or PAL.
class EngineModelVsRom : public ModelVsRom {
protected:
    // A PAL song lasts 60/50 of its NTSC length in Stella's clocks.
    double seconds(double ntscSeconds) { return w().chkPal->isChecked() ? ntscSeconds * 1.2 : ntscSeconds; }

    void previewAtTempo(const char* tempo)
    {
        // Slots: sound type (the paste's instrument number) and volume step.
        setSlots({{"4", "0"}, {"1", "4"}, {"6", "0"}, {"12", "8"}, {"14", "4"}, {"8", "8"}, {"5", "12"}, {"13", "0"}});
        w().cmbTempo->setText8(tempo);
        std::vector<Row> rows = emptyRows();
        // Type 5 sits on volume step 12: silent on the console, so no sound.
        place(rows, 0, {{0, "C-504"}, {2, "E-601"}, {4, "E-606"}, {6, "C-512"}, {8, "G-614"}, {10, "C-508"},
                        {12, "C-505"}, {14, "G-604"}, {20, "F-612"}, {22, "C-601"}});
        // Channel 2 alone, then both channels at once.
        place(rows, 1, {{16, "C-604"}, {18, "C-512"}});
        rows[18].ch1 = "E-404";
        rows[19].ch1 = "...16";
        compareWithModel(previewSong(trackerPaste(rows)), seconds(3.5), 11);
    }

    std::string wholeSongAtTempo1()
    {
        setSlots({{"4", "0"}, {"1", "0"}, {"6", "4"}, {"12", "4"}, {"14", "0"}, {"8", "8"}, {"5", "0"}, {"13", "0"}});
        w().cmbTempo->setText8("1");
        w().cmdAutoHH2->click(); // steps 0, 4, 8, ... 28
        w().hhKickIn->setText8("1");
        std::vector<Row> rows = emptyRows();
        // Channel 1: entry 1 (rows 0-31) and entry 2 (32-63), wrapping every two
        // bars; channel 2: entry 3 every bar. Notes sit between the hi-hat steps
        // so that every sound stands alone; from bar 2 on, some meet a hit.
        place(rows, 0, {{0, "C-604"}, {6, "G-612"}, {12, "G-606"}, {18, "C-601"}, {54, "E-604"}, {58, "G-614"}});
        place(rows, 1, {{2, "C-612"}, {10, "E-608"}});
        return wholeSong(trackerPaste(rows), "song1\r\n\r\n\tbyte 1,2\r\n\tbyte 255\r\n"
                                              "song2\r\n\r\n\tbyte 3\r\n\tbyte 255");
    }
    // Bar 0: 6 sounds; bar 1: 8 hits, 2 of channel 2, 2 of channel 1; bar 2
    // (as bar 0, with hits): 0 (with a hit), 2, 4, 6, 8, 10, 12 (with a hit),
    // 16, 18, 20, 24, 28.
    static constexpr std::size_t kWholeSongSounds = 6 + 12 + 12;
};

// NTSC and PAL (built as 312-line frames, in Stella's PAL clock), at tempo 3
// and at 2.75, whose rows last 2 and 3 frames as TEMPOFRAC carries.
TEST_F(EngineModelVsRom, PreviewEverySoundTypeAndVolumeStepNtscPalAndAFractionalTempo)
{
    const struct {
        const char* tempo;
        bool pal;
    } cases[] = {{"3", false}, {"3", true}, {"2.75", false}, {"2.75", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("tempo ") + c.tempo + (c.pal ? ", PAL" : ", NTSC"));
        w().chkPal->setChecked(c.pal);
        previewAtTempo(c.tempo);
    }
}

TEST_F(EngineModelVsRom, WholeSongAtTempo1WithHiHatFromBar1AndWrappingOrders)
{
    // One-frame sounds meet stella's dropped fragments more often: three tries.
    compareWithModel(wholeSongAtTempo1(), 3.5, kWholeSongSounds, 3);
}

// PAL: the whole song, built as 312-line frames, in Stella's PAL clock.
TEST_F(EngineModelVsRom, PalWholeSongLasts60Over50OfItsNtscLength)
{
    const std::string ntsc = wholeSongAtTempo1();
    w().chkPal->setChecked(true);
    const std::string pal = wholeSongAtTempo1();
    const ReadResult ntscRead = readSongH(ntsc), palRead = readSongH(pal);
    ASSERT_TRUE(ntscRead.image && palRead.image);
    EXPECT_FALSE(palSwitch(*ntscRead.image));
    EXPECT_TRUE(palSwitch(*palRead.image));
    const double ntscPass = double(renderOnePass(ntscRead.image, 44100, 600, stellaClock(false)).size());
    const double palPass = double(renderOnePass(palRead.image, 44100, 600, stellaClock(true)).size());
    EXPECT_NEAR(palPass / ntscPass, 60.0 / 50.0, 0.001);
    compareWithModel(pal, seconds(3.5), kWholeSongSounds, 3);
}

// Packed, the song names its repeated chains by equates; the ROM dasm builds
// from it still plays what the model plays.
TEST_F(EngineModelVsRom, PackedWholeSongPlaysAsItsRomInStella)
{
    const std::string written = wholeSongAtTempo1();
    w().chkPack->setChecked(true);
    const std::string packed = wholeSongAtTempo1();
    const auto equates = [](const std::string& text) {
        std::size_t n = 0;
        for (std::size_t at = 0; (at = text.find(" equ ", at)) != std::string::npos; ++at)
            ++n;
        return n;
    };
    ASSERT_LT(packed.size(), written.size());
    ASSERT_GT(equates(packed), equates(written)) << "no chain was named by an equate";
    compareWithModel(packed, 3.5, kWholeSongSounds, 3);
}

TEST_F(EngineModelVsRom, PreviewAtTempo6)
{
    setSlots({{"4", "0"}, {"1", "4"}, {"6", "0"}, {"12", "8"}, {"14", "4"}, {"8", "8"}, {"5", "12"}, {"13", "0"}});
    w().cmbTempo->setText8("6 - Slow");
    std::vector<Row> rows = emptyRows();
    place(rows, 0, {{0, "A-404"}, {2, "G-614"}, {4, "D-512"}});
    place(rows, 1, {{6, "E-606"}});
    compareWithModel(previewSong(trackerPaste(rows)), 2.5, 4);
}

// The reader says "dasm rejects" exactly where dasm, assembling the engine,
// stops: each variant changes one line of a real preview song.h.
TEST(EngineSongReader, TellsProblemsExactlyWhereDasmFails)
{
    if (!missingTools({"dasm"}).empty())
        GTEST_SKIP() << "dasm is not installed (tools/setup.sh installs it)";
    testing_support::ScratchFolder scratch;
    const std::string song = testing_support::dataFile("song/preview.h");
    const struct {
        const char* from;
        const char* to;
    } variants[] = {
        {"TEMPODELAY equ 5", "TEMPODELAY equ 5"},    // as written
        {"TEMPODELAY equ 5", "TEMPODELAY equ 0"},    // clamped by the engine
        {"TEMPODELAY equ 5", "TEMPODELAY equ 2.5"},  // a fraction
        {"TEMPODELAY equ 5", "TEMPODELAY equ 5\r\nTEMPOFRAC equ 300"}, // clamped by the engine
        {"TEMPODELAY equ 5", "TEMPODELAY equ 5\r\nTEMPOFRAC equ -9"},
        {"TEMPODELAY equ 5", "TEMPODELAY equ 5\r\nTEMPOFRAC equ 0.5"},
        {"TEMPODELAY equ 5", "TEMPOFRAC equ soundTypeArray-soundTurnArray\r\nTEMPODELAY equ 5"}, // known a pass later
        {"HATSTART equ 0", "HATSTART equ -3"},       // clamped by the engine
        {"HATSOUND equ 8", "HATSOUND equ 300"},      // too large for "lda #"
        {"    byte 1,2\r\n    byte 255", "    byte 1,256\r\n    byte 255"}, // an entry above 255
        {"    byte 1,2\r\n    byte 255", "    byte 1,-1\r\n    byte 255"},  // dasm's low byte
        {"word Pos0_C1_0,", "word Pos0_C1_0,70000"}, // a word keeps its low 16 bits
        {"word Pos0_C1_0,", "word Pos0_C1_0,,0"},    // an empty item inside
        {"word Pos0_C1_0,", "word Pos0_C9_0,"},      // a pattern label deleted by hand
        {"Pos0_C2_0\r\n", "Pos0_C1_0\r\n"},          // a label twice
        {"\tbyte %00010011  ;0", "\tbyte %0001x011  ;0"}, // an unreadable number
        {"song2\r\n", "songB\r\n"},                   // song2 missing
    };
    for (const auto& variant : variants) {
        std::string text = song;
        const std::size_t at = text.find(variant.from);
        ASSERT_NE(at, std::string::npos) << variant.from;
        text.replace(at, std::string(variant.from).size(), variant.to);
        const ReadResult read = readSongH(text);
        const Rom rom = assemble(scratch.path(), text);
        EXPECT_EQ(read.problems.empty(), rom.ok)
            << variant.to << ": " << (read.problems.empty() ? "no problem told" : read.problems.front()) << "\n"
            << rom.log;
    }
}
