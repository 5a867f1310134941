#pragma once
// Keeps windows usable on small screens: a window never opens larger than the
// free area of its screen, side windows open beside the main window, and
// contents that do not fit the window scroll. Both programs use it.
#include <QRect>
#include <QScrollArea>
#include <QSize>

namespace common {

// The geometry rules, frames included. `free` is the screen's available area.
//
// `wanted` moved the least, and shrunk where larger, so it lies in `free`.
QRect insideRect(const QRect& wanted, const QRect& free);
// A window of `size` beside `anchor`: right of it, else left, below, above,
// wherever it fits whole; with no room on any side, at the edge of `free` on
// the side with the most room, over the anchor. Always inside `free`.
QRect besideRect(QSize size, const QRect& anchor, const QRect& free);

// Puts `body` in a frameless scroll area that fills `window` (the central
// widget of a main window). The body grows with the window but never gets
// smaller than `least`, nor than its layout's minimum: below that it scrolls
// both ways. A control that takes the focus from the keyboard or the program
// is scrolled into view; a mouse click does not move the view.
QScrollArea* scrollBody(QWidget* window, QWidget* body, QSize least = {});

// Each time `window` is shown it is made to fit the free area of its screen.
// The first time, it opens no smaller than its scrolled contents want (where
// the screen allows); a window that fits and was never placed is left to the
// window system, so on a large screen nothing changes. With an `anchor` (the
// main window), the first showing goes beside it.
void keepOnScreen(QWidget* window, const QWidget* anchor = nullptr);

} // namespace common
