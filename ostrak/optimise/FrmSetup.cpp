#include "FrmSetup.h"

#include "common/NamedControls.h"
#include "common/Failure.h"
#include "common/TextFile.h"
#include "common/WindowFit.h"
#include "app/FrmMain.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <optional>

namespace ostrak {

namespace {

constexpr const char* kInputFile = "optimise.txt";
constexpr const char* kEmptyLog = "Input from file.\r\n";
constexpr const char* kNote =
    "Note: This is an optimizer designed for an input which has a ton of redundancy.  To use, "
    "only convert all the note data RAW without any sequence code.  USE THE DEFAULT NAMING "
    "SYSTEM (eg. Pos3_C2_4) as this program requires this for input.  Simply paste all the "
    "notes in one massive text file in order, and this will generate the chain and sequence "
    "data for you.  I will build this into the program later if I get a chance.  For now, you "
    "will need to manually hack together the text file. Call it optimise.txt and make the last "
    "line 'eof'\r\n";

// The marks are laid out for a surface about 300 by 1050 units; the left
// strip of the window is kept free of controls and the marks are drawn there
// at full width and half height, so 512 patterns fit on one screen.
constexpr double kMarkScaleX = 1.0;
constexpr double kMarkScaleY = 0.5;
constexpr int kMarkMargin = 8;
constexpr int kMarkStripWidth = 310;
constexpr int kMarkStripHeight = 540;

common::MemoBox* logBox(const char* name, QWidget* parent)
{
    auto* m = new common::MemoBox(QLatin1String(name), parent);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    m->setFont(font);
    m->setText8(kEmptyLog);
    return m;
}

common::TextBox* countBox(const char* name, QWidget* parent)
{
    auto* t = new common::TextBox(QLatin1String(name), parent);
    t->setMaximumWidth(80);
    return t;
}

QFrame* shape(const char* name, QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setFrameShape(QFrame::Box);
    return f;
}

// The window's contents, scrolled as one: the controls right of the strip
// where the marks are drawn.
class MarkSurface : public QWidget {
public:
    MarkSurface(const FrmSetup& owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QWidget::paintEvent(e);
        QPainter painter(this);
        for (const OptMark& m : owner_.marks()) {
            painter.setPen(QPen(common::colorFromBgr(m.colour), 0));
            const QPointF a = FrmSetup::surfacePoint(m.x1, m.y1);
            const QPointF b = FrmSetup::surfacePoint(m.x2, m.y2);
            if (m.kind == OptMark::Kind::Line)
                painter.drawLine(a, b);
            else
                painter.drawRect(QRectF(a, b));
        }
    }

private:
    const FrmSetup& owner_;
};

std::string tableFullNote(int channel)
{
    return "\r\nStopped: channel " + std::to_string(channel) + " has no room beyond pattern " +
           std::to_string(OptimiseTables::kLastPattern) + ".\r\n";
}

} // namespace

FrmSetup::FrmSetup(FrmMain& w, Seams& seams)
    : QWidget(&w, Qt::Window), seams_(seams)
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Song Optimiser"));

    Command1 = common::namedButton("Command1", "Open optimise.txt", this);
    Command2 = common::namedButton("Command2", "Optimise memory", this);
    txtIn = logBox("txtIn", this);
    txtOpt = logBox("txtOpt", this);
    Label1 = new QLabel(QStringLiteral("CH1 Raw vs Opt:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("CH2 Raw vs Opt:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtCH1 = countBox("txtCH1", this);
    txtCh1opt = countBox("txtCh1opt", this);
    txtCH2 = countBox("txtCH2", this);
    txtCh2opt = countBox("txtCh2opt", this);
    Text1 = new common::MemoBox(QStringLiteral("Text1"), this);
    Text1->setText8(kNote);
    Text1->setMaximumHeight(110);
    Shape1 = shape("Shape1", this);
    Shape2 = shape("Shape2", this);

    // Shape1 frames the buttons, Shape2 the counts.
    auto* buttons = new QHBoxLayout(Shape1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addStretch(1);
    auto* counts = new QGridLayout(Shape2);
    counts->addWidget(Label1, 0, 0);
    counts->addWidget(txtCH1, 0, 1);
    counts->addWidget(txtCh1opt, 0, 2);
    counts->addWidget(Label2, 1, 0);
    counts->addWidget(txtCH2, 1, 1);
    counts->addWidget(txtCh2opt, 1, 2);
    counts->setColumnStretch(3, 1);

    auto* logs = new QHBoxLayout;
    logs->addWidget(txtIn, 1);
    logs->addWidget(txtOpt, 1);

    surface_ = new MarkSurface(*this, this);
    auto* layout = new QVBoxLayout(surface_);
    layout->setContentsMargins(kMarkStripWidth, 8, 8, 8);
    layout->addWidget(Text1);
    layout->addWidget(Shape1);
    layout->addWidget(Shape2);
    layout->addLayout(logs, 1);
    // Smaller than this the window scrolls, so the marks' strip stays whole.
    common::scrollBody(this, surface_, QSize(kMarkStripWidth + 500, kMarkStripHeight + 16));
    resize(kMarkStripWidth + 900, kMarkStripHeight + 16);

    connect(Command1, &QPushButton::clicked, this, [this] { openInput(); });
    connect(Command2, &QPushButton::clicked, this, [this] { optimiseMemory(); });
}

void FrmSetup::openInput()
{
    // The file is opened before anything is reset, so a missing file costs
    // the user nothing of what the window shows.
    std::optional<common::LineReader> reader;
    try {
        reader.emplace(kInputFile);
    } catch (const common::Failure& f) {
        seams_.messages.show(f.code() == common::kFileNotFound
                                 ? "optimise.txt was not found in the working folder."
                                 : common::genericFailureText(f.code()));
        return;
    }

    txtIn->setText8("");
    OptReadResult read;
    try {
        read = readOptimiseInput(
            [&reader](std::string& line) {
                if (reader->atEnd())
                    return false;
                line = reader->readLine();
                return true;
            },
            tables_);
    } catch (const common::Failure& f) {
        // Only a failing disk gets here; what was read so far is in the tables.
        seams_.messages.show(common::genericFailureText(f.code()));
    }
    reader.reset();

    if (read.end == OptReadEnd::TableFull)
        read.log += tableFullNote(read.fullChannel);
    // The log is built whole and set once: appending block by block would
    // relayout the box thousands of times on a large file.
    txtIn->setText8(read.log);
    txtCH1->setText8(std::to_string(tables_.OptCountCH1));
    txtCH2->setText8(std::to_string(tables_.OptCountCH2));
    keepMarks(read.marks);
}

void FrmSetup::optimiseMemory()
{
    txtOpt->setText8("");
    OptJoinResult joined = joinChannel1Patterns(tables_);
    keepMarks(joined.marks);
    txtOpt->setText8(joined.listing);
}

QPointF FrmSetup::surfacePoint(int x, int y)
{
    return {kMarkMargin + x * kMarkScaleX, kMarkMargin + y * kMarkScaleY};
}

void FrmSetup::keepMarks(const std::vector<OptMark>& marks)
{
    // Drawing the same mark twice changes nothing on the surface, so each is
    // kept once; the list stays bounded however often a file is read.
    bool added = false;
    for (const OptMark& m : marks) {
        if (drawn_.insert(m).second) {
            marks_.push_back(m);
            added = true;
        }
    }
    if (added)
        surface_->update();
}

} // namespace ostrak
