#include "SongLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

namespace ostrak {

namespace {

// With a decimal point whatever the locale (Qt sets the user's at start-up),
// so cmbTempo reads back what was written.
std::string fixed(double v, int decimals)
{
    char text[400];
    return std::string(text, std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals).ptr);
}

constexpr double kLongestRow = 255 + 255.0 / 256; // TEMPODELAY 255 and TEMPOFRAC 255
constexpr int kMostSplits = 8;                     // a common row as up to 8 engine rows

double toWhole256ths(double frames)
{
    return std::clamp(std::round(frames * 256) / 256, 1.0, kLongestRow);
}

// Row lengths in frames grouped when within 1 % and a tenth of a frame
// (rows of one speed and tempo differ only by how finely their starts were
// seen); each group's length and how many rows have it, most rows first.
std::vector<std::pair<double, int>> commonLengths(const std::vector<double>& lengths)
{
    std::vector<double> sorted = lengths;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::pair<double, int>> groups;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j < sorted.size() && sorted[j] <= sorted[i] * 1.01 + 0.1)
            ++j;
        groups.push_back({sorted[i + (j - i) / 2], int(j - i)});
        i = j;
    }
    std::stable_sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    return groups;
}

// Engine rows for each module row at `unit` frames an engine row, counted
// along the song: row i ends on the engine row nearest to where it ends.
RowTiming tryUnit(const std::vector<double>& at, double unit)
{
    RowTiming t;
    long long rows = 0;
    for (std::size_t i = 1; i < at.size(); ++i) {
        const long long end = std::max(rows + 1, std::llround(at[i] / unit));
        t.repeats.push_back(int(end - rows));
        rows = end;
    }
    t.engineRows = int(rows);
    t.framesPerRow = toWhole256ths(at.back() / double(rows));
    // Measured against the module's time stretched to the song's length, so
    // that the 256ths' rounding, the same for every row, is no drift.
    const double stretch = double(rows) * t.framesPerRow / at.back();
    long long n = 0;
    for (std::size_t i = 0; i < at.size(); ++i) {
        t.worstDriftFrames = std::max(t.worstDriftFrames, std::abs(double(n) * t.framesPerRow - at[i] * stretch));
        if (i < t.repeats.size())
            n += t.repeats[i];
    }
    return t;
}

} // namespace

RowTiming chooseRowTiming(const std::vector<double>& starts, double end, double framesPerSecond)
{
    if (starts.empty() || !(end > starts.front()))
        return {};
    std::vector<double> at; // row starts in frames, then the end
    for (double s : starts)
        at.push_back((s - starts.front()) * framesPerSecond);
    at.push_back((end - starts.front()) * framesPerSecond);
    std::vector<double> lengths;
    for (std::size_t i = 1; i < at.size(); ++i)
        lengths.push_back(at[i] - at[i - 1]);
    const std::vector<std::pair<double, int>> groups = commonLengths(lengths);
    const double common = groups.front().first;

    // Units that divide the common row lengths (those of at least half as
    // many rows as the most common), so those rows play evenly; where no
    // length holds half the rows (a swing), the mean row too. Of them, the
    // one with the fewest rows whose rows all start within 0.6 of a common
    // row of the module's, else the closest.
    std::vector<double> units;
    for (const auto& [length, count] : groups) {
        if (2 * count < groups.front().second)
            break;
        const int fewest = std::max(1, int(std::ceil(length / kLongestRow)));
        for (int k = fewest; k < fewest + kMostSplits && (k == fewest || length / k >= 1); ++k)
            units.push_back(std::max(1.0, length / k));
    }
    if (2 * groups.front().second < int(lengths.size()))
        units.push_back(std::min(kLongestRow, std::max(1.0, at.back() / double(lengths.size()))));
    const double tolerance = 0.6 * common;
    std::optional<RowTiming> best;
    for (double unit : units) {
        RowTiming t = tryUnit(at, unit);
        const bool close = t.worstDriftFrames <= tolerance, bestClose = best && best->worstDriftFrames <= tolerance;
        if (!best || (close && !bestClose)
            || (close && (t.engineRows < best->engineRows
                          || (t.engineRows == best->engineRows && t.worstDriftFrames < best->worstDriftFrames)))
            || (!close && !bestClose && t.worstDriftFrames < best->worstDriftFrames))
            best = std::move(t);
    }
    return *best;
}

std::string tempoText(double framesPerRow)
{
    std::string text;
    for (int decimals = 0; decimals <= 3; ++decimals) {
        text = fixed(framesPerRow, decimals);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (std::round(back * 256) == std::round(framesPerRow * 256))
            break;
    }
    return text;
}

std::vector<EngineRow> engineRows(const std::vector<int>& repeats)
{
    std::vector<EngineRow> rows;
    for (std::size_t i = 0; i < repeats.size(); ++i)
        for (int k = 0; k < repeats[i]; ++k)
            rows.push_back({int(i), k == 0});
    while (rows.empty() || rows.size() % kPositionRows != 0)
        rows.push_back({});
    return rows;
}

