// Times "Save Ostrak.it": the click that builds the template for the start-up
// settings (eight slots, 232 samples) and writes it whole, and the template's
// bytes alone, for NTSC and PAL.
#include "BenchApp.h"
#include "template/Template.h"

#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace {

template <typename F>
double medianMs(int runs, F&& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    bench::BenchApp app(argc, argv);
    if (!app.ready())
        return 1;
    bench::QuietOstrak quiet;
    ostrak::FrmMain& w = quiet.app.main();
    constexpr int kRuns = 15;
    const double click = medianMs(kRuns, [&] { w.cmdSaveTemplate->click(); });
    const auto size = std::filesystem::file_size(ostrak::kTemplateFile);
    std::printf("Save Ostrak.it click (build and write %ju bytes), median of %d: %.1f ms%s\n", std::uintmax_t(size),
                kRuns, click, quiet.messages.shown.empty() ? "" : " (a message was shown!)");
    for (const bool pal : {false, true}) {
        ostrak::InstrumentTexts texts;
        texts.tempo = std::string(1, '3'); // not "3": GCC 12 warns of a false overlap there
        texts.pal = pal;
        for (std::size_t i = 0; i < 8; ++i) {
            texts.soundType[i] = w.WaveMatrix[i]->text8();
            texts.volume[i] = w.WaveVol[i]->text8();
        }
        const ostrak::InstrumentConfig config = ostrak::readInstrumentConfig(texts);
        const double bytes = medianMs(kRuns, [&] { ostrak::templateBytes(config, quiet.app.state().noteTable); });
        std::printf("template bytes alone, %s, median of %d: %.1f ms\n", pal ? "PAL" : "NTSC", kRuns, bytes);
    }
    return 0;
}
