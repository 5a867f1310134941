#pragma once
// The "LOAD / SAVE Project Data" window, shown from the main window without blocking it.
#include "app/Seams.h"
#include "app/State.h"

#include <QWidget>

namespace ostrak {

class FrmMain;
class MemoryCommands;

class FrmFiles : public QWidget {
    Q_OBJECT
public:
    FrmFiles(FrmMain& w, OstrakState& state, Seams& seams, MemoryCommands& memory);
};

} // namespace ostrak