std::variant<PositionPlan, std::string> planPositions(const std::vector<std::string>& texts, int startPosition)
{
    if (texts.empty())
        return std::string("The module plays no rows: there is nothing to import as a song.");
    if (startPosition < 0 || startPosition > kLastSongPosition)
        return "The first position must be a number from 0 to " + std::to_string(kLastSongPosition) + ".";
    if (int(texts.size()) > kMaxSongOrderRows)
        return "The song plays " + std::to_string(texts.size()) + " positions of " + std::to_string(kPositionRows)
               + " rows one after the other; at most " + std::to_string(kMaxSongOrderRows) + " can be imported.";
    PositionPlan plan;
    std::map<std::string, int> seen;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto [at, added] = seen.emplace(texts[i], startPosition + int(plan.stored.size()));
        if (added)
            plan.stored.push_back(int(i));
        plan.positions.push_back(at->second);
    }
    const int last = startPosition + int(plan.stored.size()) - 1;
    if (last > kLastSongPosition)
        return "The song needs " + std::to_string(plan.stored.size()) + " different positions of "
               + std::to_string(kPositionRows) + " rows: from position " + std::to_string(startPosition)
               + " they would reach position " + std::to_string(last) + ", past "
               + std::to_string(kLastSongPosition) + ", the last one a song order plays on both channels.";
    return plan;
}

namespace {

int fillRows(int engineRows)
{
    return (kPositionRows - engineRows % kPositionRows) % kPositionRows;
}

} // namespace

std::vector<std::string> tempoLog(const PlayedSong& song, const RowTiming& timing, double framesPerSecond)
{
    std::vector<std::string> lines;
    if (song.rows.empty())
        return lines;
    // Rows by speed and tempo, with their frames.
    std::map<std::pair<int, int>, std::pair<int, double>> kinds;
    for (std::size_t i = 0; i < song.rows.size(); ++i) {
        const double end = i + 1 < song.rows.size() ? song.rows[i + 1].start : song.seconds;
        auto& kind = kinds[{song.rows[i].speed, song.rows[i].tempo}];
        ++kind.first;
        kind.second += (end - song.rows[i].start) * framesPerSecond;
    }
    const auto most = std::max_element(kinds.begin(), kinds.end(),
                                       [](const auto& a, const auto& b) { return a.second.first < b.second.first; });
    std::string line = "Tempo: the module plays speed " + std::to_string(most->first.first) + " at "
                       + std::to_string(most->first.second) + " BPM, "
                       + fixed(most->second.second / most->second.first, 2) + " frames a row at "
                       + fixed(framesPerSecond, 0) + " frames a second";
    if (kinds.size() > 1)
        line += ", for " + std::to_string(most->second.first) + " of its " + std::to_string(song.rows.size())
                + " rows; " + std::to_string(kinds.size() - 1) + " other speeds and tempos play the rest";
    const double f = timing.framesPerRow;
    const int whole = int(f), frac = int(std::lround((f - whole) * 256));
    line += ". cmbTempo set to " + tempoText(f) + ": " + std::to_string(whole) + " frames a row"
            + (frac ? " and " + std::to_string(frac) + "/256 of a frame, carried from row to row." : ".");
    lines.push_back(line);
    const auto [fewest, most_] = std::minmax_element(timing.repeats.begin(), timing.repeats.end());
    if (*most_ > 1)
        lines.push_back("Each module row plays as " + std::to_string(*fewest) + " to " + std::to_string(*most_)
                        + " engine rows of " + tempoText(f) + " frames (" + std::to_string(timing.engineRows)
                        + " rows for the module's " + std::to_string(song.rows.size())
                        + "); a row held on sounds as one note.");
    if (timing.worstDriftFrames > 1)
        lines.push_back("Rows start up to " + fixed(timing.worstDriftFrames / framesPerSecond * 1000, 0)
                        + " ms from the module's time, where its row lengths do not divide evenly.");
    if (double(timing.engineRows) * f > (song.seconds * framesPerSecond) * 1.01)
        lines.push_back("The module's rows are shorter than the engine's shortest row (one frame): the song "
                        "plays slower than the module.");
    return lines;
}

std::string lengthLog(const PlayedSong& song, const RowTiming& timing, double framesPerSecond)
{
    const double rowSeconds = timing.framesPerRow / framesPerSecond;
    const double music = timing.engineRows * rowSeconds;
    const int fill = fillRows(timing.engineRows);
    std::string line = "Length: the module " + minutesText(song.seconds) + " (libopenmpt), the song "
                       + minutesText(music) + " ("
                       + fixed(song.seconds > 0 ? 100 * music / song.seconds : 100, 1) + " %)";
    if (fill > 0)
        line += "; the last position ends with " + std::to_string(fill) + " rows of silence ("
                + fixed(fill * rowSeconds, 1) + " s), as the engine plays whole positions: "
                + minutesText(music + fill * rowSeconds) + " a pass";
    line += ".";
    if (song.cut)
        line += " The module plays for more than " + std::to_string(int(kLongestPlayedSong / 60))
                + " minutes without ending: only that much is imported.";
    return line;
}

std::string rowsText(const std::vector<PlayedRow>& played, const std::vector<EngineRow>& rows, std::size_t first)
{
    auto where = [&](const EngineRow& e) {
        const PlayedRow& p = played[std::size_t(e.played)];
        return "order " + std::to_string(p.order) + " row " + std::to_string(p.row) + " (pattern "
               + std::to_string(p.pattern) + ")";
    };
    const std::size_t end = std::min(rows.size(), first + kPositionRows);
    std::size_t last = first;
    while (last < end && rows[last].played >= 0)
        ++last;
    std::string text = last > first ? where(rows[first]) + " to " + where(rows[last - 1]) : "";
    if (last < end)
        text += (text.empty() ? "" : ", then ") + std::to_string(end - last) + " rows of silence";
    return text;
}

std::string minutesText(double seconds)
{
    char text[32];
    const double tenths = std::round(std::max(0.0, seconds) * 10);
    std::snprintf(text, sizeof text, "%d:%04.1f", int(tenths / 600), std::fmod(tenths, 600) / 10);
    return text;
}

} // namespace ostrak
