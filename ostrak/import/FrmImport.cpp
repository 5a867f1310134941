#include "FrmImport.h"

#include "NamedControls.h"
#include "app/FrmMain.h"
#include "store/MemoryCommands.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>

#include <charconv>

namespace ostrak {

namespace {

// Far past any real module; keeps a wrong pick (a disk image, a video) from
// filling the memory.
constexpr qint64 kLargestModule = 256 * 1024 * 1024;

const char* kModuleFilter =
    "Tracker modules (*.it *.xm *.s3m *.mod *.mptm *.umx *.mo3 *.669 *.amf *.dbm *.dmf *.dsm *.far *.gdm *.imf "
    "*.mdl *.med *.mt2 *.mtm *.okt *.psm *.ptm *.stm *.ult);;All files (*)";

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

} // namespace

FrmImport::FrmImport(FrmMain& w, OstrakState& state, Seams& seams, MemoryCommands& memory)
    : QWidget(&w, Qt::Window), w_(w), state_(state), seams_(seams), memory_(memory)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import Module"));

    txtModule = new QLineEdit(this);
    txtModule->setObjectName(QStringLiteral("txtModule"));
    cmdBrowseModule = common::namedButton("cmdBrowseModule", "Browse...", this);
    cmdOpenModule = common::namedButton("cmdOpenModule", "Open", this);

    listPatterns = new QTreeWidget(this);
    listPatterns->setObjectName(QStringLiteral("listPatterns"));
    listPatterns->setHeaderLabels({QStringLiteral("Pattern"), QStringLiteral("Name"), QStringLiteral("Rows"),
                                   QStringLiteral("Plays at order")});
    listPatterns->setRootIsDecorated(false);
    listPatterns->setSelectionMode(QAbstractItemView::SingleSelection);
    listPatterns->header()->setStretchLastSection(true);

    cmbChannelA = new QComboBox(this);
    cmbChannelA->setObjectName(QStringLiteral("cmbChannelA"));
    cmbChannelB = new QComboBox(this);
    cmbChannelB->setObjectName(QStringLiteral("cmbChannelB"));
    txtStartPos = new common::TextBox(QStringLiteral("txtStartPos"), this);
    txtStartPos->setMaximumWidth(60);

    cmdImportPattern = common::namedButton("cmdImportPattern", "Import Selected Pattern", this);
    cmdImportSong = common::namedButton("cmdImportSong", "Import Whole Song", this);
    txtImportLog = new QPlainTextEdit(this);
    txtImportLog->setObjectName(QStringLiteral("txtImportLog"));
    txtImportLog->setReadOnly(true);
    txtImportLog->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* g = new QGridLayout(this);
    auto* file = new QHBoxLayout;
    file->addWidget(new QLabel(QStringLiteral("Module"), this));
    file->addWidget(txtModule, 1);
    file->addWidget(cmdBrowseModule);
    file->addWidget(cmdOpenModule);
    g->addLayout(file, 0, 0);
    g->addWidget(listPatterns, 1, 0);
    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(QStringLiteral("CH1 from channel"), this));
    options->addWidget(cmbChannelA);
    options->addWidget(new QLabel(QStringLiteral("CH2 from channel"), this));
    options->addWidget(cmbChannelB);
    options->addStretch(1);
    options->addWidget(new QLabel(QStringLiteral("First position (song)"), this));
    options->addWidget(txtStartPos);
    g->addLayout(options, 2, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdImportPattern);
    buttons->addWidget(cmdImportSong);
    g->addLayout(buttons, 3, 0);
    g->addWidget(txtImportLog, 4, 0);
    g->setRowStretch(1, 3);
    g->setRowStretch(4, 2);
    resize(640, 520);

    chooseModuleFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Open Module"), QString(),
                                            QString::fromLatin1(kModuleFilter));
    };

    connect(cmdBrowseModule, &QPushButton::clicked, this, [this] { browse(); });
    connect(cmdOpenModule, &QPushButton::clicked, this, [this] { openModule(); });
    connect(txtModule, &QLineEdit::returnPressed, this, [this] { openModule(); });
    connect(cmdImportPattern, &QPushButton::clicked, this, [this] { importPattern(); });
    connect(cmdImportSong, &QPushButton::clicked, this, [this] { importSong(); });
}

