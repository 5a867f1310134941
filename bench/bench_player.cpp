// What player.asm costs a game, measured: the example game built with dasm
// around each song and run cycle by cycle by the tests' 6502 runner for one
// pass of the song. First the demo songs (the example paste, previewed and
// as a whole song, and the tests' song.h files), then every module of FOLDER
// imported whole with the import window's defaults and packed, as
// bench_modules does. Prints for each the frames run and MusicPlay's worst,
// median and least cycles (its JSR and RTS included), the same over all, and
// the player's bytes of ROM.
//   bench_player [FOLDER]      e.g. /work/modules/all
#include "BenchApp.h"
#include "sound/Sound.h"
#include "support/RomRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kMostFrames = 30000; // a pass longer than 8 minutes is cut there
constexpr int kMusicRam = 0xE8;    // example-game.asm's

// The paths of MusicPlay, told by where the song is (the engine model's
// rows): within a row only a hi-hat moves; a new row plays both channels;
// channel 2 takes its next chain at rows 0, 8, 16 and 24, channel 1 at the
// rows before them; the orders move on at rows 26 and 28.
enum Kind { kWithinRow, kNewRow, kChain2, kChain1, kOrderMoves, kKinds };
const char* const kKindNames[kKinds] = {"within a row", "a new row", "a new row, channel 2's next chain",
                                        "a new row, channel 1's next chain", "a new row, an order moves on"};

struct Totals {
    std::vector<int> calls;
    std::vector<int> byKind[kKinds];
    int songs = 0, strays = 0;
};

int median(std::vector<int>& values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// One pass of `songH` in the example game; its MusicPlay cycles go into `totals`.
void measure(const std::string& name, const std::string& songH, Totals& totals)
{
    const ostrak::sound::ReadResult read = ostrak::sound::readSongH(songH);
    if (!read.image || !read.problems.empty()) {
        std::printf("%-56s dasm will not accept it\n", name.c_str());
        return;
    }
    std::vector<Kind> kinds;
    ostrak::sound::FrameRegs before;
    before.row = -1;
    for (ostrak::sound::EngineModel model(read.image); int(kinds.size()) < kMostFrames && !model.passDone();) {
        const ostrak::sound::FrameRegs regs = model.nextFrame();
        const bool newRow = regs.row != before.row || regs.step != before.step;
        kinds.push_back(!newRow ? kWithinRow
                        : regs.row % 8 == 0 ? kChain2
                        : regs.row % 8 == 7 ? kChain1
                        : regs.row == 26 || regs.row == 28 ? kOrderMoves
                                                            : kNewRow);
        before = regs;
    }
    const int frames = int(kinds.size());
    if (frames == 0) {
        std::printf("%-56s silent: no song step to play\n", name.c_str());
        return;
    }
    const QDir engine(QStringLiteral(SOURCE_DIR "/engine"));
    for (const QString& file : engine.entryList({QStringLiteral("*.asm")}, QDir::Files)) {
        QFile::remove(file);
        QFile::copy(engine.filePath(file), file);
    }
    testing_support::writeBytes("song.h", songH);
    QProcess dasm;
    dasm.setProcessChannelMode(QProcess::MergedChannels);
    dasm.start(QStringLiteral("dasm"), {"example-game.asm", "-f3", "-ogame.bin", "-sgame.sym"});
    const bool ran = dasm.waitForFinished(60000);
    const std::string output = dasm.readAll().toStdString();
    if (!ran || dasm.exitCode() != 0 || QFileInfo(QStringLiteral("game.bin")).size() != 4096) {
        const std::size_t over = output.find("the ROM is");
        std::printf("%-56s %s\n", name.c_str(),
                    over != std::string::npos ? ("does not fit beside the game: " + output.substr(over, output.find('\n', over) - over)).c_str()
                                              : "dasm fails");
        return;
    }
    testing_support::RomOptions options;
    options.watch = std::uint16_t(testing_support::dasmSymbol("game.sym", "MusicPlay"));
    options.ramFrom = kMusicRam;
    options.ramTo = kMusicRam + 16;
    const testing_support::RomRun run = testing_support::runRom(testing_support::readBytes("game.bin"), frames, options);
    if (!run.error.empty()) {
        std::printf("%-56s the runner stopped: %s\n", name.c_str(), run.error.c_str());
        return;
    }
    std::vector<int> calls;
    for (std::size_t frame = 0; frame < run.frames.size(); ++frame)
        for (const int call : run.frames[frame].calls) {
            calls.push_back(call);
            totals.byKind[kinds[frame]].push_back(call);
        }
    std::sort(calls.begin(), calls.end());
    std::printf("%-56s %6d frames: worst %3d, median %3d, least %3d cycles\n", name.c_str(), frames, calls.back(),
                calls[calls.size() / 2], calls.front());
    for (const std::string& stray : run.strays)
        std::printf("  MusicPlay %s\n", stray.c_str());
    totals.calls.insert(totals.calls.end(), calls.begin(), calls.end());
    // Reads where a song's data points (entries past patternArrayL's end
    // read whatever follows) are the song's; writes would be the player's.
    totals.strays += int(std::count_if(run.strays.begin(), run.strays.end(),
                                       [](const std::string& stray) { return stray.rfind("reads", 0) != 0; }));
    ++totals.songs;
}

std::string compiled(QPushButton* button)
{
    button->click();
    return testing_support::readBytes("song.h");
}

} // namespace

