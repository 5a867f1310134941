#include "WindowFit.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace common {

namespace {

constexpr const char* kFollowsFocus = "common_followsFocus";

// Before the window system has framed a window it reports no frame; this is
// allowed for a title bar and borders until one is known.
constexpr QMargins kUsualFrame(4, 32, 4, 4);

// Scrolls a control that takes the focus into view in the scroll areas made
// by scrollBody. Mouse clicks land where the user sees, and a window coming
// back to the front should not jump, so those leave the view alone.
class FocusFollower : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::FocusIn || !watched->isWidgetType())
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::MouseFocusReason || reason == Qt::ActiveWindowFocusReason ||
            reason == Qt::PopupFocusReason)
            return false;
        auto* control = static_cast<QWidget*>(watched);
        for (QWidget* p = control->parentWidget(); p; p = p->parentWidget())
            if (auto* area = qobject_cast<QScrollArea*>(p); area && area->property(kFollowsFocus).toBool())
                showControl(area, control);
        return false;
    }

private:
    // The whole control where it fits the view; else the part with the text
    // cursor, as the scroll area itself would show it.
    static void showControl(QScrollArea* area, QWidget* control)
    {
        const QRect r(control->mapTo(area->widget(), QPoint()), control->size());
        const QSize view = area->viewport()->size();
        if (r.width() <= view.width() && r.height() <= view.height())
            area->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 1, r.height() / 2 + 1);
        else
            area->ensureWidgetVisible(control);
    }
};

void followFocus()
{
    static QPointer<FocusFollower> follower;
    if (follower || !qApp)
        return;
    follower = new FocusFollower(qApp);
    qApp->installEventFilter(follower);
}

QMargins frameOf(const QWidget* window, const QWidget* anchor)
{
    for (const QWidget* w : {window, anchor}) {
        if (w && w->windowHandle()) {
            const QMargins m = w->windowHandle()->frameMargins();
            if (!m.isNull())
                return m;
        }
    }
    return kUsualFrame;
}

// Fits its window to the screen each time the window is shown.
class ScreenKeeper : public QObject {
public:
    ScreenKeeper(QWidget* window, const QWidget* anchor) : QObject(window), window_(window), anchor_(anchor)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Show && !event->spontaneous()) {
            fit();
            shown_ = true;
        }
        return false;
    }

private:
    void fit()
    {
        const bool besideAnchor = anchor_ && anchor_->isVisible();
        const QScreen* screen = besideAnchor ? anchor_->screen() : window_->screen();
        if (!screen)
            return;
        const QRect free = screen->availableGeometry();
        const QMargins frame = frameOf(window_, anchor_);
        if (!shown_)
            window_->resize(window_->size().expandedTo(contentsNeed()));
        const QSize size = window_->size().grownBy(frame);
        QRect target;
        if (!shown_ && besideAnchor)
            target = besideRect(size, anchor_->frameGeometry(), free);
        else if (shown_ || window_->testAttribute(Qt::WA_Moved))
            target = insideRect(QRect(window_->frameGeometry().topLeft(), size), free);
        else if (size.width() <= free.width() && size.height() <= free.height())
            return; // fits: the window system places it, as it always has
        else
            target = insideRect(QRect(free.topLeft(), size), free);
        // The client area is placed, not the frame: a window not yet framed
        // would otherwise put its client where its frame should go.
        window_->setGeometry(target.marginsRemoved(frame));
    }

    // A window opens no smaller than its scrolled contents want at its
    // width, as it did when they filled it directly.
    QSize contentsNeed() const
    {
        for (auto* area : window_->findChildren<QScrollArea*>()) {
            QWidget* body = area->widget();
            if (!area->property(kFollowsFocus).toBool() || !body || area->window() != window_)
                continue;
            QSize need = body->minimumSizeHint().expandedTo(body->minimumSize());
            if (body->hasHeightForWidth())
                need.setHeight(std::max(need.height(), body->heightForWidth(window_->width())));
            return need;
        }
        return {};
    }

    QWidget* window_;
    QPointer<const QWidget> anchor_;
    bool shown_ = false;
};

} // namespace

QRect insideRect(const QRect& wanted, const QRect& free)
{
    const QSize size = wanted.size().boundedTo(free.size());
    const int x = std::clamp(wanted.x(), free.left(), free.right() + 1 - size.width());
    const int y = std::clamp(wanted.y(), free.top(), free.bottom() + 1 - size.height());
    return {QPoint(x, y), size};
}

QRect besideRect(QSize size, const QRect& anchor, const QRect& free)
{
    size = size.boundedTo(free.size());
    const int right = free.right() - anchor.right();
    const int left = anchor.left() - free.left();
    QPoint at;
    if (right >= size.width())
        at = {anchor.right() + 1, anchor.top()};
    else if (left >= size.width())
        at = {anchor.left() - size.width(), anchor.top()};
    else if (free.bottom() - anchor.bottom() >= size.height())
        at = {anchor.left(), anchor.bottom() + 1};
    else if (anchor.top() - free.top() >= size.height())
        at = {anchor.left(), anchor.top() - size.height()};
    else if (right >= left)
        at = {free.right() + 1 - size.width(), anchor.top()};
    else
        at = {free.left(), anchor.top()};
    return insideRect(QRect(at, size), free);
}

QScrollArea* scrollBody(QWidget* window, QWidget* body, QSize least)
{
    auto* area = new QScrollArea(window);
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus); // the tab order stays the controls' own
    area->setWidgetResizable(true);
    if (least.isValid())
        body->setMinimumSize(least);
    area->setWidget(body);
    area->setProperty(kFollowsFocus, true);
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        main->setCentralWidget(area);
    } else {
        auto* fill = new QVBoxLayout(window);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(area);
    }
    followFocus();
    return area;
}

void keepOnScreen(QWidget* window, const QWidget* anchor)
{
    new ScreenKeeper(window, anchor);
}

} // namespace common
