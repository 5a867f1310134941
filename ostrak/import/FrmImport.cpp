#include "FrmImport.h"

#include "common/NamedControls.h"
#include "common/WindowFit.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>

namespace ostrak {

namespace {

const char* kModuleFilter =
    "Tracker modules (*.it *.xm *.s3m *.mod *.mptm *.umx *.mo3 *.669 *.amf *.dbm *.dmf *.dsm *.far *.gdm *.imf "
    "*.mdl *.med *.mt2 *.mtm *.okt *.psm *.ptm *.stm *.ult);;All files (*)";

} // namespace

FrmImport::FrmImport(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window)
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

    tblInstruments = new QTableWidget(0, 5, this);
    tblInstruments->setObjectName(QStringLiteral("tblInstruments"));
    tblInstruments->setHorizontalHeaderLabels({QStringLiteral("Instrument"), QStringLiteral("Name"),
                                               QStringLiteral("Notes played"), QStringLiteral("Sound type"),
                                               QStringLiteral("Octave")});
    tblInstruments->verticalHeader()->setVisible(false);
    tblInstruments->horizontalHeader()->setSectionResizeMode(kInstrumentName, QHeaderView::Stretch);
    tblInstruments->setColumnWidth(kInstrumentType, 190);
    tblInstruments->setSelectionMode(QAbstractItemView::NoSelection);
    cmbNotes = new QComboBox(this);
    cmbNotes->setObjectName(QStringLiteral("cmbNotes"));
    cmbNotes->addItems({QStringLiteral("As pitch codes"), QStringLiteral("By pitch")});
    txtTranspose = new common::TextBox(QStringLiteral("txtTranspose"), this);
    txtTranspose->setMaximumWidth(60);
    txtTranspose->setText8("0");
    txtTuning = new common::TextBox(QStringLiteral("txtTuning"), this);
    txtTuning->setMaximumWidth(60);
    txtTuning->setText8("0");

    cmdImportPattern = common::namedButton("cmdImportPattern", "Import Selected Pattern", this);
    cmdImportSong = common::namedButton("cmdImportSong", "Import Whole Song", this);
    txtImportLog = new QPlainTextEdit(this);
    txtImportLog->setObjectName(QStringLiteral("txtImportLog"));
    txtImportLog->setReadOnly(true);
    txtImportLog->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* body = new QWidget(this);
    auto* g = new QGridLayout(body);
    auto* file = new QHBoxLayout;
    file->addWidget(new QLabel(QStringLiteral("Module"), this));
    file->addWidget(txtModule, 1);
    file->addWidget(cmdBrowseModule);
    file->addWidget(cmdOpenModule);
    g->addLayout(file, 0, 0);
    g->addWidget(listPatterns, 1, 0);
    // The lists say what each channel holds, so each takes a row's room.
    auto* options = new QGridLayout;
    options->addWidget(new QLabel(QStringLiteral("CH1 from channel"), this), 0, 0);
    options->addWidget(cmbChannelA, 0, 1, 1, 3);
    options->addWidget(new QLabel(QStringLiteral("CH2 from channel"), this), 1, 0);
    options->addWidget(cmbChannelB, 1, 1);
    options->addWidget(new QLabel(QStringLiteral("First position (song)"), this), 1, 2);
    options->addWidget(txtStartPos, 1, 3);
    options->setColumnStretch(1, 1);
    g->addLayout(options, 2, 0);
    g->addWidget(tblInstruments, 3, 0);
    auto* notes = new QHBoxLayout;
    notes->addWidget(new QLabel(QStringLiteral("Notes"), this));
    notes->addWidget(cmbNotes);
    notes->addWidget(new QLabel(QStringLiteral("Transpose (semitones)"), this));
    notes->addWidget(txtTranspose);
    notes->addWidget(new QLabel(QStringLiteral("Tuning (cents)"), this));
    notes->addWidget(txtTuning);
    notes->addStretch(1);
    g->addLayout(notes, 4, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdImportPattern);
    buttons->addWidget(cmdImportSong);
    g->addLayout(buttons, 5, 0);
    g->addWidget(txtImportLog, 6, 0);
    g->setRowStretch(1, 3);
    g->setRowStretch(3, 3);
    g->setRowStretch(6, 2);
    common::scrollBody(this, body);
    resize(680, 720);

    chooseModuleFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Open Module"), QString(),
                                            QString::fromLatin1(kModuleFilter));
    };
}

void FrmImport::addInstrumentRow(int number, const QString& name, const QString& notes, const QStringList& types,
                                 const QString& current, int octave)
{
    const int row = tblInstruments->rowCount();
    tblInstruments->insertRow(row);
    auto fixed = [&](int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled);
        tblInstruments->setItem(row, column, item);
    };
    fixed(kInstrumentNumber, QString::number(number));
    fixed(kInstrumentName, name);
    fixed(kInstrumentNotes, notes);
    auto* type = new QComboBox(tblInstruments);
    type->setObjectName(QStringLiteral("cmbType%1").arg(number));
    type->setEditable(true); // a type can be typed; the import checks a slot has it
    type->addItems(types);
    type->setCurrentText(current);
    tblInstruments->setCellWidget(row, kInstrumentType, type);
    auto* octaves = new QSpinBox(tblInstruments);
    octaves->setObjectName(QStringLiteral("spnOctave%1").arg(number));
    octaves->setRange(-8, 8);
    octaves->setValue(octave);
    tblInstruments->setCellWidget(row, kInstrumentOctave, octaves);
}

QComboBox* FrmImport::typeBox(int row) const
{
    return qobject_cast<QComboBox*>(tblInstruments->cellWidget(row, kInstrumentType));
}

QSpinBox* FrmImport::octaveBox(int row) const
{
    return qobject_cast<QSpinBox*>(tblInstruments->cellWidget(row, kInstrumentOctave));
}

} // namespace ostrak
