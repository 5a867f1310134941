#include "FrmFiles.h"

#include "common/NamedControls.h"
#include "common/WindowFit.h"
#include "app/FrmMain.h"
#include "ProjectFile.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPainter>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace ostrak {

// ---- FilledBar

FilledBar::FilledBar(const QString& name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
    setFixedHeight(16);
}

void FilledBar::setWidthUnits(int units)
{
    units_ = units;
    update();
}

void FilledBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double scale = double(width()) / project::kWindowInnerWidth;
    const int pixels = std::clamp(int(units_ * scale + 0.5), 0, width());
    painter.fillRect(0, 0, pixels, height(), QColor(0, 160, 0));
}

// ---- what save and load see of the windows

class FrmFiles::Port : public ProjectWindowPort {
public:
    Port(FrmFiles& files, FrmMain& w, Seams& seams) : files_(files), w_(w), seams_(seams) {}

    bool retryMode() const override { return files_.tickRecover->isChecked(); }
    void setLog(const std::string& text) override { files_.txtLog->setText8(text); }
    void appendLog(const std::string& text) override { files_.txtLog->append8(text); }
    void setBarWidth(int units) override { files_.BoxSave->setWidthUnits(units); }
    void setBusy(bool busy) override
    {
        if (busy)
            files_.setCursor(Qt::WaitCursor);
        else
            files_.unsetCursor();
    }
    void showMessage(const std::string& text) override { seams_.messages.show(text); }
    void refreshFileList() override { files_.refreshFiles(); }

    int songOrderRowCount(int channel) override { return list(channel)->count(); }
    std::string selectSongOrderRow(int channel, int row) override
    {
        ListBox* l = list(channel);
        l->select(row);
        return l->rowText(l->selectedIndex());
    }
    void replaceSongOrder(const std::vector<std::string>& rowsCh1,
                          const std::vector<std::string>& rowsCh2) override
    {
        // Quietly: loading does not move the main window's position.
        replaceRows(w_.listCH1, rowsCh1);
        replaceRows(w_.listCH2, rowsCh2);
    }

private:
    ListBox* list(int channel) const { return channel == 0 ? w_.listCH1 : w_.listCH2; }
    static void replaceRows(ListBox* l, const std::vector<std::string>& rows)
    {
        const QSignalBlocker quiet(l);
        l->select(-1);
        l->clear();
        for (const std::string& row : rows)
            l->addRow(row);
    }

    FrmFiles& files_;
    FrmMain& w_;
    Seams& seams_;
};

// ---- the window

namespace {

QLabel* label(const char* name, const char* caption, QWidget* parent)
{
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    return l;
}

} // namespace

FrmFiles::FrmFiles(FrmMain& w, WorkingMemory& memory, Seams& seams)
    : QWidget(&w, Qt::Window), w_(w), memory_(memory), port_(std::make_unique<Port>(*this, w, seams))
{
    setObjectName(QStringLiteral("frmFiles"));
    setWindowTitle(QStringLiteral("LOAD / SAVE Project Data"));

    Label1 = label("Label1", "Hint: Copy and paste full file address here from Windows file explorer to ensure it exists.", this);
    Label2 = label("Label2", "If you do not specify a directory then it will save in the same directory as the exe.", this);
    Label3 = label("Label3", "File parser / saver log...", this);
    txtFile = new common::TextBox(QStringLiteral("txtFile"), this);
    txtFile->setText8("song.osk");
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    cmdSave = common::namedButton("cmdSave", "SAVE TO THIS FILE", this);
    cmdLoad = common::namedButton("cmdLoad", "LOAD FROM THIS FILE", this);
    cmdUndo = common::namedButton("cmdUndo", "Undo last load and restore", this);
    cmdClose = common::namedButton("cmdClose", "Close this window.", this);
    tickRecover = new QCheckBox(
        QStringLiteral("On error keep trying to save (you may need to keep pressing \"OK\")"), this);
    tickRecover->setObjectName(QStringLiteral("tickRecover"));
    txtLog = new common::MemoBox(QStringLiteral("txtLog"), this);
    txtLog->setReadOnly(true);
    txtLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtLog->setStyleSheet(QStringLiteral("QPlainTextEdit { color: #00ff00; background: black; }"));
    BoxSave = new FilledBar(QStringLiteral("BoxSave"), this);

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(Label1);
    layout->addWidget(txtFile);
    layout->addWidget(Label2);
    auto* middle = new QHBoxLayout;
    middle->addWidget(File1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdLoad);
    buttons->addWidget(cmdUndo);
    buttons->addStretch(1);
    middle->addLayout(buttons);
    layout->addLayout(middle);
    layout->addWidget(tickRecover);
    layout->addWidget(Label3);
    layout->addWidget(txtLog, 1);
    layout->addWidget(BoxSave);
    layout->addWidget(cmdClose);
    common::scrollBody(this, body);
    resize(620, 560);

    connect(cmdSave, &QPushButton::clicked, this, [this] { saveProjectFile(); });
    connect(cmdLoad, &QPushButton::clicked, this, [this] { loadProjectFile(); });
    connect(cmdUndo, &QPushButton::clicked, this, [this] { undoLastLoad(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { closeWindow(); });
    connect(File1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        txtFile->setText8(common::fromQt(item->text()));
    });
    connect(File1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && !refreshing_)
            txtFile->setText8(common::fromQt(item->text()));
    });

    refreshFiles();
    BoxSave->setWidthUnits(1);
}

FrmFiles::~FrmFiles() = default;

std::string FrmFiles::nativeFileName() const
{
    // The box holds 8-bit text; the file system wants its own encoding.
    const QByteArray name = QFile::encodeName(common::toQt(txtFile->text8()));
    return std::string(name.constData(), static_cast<std::size_t>(name.size()));
}

void FrmFiles::saveProjectFile()
{
    saveProject(nativeFileName(), memory_, *port_);
}

void FrmFiles::loadProjectFile()
{
    loadProject(nativeFileName(), memory_, *port_);
}

void FrmFiles::undoLastLoad()
{
    memory_.RestoreUndoCopy();
}

void FrmFiles::closeWindow()
{
    BoxSave->setWidthUnits(0);
    hide();
}

void FrmFiles::closeEvent(QCloseEvent* e)
{
    // The title bar's close does what "Close this window." does.
    BoxSave->setWidthUnits(0);
    e->accept();
}

void FrmFiles::showEvent(QShowEvent* e)
{
    // Files may have come or gone while the window was hidden.
    refreshFiles();
    QWidget::showEvent(e);
}

void FrmFiles::refreshFiles()
{
    refreshing_ = true;
    File1->clear();
    const QStringList names = QDir::current().entryList({QStringLiteral("*.osk")}, QDir::Files, QDir::Name);
    File1->addItems(names);
    refreshing_ = false;
}

} // namespace ostrak
