#include "FrmImport.h"

#include "NamedControls.h"
#include "WindowFit.h"

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
    common::scrollBody(this, body);
    resize(640, 520);

    chooseModuleFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Open Module"), QString(),
                                            QString::fromLatin1(kModuleFilter));
    };
}

} // namespace ostrak
