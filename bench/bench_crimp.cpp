// Timings for crimp's searches: the plain pairwise auto search against the
// grouping one (identical reports checked), on a whole song shaped like real
// music and on the worst case of the tables, and the window end to end.
#include "support/SongMaker.h"

#include "common/Clock.h"
#include "common/TextFile.h"
#include "app/FrmCrimp.h"
#include "search/LineTables.h"
#include "search/RunSearch.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<void()>& work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double bestOf(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int r = 0; r < runs; ++r)
        best = std::min(best, millisecondsOf(work));
    return best;
}

crimp::LineTables tablesOf(const std::string& song)
{
    crimp::LineTables t;
    t.clearForSearch();
    t.loadLines(song);
    return t;
}

bool compareSearches(const char* title, const crimp::LineTables& t, bool runReference)
{
    const int last = t.lastSearchPosition();
    crimp::PairList fast;
    const double fastMs = bestOf(10, [&] { fast = crimp::pairsByGrouping(t.lineKeys, last); });
    std::string fastReport;
    const double reportMs = bestOf(3, [&] { fastReport = crimp::autoReport(fast, t.lineKeys); });
    std::printf("%s: %d lines, %llu pairs (%zu listed), report %.1f MB\n", title, t.lineCount,
                static_cast<unsigned long long>(fast.total), fast.pairs.size(), fastReport.size() / 1e6);
    std::printf("  grouping search      %9.2f ms\n", fastMs);
    std::printf("  report text          %9.2f ms\n", reportMs);
    if (!runReference)
        return true;
    crimp::PairList reference;
    const double referenceMs = millisecondsOf([&] { reference = crimp::pairsByComparison(t.lineKeys, last); });
    const bool same = reference.total == fast.total && reference.pairs == fast.pairs
        && crimp::autoReport(reference, t.lineKeys) == fastReport;
    std::printf("  pairwise comparison  %9.2f ms\n", referenceMs);
    std::printf("  speed-up             %9.0fx\n", referenceMs / fastMs);
    std::printf("  reports identical:   %s\n", same ? "yes" : "NO");
    return same;
}

void windowTimings(const std::string& song, const std::string& title, bool withPlainEdit)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    common::writeWholeFile("song.h", song);
    common::SystemClock clock;
    crimp::frmCrimp w(clock);
    w.show();
    QApplication::processEvents();
    const double manualMs = millisecondsOf([&] {
        w.cmdSearch->click();
        QApplication::processEvents();
    });
    const double autoMs = millisecondsOf([&] {
        w.cmdAutoSearch->click();
        QApplication::processEvents(); // lay out and paint what is on screen
    });
    std::printf("%s in the window: manual search with file read %.1f ms; auto search, click to report "
                "shown %.1f ms (%d report rows)\n",
                title.c_str(), manualMs, autoMs, w.txtOut->rowCount());
    QDir::setCurrent(previous);
    if (!withPlainEdit)
        return;
    const std::string report = w.txtOut->text8();
    QPlainTextEdit plain;
    plain.setUndoRedoEnabled(false);
    plain.setLineWrapMode(QPlainTextEdit::NoWrap);
    plain.show();
    const double plainMs = millisecondsOf([&] {
        plain.setPlainText(QString::fromLatin1(report.data(), static_cast<qsizetype>(report.size())));
        QApplication::processEvents();
    });
    std::printf("  the same report in a plain text edit (no wrap, no undo): %.1f ms\n", plainMs);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool ok = true;

    const std::string whole = crimp_testing::joinCrLf(crimp_testing::makeSongLines({}));
    ok &= compareSearches("Whole song", tablesOf(whole), true);

    std::string alike;
    for (int k = 0; k < crimp::kTableSize; ++k)
        alike += "\tbyte %00000000  ; same\r\n";
    const bool fullWorst = argc > 1 && std::string(argv[1]) == "--full-worst";
    ok &= compareSearches("Worst case, all lines alike", tablesOf(alike), fullWorst);
    if (!fullWorst)
        std::printf("  (pairwise comparison skipped; run with --full-worst)\n");

    windowTimings(whole, "Whole song", true);
    crimp_testing::SongShape big;
    big.positions = 89; // about 32,000 lines
    windowTimings(crimp_testing::joinCrLf(crimp_testing::makeSongLines(big)), "32,000-line song", false);
    windowTimings(alike, "Worst case", false);
    return ok ? 0 : 1;
}
