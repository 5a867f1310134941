// On a 1366x768 laptop screen every window opens inside the screen's free
// area, and every control can be scrolled into view and clicked where it shows.
#include "support/OstrakFixture.h"
#include "app/FrmCrimp.h"
#include "import/FrmImport.h"
#include "optimise/FrmSetup.h"
#include "listen/FrmPitch.h"
#include "store/FrmFiles.h"

#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace {

const bool kLaptopScreen = (testing_support::useScreen(QSize(1366, 768)), true);

class SmallScreen : public testing_support::OstrakTest {
protected:
    static QRect freeArea(const QWidget& window) { return window.screen()->availableGeometry(); }

    static void showActive(QWidget& window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Brings `control` into view as the keyboard does (the mouse-only ones,
    // and those of a window the offscreen platform leaves inactive, as a
    // scroll would) and says where in its window it shows.
    static QPoint reach(QWidget* control)
    {
        auto* pane = control->window()->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
        pane->horizontalScrollBar()->setValue(0); // each control from the top left
        pane->verticalScrollBar()->setValue(0);
        if (control->isEnabled() && (control->focusPolicy() & Qt::TabFocus) &&
            QApplication::activeWindow() == control->window()) {
            control->clearFocus();
            control->setFocus(Qt::TabFocusReason);
        } else {
            const QRect r(control->mapTo(pane->widget(), QPoint()), control->size());
            pane->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 1, r.height() / 2 + 1);
        }
        QWidget* view = pane->viewport();
        const QRect whole(control->mapTo(view, QPoint()), control->size());
        const QRect shown = whole & view->rect();
        if (whole.width() <= view->width() && whole.height() <= view->height()) {
            EXPECT_EQ(shown, whole) << control->objectName().toStdString() << " shows only in part";
        }
        return shown.isEmpty() ? QPoint(-1, -1) : view->mapTo(control->window(), shown.center());
    }

    // Every named control of `window` shows whole after reach() where it is
    // no larger than the view, and a click at that point lands on it.
    static void expectEveryControlReachable(QWidget& window)
    {
        int controls = 0;
        for (QWidget* control : window.findChildren<QWidget*>()) {
            const QString name = control->objectName();
            if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")) || !control->isVisibleTo(&window))
                continue;
            ++controls;
            const QPoint at = reach(control);
            ASSERT_TRUE(window.rect().contains(at)) << name.toStdString();
            QWidget* hit = window.childAt(at);
            EXPECT_TRUE(hit == control || control->isAncestorOf(hit)) << name.toStdString();
        }
        EXPECT_GT(controls, 0);
    }

    static void clickWhereShown(QWidget* control)
    {
        showActive(*control->window()); // the keyboard's focus goes to the active window only
        const QPoint at = reach(control);
        QTest::mouseClick(control->window()->windowHandle(), Qt::LeftButton, {}, at);
    }
};

TEST_F(SmallScreen, TheMainWindowFitsAndSongCompileIsClickedAfterGenAllCode)
{
    showActive(w());
    EXPECT_TRUE(freeArea(w()).contains(w().frameGeometry()));
    ASSERT_LT(w().height(), 985);
    expectEveryControlReachable(w());
    clickWhereShown(w().cmdGenAllCode);
    ASSERT_TRUE(w().cmdCompileSong->isEnabled());
    clickWhereShown(w().cmdCompileSong);
    EXPECT_EQ(launcher.started, std::vector<std::string>{"compile.bat"});
}

TEST_F(SmallScreen, SideWindowsAndCrimpOpenInsideAndMadeSmallStillReachEveryControl)
{
    crimp::frmCrimp crimpWindow(clock);
    const std::pair<QPushButton*, QWidget*> windows[] = {
        {w().cmdLoadSong, &app->files()}, {w().cmdOPT, &app->setup()},   {w().cmdImport, &app->importer()},
        {w().cmdPitchGuide, &app->pitch()}, {nullptr, &crimpWindow}};
    for (const auto& [button, window] : windows) {
        const std::string name = window->objectName().toStdString();
        if (button)
            clickWhereShown(button);
        else
            showActive(*window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << name;
        EXPECT_TRUE(freeArea(*window).contains(window->frameGeometry())) << name;
        window->resize(320, 240);
        EXPECT_EQ(window->size(), QSize(320, 240)) << name;
        expectEveryControlReachable(*window);
    }
}

} // namespace
