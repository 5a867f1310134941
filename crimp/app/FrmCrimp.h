#pragma once
// The crimp window with its design defaults. Controls are public members named
// as the window names them; the commands behind the buttons live in CrimpCommands.
#include "LoadBar.h"
#include "ReportBox.h"
#include "common/Text8Widgets.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <array>
#include <memory>

namespace common {
class Clock;
}

namespace crimp {

class CrimpCommands;
struct LineTables;

// The nine lines the search box holds at start: a chain of eight rows and its
// closing line, as ostrak writes them.
extern const char* const kDefaultSearchText;

class frmCrimp : public QWidget {
    Q_OBJECT
public:
    explicit frmCrimp(const common::Clock& clock, QWidget* parent = nullptr);
    ~frmCrimp() override;

    LineTables& tables();
    CrimpCommands& commands() { return *commands_; }

    common::MemoBox* txtSearch;
    std::array<common::TextBox*, 9> Tline;
    common::TextBox* txtLineNum;
    ReportBox* txtOut;
    QPushButton* cmdSearch;
    QPushButton* cmdAutoSearch;
    QPushButton* cmdMakeOpt;
    QPushButton* Command1;
    QPushButton* cmdMemDump;
    QPushButton* Command2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* lblOriginal;
    QLabel* lblRepitions;
    QLabel* lblBefore;
    QLabel* lblAfter;
    QLabel* lblLen;
    LoadBar* BoxLoad;
    LoadBar* BoxOpt;
    QFrame* Shape1;
    QFrame* Shape2;
    QFrame* Shape3;

private:
    void buildControls();
    void layOut();
    void connectCommands();

    std::unique_ptr<CrimpCommands> commands_;
};

// Label captions hold 8-bit text (a key may carry a tab or any byte).
void setCaption8(QLabel* label, const std::string& text);
std::string caption8(const QLabel* label);

} // namespace crimp
