#pragma once
// A filled progress bar whose width is set in window units (420 is full).
// The width is kept as set, uncapped; only the drawing is clipped.
#include <QWidget>

namespace crimp {

class LoadBar : public QWidget {
    Q_OBJECT
public:
    static constexpr double kFullWidth = 420.0;
    static constexpr double kPixelsPerUnit = 0.75;

    LoadBar(const QString& name, QColor fill, QWidget* parent = nullptr);
    double barWidth() const { return width_; }
    void setBarWidth(double width);

signals:
    void barWidthChanged(double width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int shownPixels(double width) const;

    double width_ = kFullWidth;
    QColor fill_;
};

} // namespace crimp
