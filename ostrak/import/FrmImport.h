#pragma once
// The "Import Module" window, shown from the main window without blocking it.
// Controls only; ImportCommands does what its buttons do.
#include "common/Text8Widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

#include <functional>

namespace ostrak {

class FrmImport : public QWidget {
    Q_OBJECT
public:
    explicit FrmImport(QWidget* mainWindow);

    QLineEdit* txtModule;
    QPushButton* cmdBrowseModule;
    QPushButton* cmdOpenModule;
    QTreeWidget* listPatterns;
    QComboBox* cmbChannelA;
    QComboBox* cmbChannelB;
    common::TextBox* txtStartPos;
    QPushButton* cmdImportPattern;
    QPushButton* cmdImportSong;
    QPlainTextEdit* txtImportLog;

    // The file dialog; tests put their own in. Returns "" when cancelled.
    std::function<QString(QWidget* parent)> chooseModuleFile;
};

} // namespace ostrak
