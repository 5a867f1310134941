// Real modules written by others, each imported whole through the import
// window with its defaults, then GEN All Code, SONG COMPILE and dasm; prints
// what each needed, how far its notes are off and whether song.h fits 4 KB.
// The modules are not in the repository (their licences are not its own):
//   bench_modules FOLDER   e.g. the music of Debian's pingus-data and tecnoballz-data
// Exit code 1 when a song.h that fits does not assemble. The "time:" line
// sets the module's length (libopenmpt) against song.wav's, one pass.
#include "BenchApp.h"
#include "support/ConsoleIntervals.h"
#include "import/FrmImport.h"
#include "import/ModuleClipboard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string after(const std::string& text, const std::string& from)
{
    const std::size_t a = text.rfind(from);
    return a == std::string::npos ? "" : text.substr(a + from.size(), text.find('\n', a) - a - from.size());
}

// The share of 100 ms stretches of song.wav that sound (16-bit mono after a 44-byte header).
double soundingShare(const QString& wav)
{
    QFile file(wav);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.constData() + 44);
    const qsizetype count = (bytes.size() - 44) / 2;
    int stretches = 0, sounding = 0;
    for (qsizetype at = 0; at + 4410 <= count; at += 4410, ++stretches) {
        double sum = 0;
        for (qsizetype i = at; i < at + 4410; ++i)
            sum += double(samples[i]) * samples[i];
        sounding += std::sqrt(sum / 4410) > 100;
    }
    return stretches ? double(sounding) / stretches : 0;
}

struct Tally {
    int modules = 0, built = 0, audible = 0, melodic = 0, median = 0, within = 0, off = 0, all = 0;
};

} // namespace

