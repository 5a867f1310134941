#include "EngineRig.h"

#include "support/TestSupport.h"
#include "sound/Tia.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <sstream>

namespace engine_test {

namespace {
std::string currentTestName()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return test ? test->name() : "engine";
}
} // namespace

std::string engineDir()
{
    return QDir(QStringLiteral(TEST_DATA_DIR "/../../engine")).absolutePath().toStdString();
}

Rom assemble(const std::string& folder, const std::string& songH, const std::string& program)
{
    Rom rom;
    const QDir engine(QString::fromStdString(engineDir()));
    for (const QString& name : engine.entryList({QStringLiteral("*.asm")}, QDir::Files)) {
        const QString copy = QString::fromStdString(folder) + "/" + name;
        QFile::remove(copy);
        if (!QFile::copy(engine.filePath(name), copy)) {
            rom.log = "cannot copy " + engine.filePath(name).toStdString();
            return rom;
        }
    }
    testing_support::writeBytes(folder + "/song.h", songH);
    if (const char* keep = std::getenv("ENGINE_AUDIO_KEEP"))
        testing_support::writeBytes(std::string(keep) + "/" + currentTestName() + ".h", songH);
    const ProgramRun run = runProgram({"dasm", program, "-f3", "-osong.bin", "-lsong.lst", "-ssong.sym"}, folder);
    rom.path = folder + "/song.bin";
    rom.log = run.output;
    rom.ok = run.code == 0 && QFileInfo(QString::fromStdString(rom.path)).size() == 4096;
    return rom;
}

std::string pathsSong(const PathsSong& song)
{
    unsigned seed = song.seed;
    auto next = [&seed](unsigned below) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % below;
    };
    std::ostringstream t;
    // `count` bytes of 0 ahead of a table; spread songs put a few ahead of each.
    const auto pad = [&t](unsigned count) {
        for (unsigned at = 0; at < count; ++at)
            t << (at % 16 == 0 ? "\tbyte 0" : ",0") << (at % 16 == 15 || at == count - 1 ? "\r\n" : "");
    };
    const auto spread = [&](unsigned most) { pad(song.spread ? next(most) : 0); };
    t << "TEMPODELAY equ " << song.tempo << "\r\n";
    if (song.fraction)
        t << "TEMPOFRAC equ " << song.fraction << "\r\n";
    if (song.pal)
        t << "PAL equ 1\r\n";
    pad(unsigned(song.pad));
    t << "soundTurnArray\r\n\tbyte 0,3,8,12,1,14,5,2\r\n";
    spread(200);
    t << "soundTypeArray\r\n\tbyte 4,6,7,8,14,15,1,12\r\n";
    spread(200);
    t << "hatPattern\r\n\tbyte %10010001,%00100010,%11000000,%00000101\r\n";
    t << "HATSTART equ " << song.hatStart << "\r\nHATVOLUME equ 6\r\nHATPITCH equ 3\r\nHATSOUND equ 8\r\n";
    // Entries: 0-2 from the high table, 3 past its end (silent), 128-130 low.
    // A long high table (a whole song of more than 32 positions) plays 129,
    // 130 and its last entry from there, and two entries past it from the low.
    const bool longSong = song.high > 130;
    const int kHigh = song.high, kLow = longSong ? song.high - 125 : 3, kChains = 16;
    const int entries[] = {0, 1, longSong ? 129 : 2, longSong ? 130 : 3, longSong ? kHigh - 1 : 128,
                           longSong ? kHigh : 129, longSong ? kHigh + 2 : 130};
    for (int channel = 1; channel <= 2; ++channel) {
        spread(200);
        t << "song" << channel << "\r\n\tbyte ";
        for (int step = 0; step < 4 + channel && !(channel == 2 && song.silent2); ++step)
            t << entries[next(7)] << ",";
        t << "255\r\n";
    }
    const auto chains = [&](int count) {
        for (int entry = 0; entry < count; ++entry) {
            t << "\tword ";
            for (int chain = 0; chain < 4; ++chain) {
                const unsigned pick = next(kChains + 2);
                t << (pick >= kChains ? std::string("0") : "C" + std::to_string(pick)) << (chain < 3 ? "," : "\r\n");
            }
        }
    };
    spread(200);
    t << "patternArrayH\r\n";
    chains(kHigh);
    spread(200);
    t << "patternArrayL\r\n";
    chains(kLow);
    for (int chain = 0; chain < kChains; ++chain) {
        spread(40);
        t << "C" << chain << "\r\n\tbyte ";
        for (int row = 0; row < 8; ++row)
            t << (next(4) == 0 ? 255u : next(255)) << (row < 7 ? "," : "\r\n");
    }
    return t.str();
}

