// Real modules written by others, each imported whole through the import
// window with its defaults, then GEN All Code, SONG COMPILE and dasm; prints
// what each needed, how far its notes are off and whether song.h fits 4 KB.
// The modules are not in the repository (their licences are not its own):
//   bench_modules FOLDER   e.g. the music of Debian's pingus-data and tecnoballz-data
// Exit code 1 when a song.h that fits does not assemble. The "time:" line
// sets the module's length (libopenmpt) against song.wav's, one pass.
#include "BenchApp.h"
#include "import/FrmImport.h"
#include "import/ModuleClipboard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

std::string after(const std::string& text, const std::string& from)
{
    const std::size_t a = text.rfind(from);
    return a == std::string::npos ? "" : text.substr(a + from.size(), text.find('\n', a) - a - from.size());
}

} // namespace

int main(int argc, char** argv)
{
    bench::BenchApp bench(argc, argv);
    if (!bench.ready() || argc < 2) {
        std::fprintf(stderr, "usage: bench_modules FOLDER\n");
        return 2;
    }
    const QString where = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString engine = QStringLiteral(SOURCE_DIR "/engine/engine.asm");
    int failed = 0;
    for (const QString& file : QDir(where).entryList({"*.it", "*.xm", "*.s3m", "*.mod"}, QDir::Files, QDir::Name)) {
        bench::QuietOstrak quiet;
        ostrak::FrmMain& w = quiet.app.main();
        ostrak::FrmImport& imp = quiet.app.importer();
        w.cmdImport->click();
        imp.txtModule->setText(where + "/" + file);
        imp.cmdOpenModule->click();
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
            QFile::remove(QStringLiteral("engine.asm"));
            QFile::copy(engine, QStringLiteral("engine.asm"));
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
            if (pack && built) {
                // The whole song rendered to song.wav, as Save song.wav does.
                timer.restart();
                w.cmdSaveWav->click();
                std::printf("  import %.1f ms, pack and SONG COMPILE %.1f ms, Save song.wav %.1f ms (%lld bytes)\n",
                            importMs, compileMs, timer.nsecsElapsed() / 1e6,
                            static_cast<long long>(QFileInfo(QStringLiteral("song.wav")).size()));
            }
        }
        if (!QFileInfo::exists(QStringLiteral("song.wav")))
            w.cmdSaveWav->click();
        QFile module(where + "/" + file);
        module.open(QIODevice::ReadOnly);
        const QByteArray bytes = module.readAll();
        const double moduleSeconds = ostrak::TrackerModule(std::string_view(bytes.constData(), std::size_t(bytes.size())))
                                         .durationSeconds();
        const double wavSeconds = double(std::max<qint64>(0, QFileInfo(QStringLiteral("song.wav")).size() - 44)) / 2 / 44100;
        std::printf("  time: module %.1f s, song.wav %.1f s (%.1f %%), tempo %s, %d song order rows, %s; %s\n",
                    moduleSeconds, wavSeconds, 100 * wavSeconds / moduleSeconds, w.cmbTempo->text8().c_str(),
                    w.listCH1->count(), dasmBuilds ? "dasm builds it" : "dasm does not build it",
                    after(log, "Length: ").c_str());
        QFile::remove(QStringLiteral("song.wav"));
    }
    return failed ? 1 : 0;
}
