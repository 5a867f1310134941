#pragma once
// The "Song Optimiser" window, shown from the main window without blocking it.
#include "app/Seams.h"
#include "app/State.h"

#include <QWidget>

namespace ostrak {

class FrmMain;


class FrmSetup : public QWidget {
    Q_OBJECT
public:
    FrmSetup(FrmMain& w, OstrakState& state, Seams& seams);
};

} // namespace ostrak
