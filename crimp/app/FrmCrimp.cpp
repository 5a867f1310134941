#include "FrmCrimp.h"

#include "common/NamedControls.h"
#include "CrimpCommands.h"
#include "common/WindowFit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace crimp {

const char* const kDefaultSearchText =
    "\tbyte %11000010  ;0|F-6|14\r\n"
    "\tbyte %11000011  ;1|E-6|14\r\n"
    "\tbyte %11000100  ;2|D#6|14\r\n"
    "\tbyte %00111001  ;3|F#4|3\r\n"
    "\tbyte %00111001  ;4|...|0\r\n"
    "\tbyte %00111001  ;5|...|0\r\n"
    "\tbyte %00111001  ;6|...|0\r\n"
    "\tbyte %00111001  ;7|...|0\r\n"
    "\tbyte %00000000  ; not imp yet\r\n";

void setCaption8(QLabel* label, const std::string& text)
{
    label->setText(common::toQt(text));
}

std::string caption8(const QLabel* label)
{
    return common::fromQt(label->text());
}

namespace {

const QSize kDesignSize(1000, 720);

QLabel* label(const char* name, const char* caption, QWidget* parent)
{
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

QFrame* shape(const char* name, QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setFrameShape(QFrame::Box);
    return f;
}

} // namespace

frmCrimp::frmCrimp(const common::Clock& clock, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCrimp"));
    setWindowTitle(QStringLiteral("Atari 2600 Assembly Datatable Optimiser / LUT Generator"));
    buildControls();
    layOut();
    commands_ = std::make_unique<CrimpCommands>(*this, clock);
    connectCommands();
    resize(kDesignSize);
    common::keepOnScreen(this);
}

frmCrimp::~frmCrimp() = default;

LineTables& frmCrimp::tables()
{
    return commands_->tables();
}

void frmCrimp::buildControls()
{
    txtSearch = new common::MemoBox(QStringLiteral("txtSearch"), this);
    txtSearch->setText8(kDefaultSearchText);
    txtSearch->showAsAssembly(); // lines of song.h, shown as ostrak shows them
    for (int k = 0; k < 9; ++k) {
        Tline[k] = new common::TextBox(QStringLiteral("Tline(%1)").arg(k), this);
        Tline[k]->setText8("LOOK FOR");
    }
    txtLineNum = new common::TextBox(QStringLiteral("txtLineNum"), this);
    txtLineNum->setText8("1");
    txtOut = new ReportBox(QStringLiteral("txtOut"), this);
    txtOut->setText8("REPORT\r\n");

    cmdSearch = common::namedButton("cmdSearch", "Manual Search SONG.H", this);
    cmdAutoSearch = common::namedButton("cmdAutoSearch", "AUTO SEARCH SONG.H", this);
    cmdMakeOpt = common::namedButton("cmdMakeOpt", "Write SONGOPT.H", this);
    Command1 = common::namedButton("Command1", "Dump search", this);
    cmdMemDump = common::namedButton("cmdMemDump", "Dump current Mem", this);
    Command2 = common::namedButton("Command2", "Dump seq matchs", this);

    Label1 = label("Label1", "Start Line", this);
    Label2 = label("Label2", "ORIGINAL INSTANCE:", this);
    Label3 = label("Label3", "NUMBER OF REPITITIONS:", this);
    Label4 = label("Label4", "SIZE before OPTIMISATION:", this);
    Label5 = label("Label5", "SIZE after OPTIMISATION:", this);
    lblOriginal = label("lblOriginal", "?", this);
    lblRepitions = label("lblRepitions", "?", this);
    lblBefore = label("lblBefore", " no idea", this);
    lblAfter = label("lblAfter", " no idea", this);
    lblLen = label("lblLen", "Length...", this);

    BoxLoad = new LoadBar(QStringLiteral("BoxLoad"), QColor(0, 160, 0), this);
    BoxOpt = new LoadBar(QStringLiteral("BoxOpt"), QColor(0, 0, 160), this);
    Shape1 = shape("Shape1", this);
    Shape2 = shape("Shape2", this);
    Shape3 = shape("Shape3", this);
}

void frmCrimp::layOut()
{
    // Left: the run to look for and its nine keys. Right: results and buttons.
    auto* keys = new QVBoxLayout(Shape1);
    for (common::TextBox* box : Tline)
        keys->addWidget(box);

    auto* results = new QGridLayout(Shape2);
    results->addWidget(Label2, 0, 0);
    results->addWidget(lblOriginal, 0, 1);
    results->addWidget(Label3, 1, 0);
    results->addWidget(lblRepitions, 1, 1);
    results->addWidget(Label4, 2, 0);
    results->addWidget(lblBefore, 2, 1);
    results->addWidget(Label5, 3, 0);
    results->addWidget(lblAfter, 3, 1);
    results->addWidget(lblLen, 4, 0, 1, 2);
    results->addWidget(BoxLoad, 5, 0, 1, 2);
    results->addWidget(BoxOpt, 6, 0, 1, 2);

    auto* buttons = new QGridLayout(Shape3);
    buttons->addWidget(Label1, 0, 0);
    buttons->addWidget(txtLineNum, 0, 1);
    buttons->addWidget(cmdSearch, 1, 0);
    buttons->addWidget(cmdAutoSearch, 1, 1);
    buttons->addWidget(cmdMakeOpt, 2, 0, 1, 2);
    buttons->addWidget(Command1, 3, 0);
    buttons->addWidget(cmdMemDump, 3, 1);
    buttons->addWidget(Command2, 4, 0);

    auto* left = new QVBoxLayout;
    left->addWidget(txtSearch, 1);
    left->addWidget(Shape1);
    auto* right = new QVBoxLayout;
    right->addWidget(Shape2);
    right->addWidget(Shape3);
    right->addWidget(txtOut, 1);
    // Below its design size the window scrolls over the controls.
    auto* body = new QWidget(this);
    auto* outer = new QHBoxLayout(body);
    outer->addLayout(left, 1);
    outer->addLayout(right, 1);
    common::scrollBody(this, body, kDesignSize);
}

void frmCrimp::connectCommands()
{
    CrimpCommands* c = commands_.get();
    connect(txtSearch, &common::MemoBox::clicked, this, [this] { txtSearch->setText8(""); });
    connect(cmdSearch, &QPushButton::clicked, this, [c] { c->manualSearch(); });
    connect(cmdAutoSearch, &QPushButton::clicked, this, [c] { c->autoSearch(); });
    connect(cmdMakeOpt, &QPushButton::clicked, this, [c] { c->writeOptimised(); });
    connect(Command1, &QPushButton::clicked, this, [c] { c->dumpSearch(); });
    connect(cmdMemDump, &QPushButton::clicked, this, [c] { c->dumpMemory(); });
    connect(Command2, &QPushButton::clicked, this, [c] { c->dumpMatches(); });
}

} // namespace crimp
