#pragma once
// The "Song Optimiser" window, shown from the main window without blocking it.
// It owns the optimiser's tables, so they last as long as the main window
// (closing this window only hides it).
#include "OptimiseTables.h"
#include "common/Text8Widgets.h"
#include "app/Seams.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <set>
#include <vector>

namespace ostrak {

class FrmMain;

class FrmSetup : public QWidget {
    Q_OBJECT
public:
    FrmSetup(FrmMain& w, Seams& seams);

    QPushButton* Command1;
    QPushButton* Command2;
    common::MemoBox* txtIn;
    common::MemoBox* txtOpt;
    QLabel* Label1;
    QLabel* Label2;
    common::TextBox* txtCH1;
    common::TextBox* txtCh1opt;
    common::TextBox* txtCH2;
    common::TextBox* txtCh2opt;
    common::MemoBox* Text1;
    QFrame* Shape1;
    QFrame* Shape2;

    void openInput();      // "Open optimise.txt"
    void optimiseMemory(); // "Optimise memory"

    const OptimiseTables& tables() const { return tables_; }
    // Every mark drawn so far, once each, in the order first drawn.
    const std::vector<OptMark>& marks() const { return marks_; }
    // Where a point in layout units lands on the window's surface.
    static QPointF surfacePoint(int x, int y);

private:
    void keepMarks(const std::vector<OptMark>& marks);

    QWidget* surface_; // holds the controls; the marks are drawn on it

    Seams& seams_;
    OptimiseTables tables_;
    std::vector<OptMark> marks_;
    std::set<OptMark> drawn_;
};

} // namespace ostrak