int main(int argc, char** argv)
{
    bench::BenchApp bench(argc, argv);
    if (!bench.ready() || argc < 2) {
        std::fprintf(stderr, "usage: bench_modules FOLDER\n");
        return 2;
    }
    const QString where = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QDir engine(QStringLiteral(SOURCE_DIR "/engine"));
    int failed = 0;
    Tally tally;
    for (const QString& file : bench::moduleFiles(where)) {
        bench::QuietOstrak quiet;
        ostrak::FrmMain& w = quiet.app.main();
        ostrak::FrmImport& imp = bench::openModule(quiet, where + "/" + file);
        std::string map;
        for (int r = 0; r < imp.tblInstruments->rowCount(); ++r)
            map += (map.empty() ? "" : " ") + imp.tblInstruments->item(r, 0)->text().toStdString() + ">"
                   + std::to_string(std::atoi(imp.typeBox(r)->currentText().toLatin1().constData()));
        std::printf("%s: %s, transpose %s, map %s\n", file.toLocal8Bit().constData(),
                    imp.cmbNotes->currentText().toLocal8Bit().constData(), imp.txtTranspose->text8().c_str(),
                    map.c_str());
        QElapsedTimer importTimer;
        importTimer.start();
        imp.cmdImportSong->click();
        const double importMs = importTimer.nsecsElapsed() / 1e6;
        if (!quiet.messages.shown.empty()) {
            std::printf("  refused: %s\n", quiet.messages.shown.back().c_str());
            continue;
        }
        const std::string log = imp.txtImportLog->toPlainText().toStdString();
        std::printf("  %s\n", after(log, "Notes: ").c_str());
        QFile module(where + "/" + file);
        module.open(QIODevice::ReadOnly);
        const QByteArray bytes = module.readAll();
        const testing_support::IntervalFigures iv =
            testing_support::intervalsOfImport(bytes.toStdString(), w, imp, quiet.app.state().memory);
        std::printf("  channels %s and %s; on the console %d intervals, median %.0f cents off, %.0f %% within 50, "
                    "%.0f %% off by 600 or more%s\n",
                    imp.cmbChannelA->currentText().toLocal8Bit().constData(),
                    imp.cmbChannelB->currentText().toLocal8Bit().constData(), iv.pairs, iv.median, 100 * iv.within50,
                    100 * iv.off600, !iv.melodic() ? "" : iv.meetsTargets() ? ": keeps the melody" : ": misses");
        ++tally.modules;
        tally.melodic += iv.melodic();
        tally.median += iv.melodic() && iv.median <= 30;
        tally.within += iv.melodic() && iv.within50 >= 0.5;
        tally.off += iv.melodic() && iv.off600 <= 0.05;
        tally.all += iv.melodic() && iv.meetsTargets();
        bool dasmBuilds = false;
        w.cmdGenAllCode->click();
        // As written, then with Pack repeats: the ROM use ostrak shows, and
        // what dasm makes of the song.h that SONG COMPILE writes.
        for (const bool pack : {false, true}) {
            w.chkPack->setChecked(pack);
            QElapsedTimer timer;
            timer.start();
            w.cmdCompileSong->click();
            const double compileMs = timer.nsecsElapsed() / 1e6;
            // The demo and the player it includes, as the working folder holds them.
            for (const QString& asmFile : engine.entryList({QStringLiteral("*.asm")}, QDir::Files)) {
                QFile::remove(asmFile);
                QFile::copy(engine.filePath(asmFile), asmFile);
            }
            QProcess dasm;
            dasm.setProcessChannelMode(QProcess::MergedChannels);
            dasm.start(QStringLiteral("dasm"), {"engine.asm", "-f3", "-osong.bin"});
            const bool ran = dasm.waitForFinished(60000);
            const std::string output = dasm.readAll().toStdString();
            const bool tooLarge = output.find("song.h is too large") != std::string::npos;
            const bool built = ran && dasm.exitCode() == 0 && QFileInfo(QStringLiteral("song.bin")).size() == 4096;
            std::printf("  %s: %s; song.h %lld bytes, SONG COMPILE %.1f ms: %s\n", pack ? "packed" : "as written",
                        w.lblRomUse->text().toLocal8Bit().constData(),
                        static_cast<long long>(QFileInfo(QStringLiteral("song.h")).size()), compileMs,
                        built      ? "dasm builds it, 4 KB"
                        : tooLarge ? ("does not fit: the ROM is " + after(output, "the ROM is ")).c_str()
                                   : ("dasm fails: " + output).c_str());
            failed += !built && !tooLarge;
            dasmBuilds = dasmBuilds || built;
            QFile::remove(QStringLiteral("song.bin"));
            tally.built += pack && built;
            if (pack && built) {
                // The whole song rendered to song.wav, as Save song.wav does.
                timer.restart();
                w.cmdSaveWav->click();
                std::printf("  import %.1f ms, pack and SONG COMPILE %.1f ms, Save song.wav %.1f ms (%lld bytes)\n",
                            importMs, compileMs, timer.nsecsElapsed() / 1e6,
                            static_cast<long long>(QFileInfo(QStringLiteral("song.wav")).size()));
                const double sounding = soundingShare(QStringLiteral("song.wav"));
                tally.audible += sounding > 0.5;
                std::printf("  song.wav sounds in %.0f %% of its 100 ms stretches\n", 100 * sounding);
            }
        }
        if (!QFileInfo::exists(QStringLiteral("song.wav")))
            w.cmdSaveWav->click();
        const double moduleSeconds = ostrak::TrackerModule(std::string_view(bytes.constData(), std::size_t(bytes.size())))
                                         .durationSeconds();
        const double wavSeconds = double(std::max<qint64>(0, QFileInfo(QStringLiteral("song.wav")).size() - 44)) / 2 / 44100;
        std::printf("  time: module %.1f s, song.wav %.1f s (%.1f %%), tempo %s, %d song order rows, %s; %s\n",
                    moduleSeconds, wavSeconds, 100 * wavSeconds / moduleSeconds, w.cmbTempo->text8().c_str(),
                    w.listCH1->count(), dasmBuilds ? "dasm builds it" : "dasm does not build it",
                    after(log, "Length: ").c_str());
        QFile::remove(QStringLiteral("song.wav"));
    }
    std::printf("%d modules: %d build (packed), %d sound in most of song.wav; %d melodic (15 intervals or more), "
                "of which %d have a median of 30 cents or less, %d at least 50 %% within 50 cents, %d at most 5 %% "
                "off by 600 cents or more, %d all three\n",
                tally.modules, tally.built, tally.audible, tally.melodic, tally.median, tally.within, tally.off,
                tally.all);
    return failed ? 1 : 0;
}