void FrmImport::showFromMain()
{
    txtStartPos->setText8(w_.txtPos->text8());
    show();
    raise();
    activateWindow();
}

void FrmImport::log(const std::string& line)
{
    txtImportLog->appendPlainText(QString::fromStdString(line));
}

// The texts here are UTF-8 (file and pattern names); message boxes take
// 8-bit Latin-1 text like every other message of ostrak.
void FrmImport::refuse(const std::string& text)
{
    log(text);
    seams_.messages.show(QString::fromStdString(text).toLatin1().toStdString());
}

int FrmImport::channelOf(const QComboBox* box)
{
    const QVariant channel = box->currentData();
    return channel.isValid() ? channel.toInt() : -1;
}

void FrmImport::browse()
{
    const QString path = chooseModuleFile(this);
    if (path.isEmpty())
        return;
    txtModule->setText(path);
    openModule();
}

bool FrmImport::openModule()
{
    // Whatever was open is closed first, so a failed open never leaves the
    // previous module behind the new name.
    module_.reset();
    listPatterns->clear();
    cmbChannelA->clear();
    cmbChannelB->clear();

    const QString path = txtModule->text();
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
        auto* item = new QTreeWidgetItem(listPatterns);
        item->setText(0, QString::number(p.pattern));
        item->setText(1, QString::fromStdString(p.name));
        item->setText(2, QString::number(p.rows));
        item->setText(3, QString::fromStdString(joinNumbers(p.orders)));
        item->setData(0, Qt::UserRole, p.pattern);
    }
    if (listPatterns->topLevelItemCount() > 0)
        listPatterns->setCurrentItem(listPatterns->topLevelItem(0));
    else
        log("The module has no song order: open patterns can't be listed.");

    for (int c = 0; c < m.channels(); ++c) {
        cmbChannelA->addItem(QString::number(c + 1), c);
        cmbChannelB->addItem(QString::number(c + 1), c);
    }
    cmbChannelB->addItem(QStringLiteral("none"));
    cmbChannelA->setCurrentIndex(0);
    cmbChannelB->setCurrentIndex(m.channels() >= 2 ? 1 : cmbChannelB->count() - 1);
    if (m.channels() < 2)
        log("The module has one channel: CH2 stays empty.");
    return true;
}

std::string FrmImport::leftOutNote(int rows) const
{
    const int past = rowsPastConverter(rows);
    return past > 0 ? "; " + std::to_string(past) + " rows past row " + std::to_string(rows - past - 1)
                          + " left out, as for a paste"
                    : "";
}

bool FrmImport::convertAtCurrentPosition(const std::string& text)
{
    w_.txtIn->setText8(text);
    w_.cmdBang->click();
    // The converter stops before storing anything when swap.txt fails, and
    // then has told the user why.
    return state_.memory.StorePaste[std::size_t(memory_.CurrentPosition())] == text;
}

void FrmImport::importPattern()
{
    if (!module_) {
        refuse("Open a module first.");
        return;
    }
    const QTreeWidgetItem* item = listPatterns->currentItem();
    if (!item) {
        refuse("Select a pattern in the list first.");
        return;
    }
    const int pattern = item->data(0, Qt::UserRole).toInt();
    const int rows = module_->rows(pattern);
    std::string text;
    try {
        text = module_->clipboardText(pattern, 0, rows - 1, channelOf(cmbChannelA), channelOf(cmbChannelB));
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
}

void FrmImport::importSong()
{
    if (!module_) {
        refuse("Open a module first.");
        return;
    }
    const std::optional<int> start = wholeNumber(txtStartPos->text8());
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

    // Every text is made before anything changes, so a fault in the module
    // cannot leave half a song behind.
    std::vector<std::string> texts;
    try {
        for (int pattern : plan.patterns)
            texts.push_back(module_->clipboardText(pattern, 0, module_->rows(pattern) - 1, channelOf(cmbChannelA),
                                                   channelOf(cmbChannelB)));
    } catch (const ModuleError& e) {
        refuse(std::string(e.what()) + " Nothing was imported.");
        return;
    }

    state_.memory.SaveUndoCopy();
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
}

} // namespace ostrak
