#include "ImportCommands.h"

#include "FrmImport.h"
#include "app/FrmMain.h"
#include "store/MemoryCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>

#include <charconv>

namespace ostrak {

namespace {

// Far past any real module; keeps a wrong pick (a disk image, a video) from
// filling the memory.
constexpr qint64 kLargestModule = 256 * 1024 * 1024;

std::string joinNumbers(const std::vector<int>& numbers)
{
    std::string text;
    for (int n : numbers)
        text += (text.empty() ? "" : ", ") + std::to_string(n);
    return text;
}

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
        item->setText(3, QString::fromStdString(joinNumbers(p.orders)));
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
    const int rows = module_->rows(pattern);
    const std::optional<ImportSettings> settings = readSettings();
    if (!settings)
        return;
    std::string text;
    PitchReport report;
    try {
        const auto starts = soundingAtPatternStarts(*module_, module_->firstSongOrder(), settings->channelA,
                                                    settings->channelB);
        const auto start = starts.find(pattern);
        text = importText(*module_, pattern, *settings, start == starts.end() ? ChannelsSounding{} : start->second,
                          report);
    } catch (const ModuleError& e) {
        refuse(e.what());
        return;
    }
    const int position = memory_.CurrentPosition();
    if (!convertAtCurrentPosition(text)) {
        log("Pattern " + std::to_string(pattern) + " was not stored.");
        return;
    }
    const OrderPattern shown{pattern, module_->patternName(pattern), rows, {}};
    log("Imported " + describePattern(shown) + " to position " + std::to_string(position) + leftOutNote(rows) + ".");
    logNotes({pattern}, *settings, report);
}

void ImportCommands::importSong()
{
    if (!module_) {
        refuse("Open a module first.");
        return;
    }
    const std::optional<int> start = wholeNumber(f_.txtStartPos->text8());
    if (!start) {
        refuse("The first position must be a number from 0 to " + std::to_string(kLastSongPosition) + ".");
        return;
    }
    const SongOrderList order = module_->firstSongOrder();
    const std::variant<SongPlan, std::string> planned = planSong(order, *start);
    if (const auto* why = std::get_if<std::string>(&planned)) {
        refuse(*why + " Nothing was imported.");
        return;
    }
    const SongPlan& plan = std::get<SongPlan>(planned);
    const std::optional<ImportSettings> settings = readSettings();
    if (!settings)
        return;

    // Every text is made before anything changes, so a fault in the module
    // cannot leave half a song behind.
    std::vector<std::string> texts;
    PitchReport report;
    try {
        const auto starts = soundingAtPatternStarts(*module_, order, settings->channelA, settings->channelB);
        for (int pattern : plan.patterns)
            texts.push_back(importText(*module_, pattern, *settings, starts.at(pattern), report));
    } catch (const ModuleError& e) {
        refuse(std::string(e.what()) + " Nothing was imported.");
        return;
    }

    store_.SaveUndoCopy();
    log("Memory copied for undo: \"Undo last load and restore\" in the file operations window brings it back.");
    for (std::size_t i = 0; i < plan.patterns.size(); ++i) {
        const int position = *start + int(i);
        w_.txtPos->setText8(std::to_string(position));
        const OrderPattern shown{plan.patterns[i], module_->patternName(plan.patterns[i]),
                                 module_->rows(plan.patterns[i]), {}};
        if (!convertAtCurrentPosition(texts[i])) {
            log("Stopped: " + describePattern(shown) + " was not stored at position " + std::to_string(position)
                + ". The song order lists are unchanged; undo brings the memory back.");
            return;
        }
        log("Imported " + describePattern(shown) + " to position " + std::to_string(position)
            + leftOutNote(shown.rows) + ".");
    }
    for (int position : plan.positions) {
        w_.txtPos->setText8(std::to_string(position));
        w_.cmdAdd->click();
    }
    log("Song order: " + std::to_string(plan.positions.size()) + " rows added to both lists ("
        + joinNumbers(plan.positions) + ").");
    if (order.namesNoPattern > 0)
        log(std::to_string(order.namesNoPattern) + " order entries named no pattern and were left out.");
    logNotes(plan.patterns, *settings, report);
}

} // namespace ostrak