int main(int argc, char** argv)
{
    bench::BenchApp bench(argc, argv);
    if (!bench.ready()) {
        std::fprintf(stderr, "usage: bench_player [FOLDER]\n");
        return 2;
    }
    Totals totals;
    {
        bench::QuietOstrak quiet;
        ostrak::FrmMain& w = quiet.app.main();
        w.txtIn->setText8(testing_support::readBytes(SOURCE_DIR "/engine/example-paste.txt"));
        w.cmdBang->click();
        measure("example paste, previewed", compiled(w.cmdCompile), totals);
        w.cmdGenAllCode->click();
        w.txtSong->setText8("song1\r\n\tbyte 1,2,255\r\nsong2\r\n\tbyte 3,4,255\r\n");
        measure("example paste, whole song", compiled(w.cmdCompileSong), totals);
    }
    for (const char* name : {"song/preview.h", "song/wholesong.h"})
        measure(std::string("tests/data/") + name, testing_support::dataFile(name), totals);
    const int demoSongs = totals.songs;
    if (argc >= 2) {
        const QString where = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
        for (const QString& file : bench::moduleFiles(where)) {
            bench::QuietOstrak quiet;
            ostrak::FrmMain& w = quiet.app.main();
            bench::openModule(quiet, where + "/" + file).cmdImportSong->click();
            if (!quiet.messages.shown.empty()) {
                std::printf("%-56s refused: %s\n", file.toLocal8Bit().constData(), quiet.messages.shown.back().c_str());
                continue;
            }
            w.cmdGenAllCode->click();
            w.chkPack->setChecked(true);
            measure(file.toLocal8Bit().constData(), compiled(w.cmdCompileSong), totals);
        }
    }
    if (totals.calls.empty())
        return 1;
    for (int kind = 0; kind < kKinds; ++kind) {
        std::vector<int>& calls = totals.byKind[kind];
        if (calls.empty())
            continue;
        const int middle = median(calls);
        std::printf("%-40s %8zu frames: median %3d, worst %3d cycles\n", kKindNames[kind], calls.size(), middle,
                    calls.back());
    }
    std::sort(totals.calls.begin(), totals.calls.end());
    std::printf("\nall %d songs (%d demo songs, %d modules), %zu frames: MusicPlay worst %d, median %d, least %d "
                "cycles; %d writes outside its own\n",
                totals.songs, demoSongs, totals.songs - demoSongs, totals.calls.size(), totals.calls.back(),
                totals.calls[totals.calls.size() / 2], totals.calls.front(), totals.strays);
    const std::int64_t code = testing_support::dasmSymbol("game.sym", "MusicCode"), end = testing_support::dasmSymbol("game.sym", "MusicCodeEnd"),
                       tables = testing_support::dasmSymbol("game.sym", "MusicVolume");
    std::printf("player.asm: %lld bytes of ROM (%lld of code, %lld of tables), 16 bytes of RAM (2 of them scratch)\n",
                static_cast<long long>(end - code), static_cast<long long>(tables - code),
                static_cast<long long>(end - tables));
    return totals.strays ? 1 : 0;
}
