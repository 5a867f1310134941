// Times "Import Whole Song" through the real windows: an IT module of 66
// different 64-row patterns, its notes mapped by pitch, each position
// converted by the ">> BANG! >>" command and added to the song order.
#include "BenchApp.h"
#include "support/ModuleWriter.h"
#include "app/FrmMain.h"
#include "OstrakApp.h"
#include "import/FrmImport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    bench::BenchApp bench(argc, argv);
    if (!bench.ready())
        return 1;
    const std::string module = testing_support::writeIt(testing_support::distinctPatternSong(66));
    QFile file(QStringLiteral("song66.it"));
    if (!file.open(QIODevice::WriteOnly) || file.write(module.data(), qint64(module.size())) != qint64(module.size())) {
        std::fprintf(stderr, "cannot write the module\n");
        return 1;
    }
    file.close();

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<double> times, cpuTimes;
    bool ok = true;
    for (int i = 0; i < runs; ++i) {
        bench::QuietOstrak quiet;
        ostrak::FrmMain& w = quiet.app.main();
        ostrak::FrmImport& import = quiet.app.importer();
        w.cmdImport->click();
        QApplication::processEvents();
        import.txtModule->setText(QStringLiteral("song66.it"));
        import.txtStartPos->setText8("0");

        const auto t0 = std::chrono::steady_clock::now();
        const std::clock_t c0 = std::clock();
        import.cmdOpenModule->click();
        import.cmdImportSong->click();
        cpuTimes.push_back(1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());

        // Mapped by pitch (the module is not written for ostrak): runs whose
        // mapped cells read the same share a position.
        ok = ok && quiet.messages.shown.empty() && w.listCH1->count() == 66 && w.listCH2->count() == 66
             && quiet.app.state().memory.StoreNameA[0] == "Pos0_C1_"
             && import.txtImportLog->toPlainText().contains(QStringLiteral("By pitch:"));
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    // The processor time shows the cost apart from other programs sharing the machine.
    std::printf("whole-song import of 66 patterns x 64 rows (open + import) over %d runs: median %.1f ms, "
                "min %.1f ms, max %.1f ms (target < 250 ms); processor time median %.1f ms\n",
                runs, times[times.size() / 2], times.front(), times.back(), cpuTimes[cpuTimes.size() / 2]);
    if (!ok)
        std::printf("RESULT WRONG\n");
    return ok ? 0 : 1;
}