namespace {
// The samples of [from, to) seconds, clipped to the recording, and their mean.
struct Span {
    std::size_t begin, end;
    double mean = 0.0;
};
Span span(const std::vector<float>& samples, double from, double to)
{
    Span span{static_cast<std::size_t>(std::max(0.0, from) * Audio::kRate),
              std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, to) * Audio::kRate))};
    span.end = std::max(span.begin, span.end);
    for (std::size_t i = span.begin; i < span.end; ++i)
        span.mean += samples[i] / double(span.end - span.begin);
    return span;
}
} // namespace

double Audio::level(double from, double to) const
{
    const Span at = span(samples, from, to);
    double sum = 0.0;
    for (std::size_t i = at.begin; i < at.end; ++i)
        sum += (samples[i] - at.mean) * (samples[i] - at.mean);
    return at.end > at.begin ? std::sqrt(sum / double(at.end - at.begin)) : 0.0;
}

double Audio::frequency(double from, double to) const
{
    const auto [begin, end, mean] = span(samples, from, to);
    if (end <= begin + 2)
        return 0.0;
    // Rising crossings with a little hysteresis, so ringing at the edges of
    // the resampled square wave does not count twice.
    const double band = 0.3 * level(from, to);
    bool high = samples[begin] > mean;
    std::size_t first = 0, last = 0, rises = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (!high && samples[i] > mean + band) {
            high = true;
            if (rises++ == 0)
                first = i;
            last = i;
        } else if (high && samples[i] < mean - band) {
            high = false;
        }
    }
    if (rises < 2)
        return 0.0;
    return double(rises - 1) * kRate / double(last - first);
}

std::vector<Sound> Audio::sounds() const
{
    constexpr double kWindow = 0.005, kHop = 0.001;
    std::vector<Sound> found;
    bool on = false;
    for (double t = 0; t + kWindow <= duration(); t += kHop) {
        if (on != (level(t, t + kWindow) > kSound)) {
            on = !on;
            if (on)
                found.push_back({t, duration()});
            else
                found.back().stop = t;
        }
    }
    return found;
}

