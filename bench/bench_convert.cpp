// Times the paste converter through the real window: the button press on a
// maximal paste (129 row lines of 24 channels, then 1 MB more text).
#include "BenchApp.h"
#include "app/FrmMain.h"
#include "OstrakApp.h"
#include "common/TextFile.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string rowLine(int r)
{
    static const char* notes[] = {"C-4", "D#4", "G-4", "A#4", "C-5", "G-5", "C-6", "===", "^^^", "..."};
    std::string line;
    for (int c = 0; c < 24; ++c) {
        const char* note = notes[(r * 3 + c) % 10];
        const bool empty = note[0] == '.' || note[0] == '=' || note[0] == '^';
        line += "|";
        line += note;
        line += empty ? ".." : (c % 2 ? "01" : "16");
        line += r % 4 == 0 ? "v64" : "...";
        line += r % 16 == 0 ? "A06" : "...";
    }
    return line;
}

std::string maximalPaste()
{
    std::string text = "ModPlug Tracker  IT";
    for (int r = 0; r < 129; ++r)
        text += "\r\n" + rowLine(r);
    const std::size_t rowsEnd = text.size();
    for (int r = 129; text.size() - rowsEnd < 1024 * 1024; ++r)
        text += "\r\n" + rowLine(r);
    return text;
}

double millisecondsSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main(int argc, char** argv)
{
    bench::BenchApp bench(argc, argv);
    if (!bench.ready())
        return 1;

    bench::QuietOstrak quiet;
    ostrak::FrmMain& w = quiet.app.main();
    QApplication::processEvents();

    const std::string paste = maximalPaste();
    auto t0 = std::chrono::steady_clock::now();
    w.txtIn->setText8(paste);
    const double pasteMs = millisecondsSince(t0);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // Set from code, and pasted as a user would (the field then converts
    // its shown text back to 8-bit CR LF text once, inside the timed run).
    auto timeRuns = [&](bool asUser) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            if (asUser)
                w.txtIn->setPlainText(common::toQt(common::toLf(paste)));
            t0 = std::chrono::steady_clock::now();
            w.cmdBang->click();
            times.push_back(millisecondsSince(t0));
        }
        std::sort(times.begin(), times.end());
        double total = 0;
        for (double t : times)
            total += t;
        std::printf("%s over %d runs: mean %.2f ms, median %.2f ms, min %.2f ms, max %.2f ms\n",
                    asUser ? "conversion after a user paste" : "conversion", runs, total / runs,
                    times[times.size() / 2], times.front(), times.back());
    };

    std::printf("paste: %zu bytes, 129 row lines of 24 channels; setting txtIn took %.1f ms\n", paste.size(),
                pasteMs);
    timeRuns(false);
    timeRuns(true);
    const bool ok = w.txtLog->text8() == "Saving Pattern" && quiet.messages.shown.empty() &&
                    w.txtOrderA->text8().find(" ;1\r\n") != std::string::npos;
    if (!ok)
        std::printf("RESULT WRONG\n");
    return ok ? 0 : 1;
}
