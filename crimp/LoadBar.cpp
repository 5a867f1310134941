#include "crimp/LoadBar.h"

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
    width_ = width;
    update();
    emit barWidthChanged(width);
}

void LoadBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double pixels = std::clamp(width_ * kPixelsPerUnit, 0.0, double(width()));
    painter.fillRect(QRectF(0, 0, pixels, height()), fill_);
}

} // namespace crimp