Audio listen(const std::string& rom, double seconds, const std::vector<std::string>& stellaOptions)
{
    // One stella at a time, also across test programs that ctest runs side by
    // side: a loaded machine makes stella drop audio and blurs the timing.
    // A holder that hangs is not waited for longer than a minute.
    QLockFile lock(QDir::temp().filePath(QStringLiteral("ostrak-engine-audio.lock")));
    lock.tryLock(60000);
    Audio audio;
    // SDL's dummy video driver needs no X server and leaves stella most of
    // the time it needs to keep up; should it not record, xvfb-run gives
    // stella a real one on the second try.
    for (int attempt = 0; attempt < 2 && audio.duration() < seconds / 2; ++attempt) {
        QTemporaryDir home;
        QDir(home.path()).mkpath(QStringLiteral(".config"));
        const std::string raw = home.path().toStdString() + "/audio.raw";
        std::map<std::string, std::string> env{{"HOME", home.path().toStdString()},
                                               {"SDL_AUDIODRIVER", "disk"},
                                               {"SDL_DISKAUDIOFILE", raw},
                                               {"SDL_RENDER_DRIVER", "software"}};
        // timeout ends the whole group (stella, xvfb-run, Xvfb); -k in case
        // one of them ignores the polite signal.
        std::vector<std::string> argv{"timeout", "-k", "2", std::to_string(seconds)};
        if (attempt == 0)
            env["SDL_VIDEODRIVER"] = "dummy";
        else
            argv.insert(argv.end(), {"xvfb-run", "-a"});
        argv.push_back("stella");
        argv.insert(argv.end(), stellaOptions.begin(), stellaOptions.end());
        argv.push_back(rom);
        runProgram(argv, home.path().toStdString(), env, int(seconds * 1000) + 5000);
        if (!QFile::exists(QString::fromStdString(raw)))
            continue;
        const std::string bytes = testing_support::readBytes(raw);
        // For a look at a failing run: ENGINE_AUDIO_KEEP=<folder> keeps the raw samples.
        if (const char* keep = std::getenv("ENGINE_AUDIO_KEEP"))
            testing_support::writeBytes(std::string(keep) + "/" + currentTestName() + ".raw", bytes);
        const std::size_t frames = bytes.size() / (2 * sizeof(float));
        audio.samples.assign(frames, 0.0f);
        for (std::size_t i = 0; i < frames; ++i) {
            float left = 0, right = 0;
            std::memcpy(&left, bytes.data() + 8 * i, 4);
            std::memcpy(&right, bytes.data() + 8 * i + 4, 4);
            audio.samples[i] = (left + right) / 2;
        }
    }
    removeSlope(audio.samples);
    return audio;
}

void removeSlope(std::vector<float>& samples)
{
    // stella's output settles back to zero slowly (some 16 ms) whenever a
    // note stops, which would read as a quiet sound. Two first-order
    // high-pass stages at 50 Hz take that slope out and leave the tones
    // (262 Hz and up here) within a few per cent.
    const float keep = float(1.0 / (1.0 + 2.0 * std::numbers::pi * 50.0 / Audio::kRate));
    for (int stage = 0; stage < 2; ++stage) {
        float previousIn = samples.empty() ? 0.0f : samples.front(), out = 0.0f;
        for (float& sample : samples) {
            out = keep * (out + sample - previousIn);
            previousIn = sample;
            sample = out;
        }
    }
}

Audio renderAsStellaPlays(const std::shared_ptr<const ostrak::sound::SongImage>& image, double seconds,
                          ostrak::sound::Clock clock)
{
    Audio audio;
    ostrak::sound::SongRenderer renderer(image, int(Audio::kRate), clock);
    std::vector<std::int16_t> samples(std::size_t(seconds * Audio::kRate));
    renderer.render(samples.data(), samples.size());
    for (const std::int16_t sample : samples)
        audio.samples.push_back(float(sample) / 32768.0f);
    removeSlope(audio.samples);
    return audio;
}

std::string trackerPaste(const std::vector<Row>& rows)
{
    std::string text = "ModPlug Tracker  IT\r\n";
    for (const Row& row : rows)
        text += "|" + row.ch1 + "......|" + row.ch2 + "......\r\n";
    return text;
}

std::string EngineTest::previewSong(const std::string& paste)
{
    w().txtIn->setText8(paste);
    w().cmdBang->click();
    w().cmdCompile->click();
    return testing_support::readBytes(folder.file("song.h"));
}

std::string EngineTest::wholeSong(const std::string& paste, const std::string& songOrder)
{
    w().txtIn->setText8(paste);
    w().cmdBang->click();
    w().cmdGenAllCode->click();
    w().txtSong->setText8(songOrder);
    w().cmdCompileSong->click();
    return testing_support::readBytes(folder.file("song.h"));
}

std::string EngineTest::subFolder(const std::string& name)
{
    const std::string path = folder.file(name);
    QDir().mkpath(QString::fromStdString(path));
    return path;
}

} // namespace engine_test
