#include "ImportCommands.h"

#include "FrmImport.h"
#include "app/FrmMain.h"
#include "common/Numbers.h"
#include "store/MemoryCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>

#include <algorithm>
#include <charconv>
#include <numeric>

namespace ostrak {

namespace {

// Far past any real module; keeps a wrong pick (a disk image, a video) from
// filling the memory.
constexpr qint64 kLargestModule = 256 * 1024 * 1024;

// A whole number from 0 up, and nothing else.
std::optional<int> wholeNumber(const std::string& text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::string describePattern(const OrderPattern& p)
{
    return "pattern " + std::to_string(p.pattern) + (p.name.empty() ? "" : " \"" + p.name + "\"") + " ("
           + std::to_string(p.rows) + " rows)";
}

// The note on rows the converter leaves out, as for a paste.
std::string leftOutNote(int rows)
{
    const int past = rowsPastConverter(rows);
    return past > 0 ? "; " + std::to_string(past) + " rows past row " + std::to_string(rows - past - 1)
                          + " left out, as for a paste"
                    : "";
}

// Holds the song views for the life of an import command, however it ends.
class ViewsHeld {
public:
    explicit ViewsHeld(const std::function<void(bool)>& hold) : hold_(hold) { hold_(true); }
    ~ViewsHeld() { hold_(false); }
    ViewsHeld(const ViewsHeld&) = delete;
    ViewsHeld& operator=(const ViewsHeld&) = delete;

private:
    const std::function<void(bool)>& hold_;
};

} // namespace

ImportCommands::ImportCommands(FrmImport& f, FrmMain& w, WorkingMemory& store, Seams& seams, MemoryCommands& memory)
    : f_(f), w_(w), store_(store), seams_(seams), memory_(memory)
{
    QObject::connect(w.cmdImport, &QPushButton::clicked, &f, [this] { showWindow(); });
    QObject::connect(f.cmdBrowseModule, &QPushButton::clicked, &f, [this] { browse(); });
    QObject::connect(f.cmdOpenModule, &QPushButton::clicked, &f, [this] { openModule(); });
    QObject::connect(f.txtModule, &QLineEdit::returnPressed, &f, [this] { openModule(); });
    QObject::connect(f.cmdImportPattern, &QPushButton::clicked, &f, [this] {
        const ViewsHeld held(holdSongViews);
        importPattern();
    });
    QObject::connect(f.cmdImportSong, &QPushButton::clicked, &f, [this] {
        const ViewsHeld held(holdSongViews);
        importSong();
    });
    for (QComboBox* channel : {f.cmbChannelA, f.cmbChannelB})
        QObject::connect(channel, &QComboBox::currentIndexChanged, &f, [this] { refreshMap(); });
    QObject::connect(f.cmbNotes, &QComboBox::currentIndexChanged, &f, [this] { setDefaultTranspose(); });
}

void ImportCommands::showWindow()
{
    f_.txtStartPos->setText8(w_.txtPos->text8());
    f_.show();
    f_.raise();
    f_.activateWindow();
}

void ImportCommands::log(const std::string& line)
{
    f_.txtImportLog->appendPlainText(QString::fromStdString(line));
}

// The texts here are UTF-8 (file and pattern names); message boxes take
// 8-bit Latin-1 text like every other message of ostrak.
void ImportCommands::refuse(const std::string& text)
{
    log(text);
    seams_.messages.show(QString::fromStdString(text).toLatin1().toStdString());
}

int ImportCommands::channelOf(const QComboBox* box)
{
    const QVariant channel = box->currentData();
    return channel.isValid() ? channel.toInt() : -1;
}

void ImportCommands::browse()
{
    const QString path = f_.chooseModuleFile(&f_);
    if (path.isEmpty())
        return;
    f_.txtModule->setText(path);
    openModule();
}

bool ImportCommands::openModule()
{
    // Whatever was open is closed first, so a failed open never leaves the
    // previous module behind the new name.
    module_.reset();
    const QSignalBlocker blockA(f_.cmbChannelA), blockB(f_.cmbChannelB);
    f_.listPatterns->clear();
    f_.cmbChannelA->clear();
    f_.cmbChannelB->clear();
    f_.tblInstruments->setRowCount(0);
    uses_.clear();

    const QString path = f_.txtModule->text();
    const std::string shown = path.toStdString();
    const QFileInfo info(path);
    if (path.isEmpty()) {
        refuse("Type the module's path or press Browse... first.");
        return false;
    }
    if (!info.exists()) {
        refuse("The module " + shown + " does not exist.");
        return false;
    }
    if (info.isDir()) {
        refuse(shown + " is a folder, not a module.");
        return false;
    }
    if (info.size() > kLargestModule) {
        refuse(shown + " is far too large to be a module.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refuse("The module " + shown + " cannot be read: " + file.errorString().toStdString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    try {
        module_.emplace(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    } catch (const ModuleError& e) {
        refuse(shown + ": " + e.what());
        return false;
    }

    const TrackerModule& m = *module_;
    const SongOrderList order = m.firstSongOrder();
    log("Opened " + shown + ": " + m.formatName() + ", " + std::to_string(m.channels()) + " channels, "
        + std::to_string(m.patterns()) + " patterns, song order of " + std::to_string(order.entries.size())
        + " entries.");
    if (!m.warnings().empty())
        log("libopenmpt: " + m.warnings());
    if (order.namesNoPattern > 0)
        log(std::to_string(order.namesNoPattern) + " order entries name no pattern and are left out.");

    for (const OrderPattern& p : m.orderPatterns()) {
        auto* item = new QTreeWidgetItem(f_.listPatterns);
        item->setText(0, QString::number(p.pattern));
        item->setText(1, QString::fromStdString(p.name));
        item->setText(2, QString::number(p.rows));
        item->setText(3, QString::fromStdString(common::joinNumbers(p.orders)));
        item->setData(0, Qt::UserRole, p.pattern);
    }
    if (f_.listPatterns->topLevelItemCount() > 0)
        f_.listPatterns->setCurrentItem(f_.listPatterns->topLevelItem(0));
    else
        log("The module has no song order: open patterns can't be listed.");

    fillChannels();
    if (m.channels() < 2)
        log("The module has one channel: CH2 stays empty.");
    refreshMap();
    return true;
}

bool ImportCommands::convertAtCurrentPosition(const std::string& text)
{
    takePendingSlot();
    w_.txtIn->setText8(text);
    w_.cmdBang->click();
    // The converter stops before storing anything when swap.txt fails, and
    // then has told the user why.
    return store_.StorePaste[std::size_t(memory_.CurrentPosition())] == text;
}

ImportCommands::SongTime ImportCommands::songTime() const
{
    SongTime time;
    time.song = module_->playedSong();
    time.framesPerSecond = w_.chkPal->isChecked() ? 50 : 60;
    std::vector<double> starts;
    for (const PlayedRow& r : time.song.rows)
        starts.push_back(r.start);
    time.timing = chooseRowTiming(starts, time.song.seconds, time.framesPerSecond);
    time.rows = engineRows(time.timing.repeats);
    return time;
}

void ImportCommands::setTempo(const SongTime& time)
{
    w_.cmbTempo->setText8(tempoText(time.timing.framesPerRow));
    for (const std::string& line : tempoLog(time.song, time.timing, time.framesPerSecond))
        log(line);
}

void ImportCommands::importPattern()
{
    if (!module_) {
        refuse("Open a module first.");
        return;
    }
    const QTreeWidgetItem* item = f_.listPatterns->currentItem();
    if (!item) {
        refuse("Select a pattern in the list first.");
        return;
    }
    const int pattern = item->data(0, Qt::UserRole).toInt();
    const std::optional<ImportSettings> settings = readSettings();
    if (!settings)
        return;
    // The pattern's rows as the song first plays them (from where it is
    // entered to a break or jump), at the song's row length, so patterns
    // imported one by one keep the song's time. One the song never reaches
    // gives its rows as written, one engine row each.
    const SongTime time = songTime();
    const std::vector<PlayedRow>& song = time.song.rows;
    const auto first = std::find_if(song.begin(), song.end(), [&](const PlayedRow& r) { return r.pattern == pattern; });
    const auto end = std::find_if(first, song.end(), [&](const PlayedRow& r) { return r.order != first->order; });
    std::vector<PlayedRow> played;
    std::vector<EngineRow> rows;
    std::vector<std::size_t> cuts;
    if (first != song.end()) {
        const auto engineRowOf = [&](auto at) {
            return std::size_t(std::accumulate(time.timing.repeats.begin(),
                                               time.timing.repeats.begin() + (at - song.begin()), 0));
        };
        played = song;
        rows = time.rows;
        cuts = {engineRowOf(first), engineRowOf(end)};
    } else {
        for (int r = 0; r < module_->rows(pattern); ++r) {
            played.push_back({0, pattern, r});
            rows.push_back({r, true});
        }
        cuts = {0, rows.size()};
    }
    std::string text;
    PitchReport report;
    try {
        text = importTexts(*module_, played, rows, cuts, *settings, report).at(0);
    } catch (const ModuleError& e) {
        refuse(e.what());
        return;
    }
    const int position = memory_.CurrentPosition();
    if (!convertAtCurrentPosition(text)) {
        log("Pattern " + std::to_string(pattern) + " was not stored.");
        return;
    }
    const int engineRowCount = int(cuts[1] - cuts[0]);
    const OrderPattern shown{pattern, module_->patternName(pattern), module_->rows(pattern), {}};
    if (first == song.end()) {
        log("Imported " + describePattern(shown) + " to position " + std::to_string(position)
            + ", its rows as written: the song never plays it" + leftOutNote(engineRowCount) + ".");
    } else {
        setTempo(time);
        const PlayedRow& last = *(end - 1);
        log("Imported " + describePattern(shown) + " to position " + std::to_string(position) + " as order "
            + std::to_string(first->order) + " plays it: rows " + std::to_string(first->row) + " to "
            + std::to_string(last.row) + ", " + std::to_string(engineRowCount) + " rows at the song's tempo"
            + leftOutNote(engineRowCount) + ".");
    }
    logNotes({pattern}, *settings, report);
}

void ImportCommands::importSong()
{
    if (!module_) {
        refuse("Open a module first.");
        return;
    }
    const std::optional<int> start = wholeNumber(f_.txtStartPos->text8());
    if (!start || *start > kLastSongPosition) {
        refuse("The first position must be a number from 0 to " + std::to_string(kLastSongPosition) + ".");
        return;
    }
    const std::optional<ImportSettings> settings = readSettings();
    if (!settings)
        return;

    // Every text is made before anything changes, so a fault in the module
    // cannot leave half a song behind.
    const SongTime time = songTime();
    if (time.song.rows.empty()) {
        refuse("The module plays no rows: there is nothing to import as a song. Nothing was imported.");
        return;
    }
    std::vector<std::size_t> cuts;
    for (std::size_t r = 0; r <= time.rows.size(); r += kPositionRows)
        cuts.push_back(r);
    std::vector<std::string> texts;
    PitchReport report;
    try {
        texts = importTexts(*module_, time.song.rows, time.rows, cuts, *settings, report);
    } catch (const ModuleError& e) {
        refuse(std::string(e.what()) + " Nothing was imported.");
        return;
    }
    const std::variant<PositionPlan, std::string> planned = planPositions(texts, *start);
    if (const auto* why = std::get_if<std::string>(&planned)) {
        refuse(*why + " Nothing was imported.");
        return;
    }
    const PositionPlan& plan = std::get<PositionPlan>(planned);

    store_.SaveUndoCopy();
    log("Memory copied for undo: \"Undo last load and restore\" in the file operations window brings it back.");
    setTempo(time);
    for (std::size_t i = 0; i < plan.stored.size(); ++i) {
        const int position = *start + int(i);
        w_.txtPos->setText8(std::to_string(position));
        if (!convertAtCurrentPosition(texts[std::size_t(plan.stored[i])])) {
            log("Stopped: position " + std::to_string(position)
                + " was not stored. The song order lists are unchanged; undo brings the memory back.");
            return;
        }
        log("Imported position " + std::to_string(position) + ": "
            + rowsText(time.song.rows, time.rows, std::size_t(plan.stored[i]) * kPositionRows) + ".");
    }
    for (int position : plan.positions) {
        w_.txtPos->setText8(std::to_string(position));
        w_.cmdAdd->click();
    }
    log("Song order: " + std::to_string(plan.positions.size()) + " rows added to both lists ("
        + common::joinNumbers(plan.positions) + ").");
    log(lengthLog(time.song, time.timing, time.framesPerSecond));
    std::vector<int> patterns;
    for (const PlayedRow& r : time.song.rows)
        if (std::find(patterns.begin(), patterns.end(), r.pattern) == patterns.end())
            patterns.push_back(r.pattern);
    logNotes(patterns, *settings, report);
}

} // namespace ostrak
