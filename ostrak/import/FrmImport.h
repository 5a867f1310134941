#pragma once
// The "Import Module" window, shown from the main window without blocking it.
// It opens a module and imports one pattern or the whole song through the main
// window's own commands: the position field, the input field, ">> BANG! >>"
// and "ADD SEQ", so the result is what pasting by hand would give.
#include "Text8Widgets.h"
#include "app/Seams.h"
#include "app/State.h"
#include "import/ModuleClipboard.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <optional>

namespace ostrak {

class FrmMain;
class MemoryCommands;

class FrmImport : public QWidget {
    Q_OBJECT
public:
    FrmImport(FrmMain& w, OstrakState& state, Seams& seams, MemoryCommands& memory);

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

    // Shows the window with the main window's position as the first position.
    void showFromMain();

    void browse();        // "Browse..."
    bool openModule();    // "Open"
    void importPattern(); // "Import Selected Pattern"
    void importSong();    // "Import Whole Song"

private:
    void refuse(const std::string& text);
    void log(const std::string& line);
    // Channel picked in a combo, 0-based; -1 for none.
    static int channelOf(const QComboBox* box);
    // Puts one pattern's clipboard text into txtIn at the current position and
    // presses ">> BANG! >>"; false when the converter did not store it.
    bool convertAtCurrentPosition(const std::string& text);
    std::string leftOutNote(int rows) const;

    FrmMain& w_;
    OstrakState& state_;
    Seams& seams_;
    MemoryCommands& memory_;
    std::optional<TrackerModule> module_;
};

} // namespace ostrak
