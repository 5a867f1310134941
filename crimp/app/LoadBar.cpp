#include "LoadBar.h"

#include <QPainter>

#include <algorithm>

namespace crimp {

LoadBar::LoadBar(const QString& name, QColor fill, QWidget* parent) : QWidget(parent), fill_(fill)
{
    setObjectName(name);
    setFixedSize(static_cast<int>(kFullWidth * kPixelsPerUnit), 14);
}

void LoadBar::setBarWidth(double width)
{
    // Reading sets the width once per line; repaint only when a pixel changes.
    const bool redraw = shownPixels(width) != shownPixels(width_);
    width_ = width;
    if (redraw)
        update();
    emit barWidthChanged(width);
}

int LoadBar::shownPixels(double width) const
{
    return static_cast<int>(std::clamp(width * kPixelsPerUnit, 0.0, double(this->width())));
}

void LoadBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, shownPixels(width_), height()), fill_);
}

} // namespace crimp
