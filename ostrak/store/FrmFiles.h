#pragma once
// The "LOAD / SAVE Project Data" window, shown from the main window without
// blocking it. Closing it only hides it, so its log and fields are kept.
#include "common/Text8Widgets.h"
#include "app/Seams.h"
#include "WorkingMemory.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <memory>
#include <string>

namespace ostrak {

class FrmMain;

// A filled bar whose width is set in 1/1440 inch, drawn to scale of the
// window's inner width so the same numbers fill it at any window size.
class FilledBar : public QWidget {
    Q_OBJECT
public:
    explicit FilledBar(const QString& name, QWidget* parent = nullptr);
    int widthUnits() const { return units_; }
    void setWidthUnits(int units);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int units_ = 0;
};

class FrmFiles : public QWidget {
    Q_OBJECT
public:
    FrmFiles(FrmMain& w, WorkingMemory& memory, Seams& seams);
    ~FrmFiles() override;

    common::TextBox* txtFile;
    QListWidget* File1;
    QPushButton* cmdSave;
    QPushButton* cmdLoad;
    QPushButton* cmdUndo;
    QPushButton* cmdClose;
    QCheckBox* tickRecover;
    common::MemoBox* txtLog;
    FilledBar* BoxSave;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;

    void saveProjectFile();
    void loadProjectFile();
    void undoLastLoad();
    void closeWindow();
    // Lists the ".osk" files of the current folder again.
    void refreshFiles();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    class Port;
    std::string nativeFileName() const;

    FrmMain& w_;
    WorkingMemory& memory_;
    std::unique_ptr<Port> port_;
    bool refreshing_ = false;
};

} // namespace ostrak
