// The main window's four layouts in a whole program run: window sizes, the accounts tab and the
// receivables tab as each layout arranges them, maximize and restore, the display-mode choice and
// the side bar. The windows stand on offscreen screens of known sizes and carry a frame, so that
// the window's outer size differs from its inside.

#include "accounts/AccountOverview.h"
#include "accounts/AccountPanels.h"
#include "app/MainLayout.h"
#include "support/ProgramRun.h"
#include "widgets/DataGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWindow>

using namespace TestSupport;

namespace {

// The screen the program starts on, one smaller than both modes, and two as large as what a
// maximize gives in each mode on a larger screen (the offscreen platform fills the screen it
// maximizes on, where a window manager keeps to the window's limit).
const char *const ScreensJson = R"({ "synchronousWindowSystemEvents": false, "windowFrameMargins": true,
  "screens": [
    { "name": "Large", "x": 0, "y": 0, "width": 1600, "height": 1000, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 },
    { "name": "Small", "x": 1600, "y": 0, "width": 800, "height": 600, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 },
    { "name": "Limit1024", "x": 2400, "y": 0, "width": 1028, "height": 742, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 },
    { "name": "Limit1440", "x": 3428, "y": 0, "width": 1440, "height": 874, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] })";

const QString Mode1024 = QStringLiteral("1024 * 768");
const QString Mode1440 = QStringLiteral("1440 * 900");

// Lets the window system and the layouts catch up.
void settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}

// The same for a grid that may never come to rest: each round is bounded in time, so a layout
// that keeps changing shows as a failure instead of a hang.
void settleWithin(int milliseconds)
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, milliseconds / 4);
}

QScreen *screenNamed(const QString &name)
{
    for (QScreen *s : QGuiApplication::screens())
        if (s->name() == name)
            return s;
    return nullptr;
}

// Maximizes the window on that screen, as its title-bar button would.
void maximizeOn(TFormMain *w, const QString &screen)
{
    QScreen *target = screenNamed(screen);
    QVERIFY(target);
    w->windowHandle()->setScreen(target);
    w->move(target->geometry().topLeft() + QPoint(10, 10));
    settle();
    w->showMaximized();
    settle();
}

void restore(TFormMain *w)
{
    w->showNormal();
    settle();
}

QMargins frameOf(TFormMain *w)
{
    return w->windowHandle()->frameMargins();
}

QWidget *panelSlot(TFormMain *w, int slot)
{
    return child<QWidget>(w, QStringLiteral("AccountPanel%1").arg(slot));
}

// The panels the accounts tab shows.
int shownPanels(TFormMain *w)
{
    int shown = 0;
    for (int i = 0; i < Accounts::PanelCount; ++i)
        shown += panelSlot(w, i)->isHidden() ? 0 : 1;
    return shown;
}

// Columns of the panels shown: the number of slots on the first row.
int panelColumns(TFormMain *w)
{
    int columns = 0;
    for (int i = 0; i < Accounts::PanelCount; ++i)
        if (!panelSlot(w, i)->isHidden() && panelSlot(w, i)->y() == panelSlot(w, 0)->y())
            ++columns;
    return columns;
}

void clickSideBar(TFormMain *w)
{
    QTest::mouseClick(child<QWidget>(w, QStringLiteral("Image7")), Qt::LeftButton);
    settle();
}

// A control's rectangle on its tab page.
QRect onPage(const QWidget *control, const QWidget *page)
{
    return QRect(control->mapTo(page, QPoint(0, 0)), control->size());
}

void addAccounts(Run &run, int count)
{
    run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
    auto ledger = run.ledger();
    for (int i = 1; i <= count; ++i)
        ledger->addAccount(QStringLiteral("帐户%1").arg(i, 2, 10, QLatin1Char('0')), 1 + i % 2, i);
}

// Starts a cashier's run in a display mode (empty: no setting) and, when asked, maximizes it.
TFormMain *startIn(Run &run, const QString &mode, bool maximized = false, const QString &screen = {})
{
    if (!mode.isEmpty())
        run.writeSetting(QStringLiteral("ScreenPixel"), mode);
    if (!run.startAs(Cashier))
        return nullptr;
    TFormMain *w = run.window();
    settle();
    if (maximized)
        maximizeOn(w, screen.isEmpty() ? QStringLiteral("Large") : screen);
    return w;
}

QtMessageHandler testLogger = nullptr;

// The offscreen platform takes no size limits and says so each time the window sets them.
void quietSizeHints(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    testLogger(type, context, message);
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        testLogger = qInstallMessageHandler(quietSizeHints);
        QVERIFY(screenNamed(QStringLiteral("Large")));
    }
    void cleanupTestCase() { qInstallMessageHandler(testLogger); }

    // Each layout's numbers on the window and the controls they name. The work panel is
    // collapsed, so that every page is wide enough for all of them.
    void layoutTable_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<QSize>("window"); // outer size; empty where the layout sets none
        QTest::addColumn<QList<int>>("grid"); // columns, width, pitch, panels shown
        QTest::addColumn<QList<QPoint>>("accounts"); // AccountSum, ImageAccount, Prior, New, Next
        QTest::addColumn<int>("sideLeft"); // SpeedButton3, Label19, ComboBox2, ComboBox6
        QTest::addColumn<QPoint>("panelPay"); // width, top
        QTest::addColumn<QString>("pictures"); // shown, collapsed
        QTest::newRow("1024 normal") << Mode1024 << false << QSize(792, 571) << QList<int> {3, 210, 217, 15}
                                     << QList<QPoint> {{24, 448}, {152, 296}, {184, 448}, {344, 448},
                                            {504, 448}}
                                     << 672 << QPoint(663, 240) << "LeftBar RightBar";
        QTest::newRow("1024 maximized")
            << Mode1024 << true << QSize() << QList<int> {4, 216, 223, 28}
            << QList<QPoint> {{44, 622}, {192, 470}, {224, 622}, {384, 622}, {544, 622}} << 912
            << QPoint(900, 325) << "LeftBar2 RightBar2";
        QTest::newRow("1440 normal") << Mode1440 << false << QSize(1028, 742) << QList<int> {4, 216, 223, 28}
                                     << QList<QPoint> {{44, 622}, {192, 470}, {224, 622}, {384, 622},
                                            {544, 622}}
                                     << 912 << QPoint(900, 325) << "LeftBar2 RightBar2";
        QTest::newRow("1440 maximized")
            << Mode1440 << true << QSize() << QList<int> {5, 236, 243, 40}
            << QList<QPoint> {{244, 722}, {392, 570}, {424, 722}, {584, 722}, {744, 722}} << 1232
            << QPoint(1220, 375) << "LeftBar3 RightBar3";
    }
    void layoutTable()
    {
        QFETCH(QString, mode);
        QFETCH(bool, maximized);
        QFETCH(QSize, window);
        QFETCH(QList<int>, grid);
        QFETCH(QList<QPoint>, accounts);
        QFETCH(int, sideLeft);
        QFETCH(QPoint, panelPay);
        QFETCH(QString, pictures);
        Run run;
        addAccounts(run, 45);
        TFormMain *w = startIn(run, mode, maximized);
        QVERIFY(w);
        const QStringList bars = pictures.split(QLatin1Char(' '));
        QCOMPARE(w->sideBarPicture(), QStringLiteral("Res/%1.bmp").arg(bars[0]));
        clickSideBar(w);
        QCOMPARE(w->sideBarPicture(), QStringLiteral("Res/%1.bmp").arg(bars[1]));
        QCOMPARE(child<QWidget>(w, QStringLiteral("PanelWork"))->width(), 0);

        QCOMPARE(w->layoutMaximized(), maximized);
        QCOMPARE(w->isMaximized(), maximized);
        if (window.isValid()) {
            QCOMPARE(w->frameGeometry().size(), window);
            // The frame and title bar are part of that size, not added to it.
            QVERIFY(w->size() != window);
        }

        QCOMPARE(panelColumns(w), grid[0]);
        QCOMPARE(shownPanels(w), grid[3]);
        QCOMPARE(AccountPanels::of(w->tabPage(MainTab::Accounts))->pageSize(), grid[3]);
        for (int i = 0; i < Accounts::PanelCount; ++i) {
            const QRect slot(
                (i % grid[0]) * grid[2] + 8, (i / grid[0]) * 86 + 8, grid[1], Accounts::PanelHeight);
            QCOMPARE(panelSlot(w, i)->geometry(), slot);
            if (i >= grid[3])
                QVERIFY(panelSlot(w, i)->isHidden());
        }
        const char *accountControls[]
            = {"AccountSum", "ImageAccount", "PriorAccount", "NewAccount", "NextAccount"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(child<QWidget>(w, QString::fromLatin1(accountControls[i]))->pos(), accounts[i]);
        for (const char *name : {"SpeedButton3", "SpeedButton4", "Label19", "ComboBox2", "ComboBox6"})
            if (auto *control = w->findChild<QWidget *>(QString::fromLatin1(name)))
                QCOMPARE(control->x(), sideLeft);

        w->tabs()->setCurrentWidget(w->tabPage(MainTab::GetPay));
        settle();
        auto *pay = child<QWidget>(w, QStringLiteral("PanelPay"));
        QCOMPARE(QPoint(pay->width(), pay->y()), panelPay);
        QVERIFY(run.seams.messages.isEmpty());
    }

    // A placed control that its parent cannot hold: the layout's numbers stay where they fit, a
    // size the layout leaves free gives way first, and what still sticks out moves back in.
    void fitInside_data()
    {
        QTest::addColumn<QRect>("placed");
        QTest::addColumn<bool>("fixedWidth");
        QTest::addColumn<bool>("toBottom");
        QTest::addColumn<QRect>("fitted"); // in a parent of 673 × 518
        QTest::newRow("fits") << QRect(504, 448, 75, 25) << false << false << QRect(504, 448, 75, 25);
        QTest::newRow("button past the right edge")
            << QRect(665, 260, 60, 25) << false << false << QRect(609, 260, 60, 25);
        QTest::newRow("fixed width past the edge")
            << QRect(20, 0, 663, 100) << true << false << QRect(6, 0, 663, 100);
        QTest::newRow("free width shrinks")
            << QRect(20, 0, 700, 100) << false << false << QRect(20, 0, 653, 100);
        QTest::newRow("wider than the parent")
            << QRect(0, 0, 900, 100) << true << false << QRect(0, 0, 673, 100);
        QTest::newRow("down to the bottom")
            << QRect(0, 240, 663, 280) << true << true << QRect(0, 240, 663, 278);
    }
    void fitInside()
    {
        QFETCH(QRect, placed);
        QFETCH(bool, fixedWidth);
        QFETCH(bool, toBottom);
        QFETCH(QRect, fitted);
        ControlPlace place;
        if (fixedWidth)
            place.width = placed.width();
        place.toBottom = toBottom;
        QCOMPARE(FitInside(placed, place, QSize(673, 518), QSize(40, 20)), fitted);
    }

    // With the setting missing, or holding neither mode, the window stays as designed: the
    // "1024 * 768" normal layout, 15 panels in 3 columns; an unknown mode moves nothing on a
    // maximize either.
    void withoutKnownMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("missing") << QString();
        QTest::newRow("unknown") << "800 * 600";
    }
    void withoutKnownMode()
    {
        QFETCH(QString, mode);
        Run run;
        addAccounts(run, 16);
        TFormMain *w = startIn(run, mode);
        QVERIFY(w);
        QCOMPARE(w->frameGeometry().size(), QSize(792, 571));
        QCOMPARE(shownPanels(w), 15);
        QCOMPARE(panelColumns(w), 3);
        QCOMPARE(panelSlot(w, 14)->geometry(), QRect(442, 352, 210, 80));
        QVERIFY(child<QAbstractButton>(w, QStringLiteral("NextAccount"))->isEnabled());
        QCOMPARE(w->sideBarPicture(), QStringLiteral("Res/LeftBar.bmp"));

        maximizeOn(w, QStringLiteral("Large"));
        QCOMPARE(w->layoutMaximized(), true);
        QCOMPARE(shownPanels(w), mode.isEmpty() ? 16 : 15);
        QCOMPARE(panelColumns(w), mode.isEmpty() ? 4 : 3);
        QCOMPARE(w->sideBarPicture(),
            mode.isEmpty() ? QStringLiteral("Res/LeftBar2.bmp") : QStringLiteral("Res/LeftBar.bmp"));
    }

    // On a screen larger than the mode, a maximize gives at most the mode's size (the window
    // tells the platform its limit, frame included); on a smaller one the platform's size stays.
    void maximizeLimit_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QSize>("limit"); // outer
        QTest::newRow("1024 on a larger screen") << Mode1024 << "Large" << QSize(1028, 742);
        QTest::newRow("1440 on a larger screen") << Mode1440 << "Large" << QSize(1440, 874);
        QTest::newRow("1024 on a smaller screen") << Mode1024 << "Small" << QSize(800, 600);
        QTest::newRow("1440 on a smaller screen") << Mode1440 << "Small" << QSize(800, 600);
    }
    void maximizeLimit()
    {
        QFETCH(QString, mode);
        QFETCH(QString, screen);
        QFETCH(QSize, limit);
        Run run;
        TFormMain *w = startIn(run, mode, true, screen);
        QVERIFY(w);
        QVERIFY(w->isMaximized());
        QVERIFY(w->layoutMaximized());
        const QMargins frame = frameOf(w);
        QCOMPARE(w->maximumSize().grownBy(frame), limit);
        if (screen == QLatin1String("Small"))
            QCOMPARE(w->frameGeometry().size(), QSize(800, 600));
    }

    // A maximize limited as a window manager does it (here: a screen of exactly the limit), and
    // the sizes a restore gives back.
    void maximizeAndRestore_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QSize>("normal");
        QTest::addColumn<QSize>("maximizedSize");
        QTest::newRow("1024") << Mode1024 << "Limit1024" << QSize(792, 571) << QSize(1028, 742);
        QTest::newRow("1440") << Mode1440 << "Limit1440" << QSize(1028, 742) << QSize(1440, 874);
    }
    void maximizeAndRestore()
    {
        QFETCH(QString, mode);
        QFETCH(QString, screen);
        QFETCH(QSize, normal);
        QFETCH(QSize, maximizedSize);
        Run run;
        TFormMain *w = startIn(run, mode, true, screen);
        QVERIFY(w);
        QCOMPARE(w->frameGeometry().size(), maximizedSize);
        restore(w);
        QVERIFY(!w->layoutMaximized());
        QCOMPARE(w->frameGeometry().size(), normal);

        // A border dragged in the normal layout is put back.
        w->resize(w->size() + QSize(60, 40));
        settle();
        QCOMPARE(w->frameGeometry().size(), normal);
        // Minimizing and showing again is no restore of the layout.
        w->showMinimized();
        settle();
        w->showNormal();
        settle();
        QVERIFY(!w->layoutMaximized());
        QCOMPARE(w->frameGeometry().size(), normal);
    }

    // "确定" of the display mode stores the mode and moves nothing, not even the page size; the
    // next restore lays the window out in the new mode.
    void modeChangeWhileMaximized_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("panelsBefore");
        QTest::addColumn<QSize>("normalAfter");
        QTest::addColumn<int>("panelsAfter");
        QTest::addColumn<QString>("pictureAfter");
        QTest::newRow("to 1440") << Mode1024 << Mode1440 << 28 << QSize(1028, 742) << 28
                                 << "Res/LeftBar2.bmp";
        QTest::newRow("to 1024") << Mode1440 << Mode1024 << 40 << QSize(792, 571) << 15 << "Res/LeftBar.bmp";
    }
    void modeChangeWhileMaximized()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, panelsBefore);
        QFETCH(QSize, normalAfter);
        QFETCH(int, panelsAfter);
        QFETCH(QString, pictureAfter);
        Run run;
        addAccounts(run, 45);
        TFormMain *w = startIn(run, from, true);
        QVERIFY(w);
        const QRect before = w->frameGeometry();
        const QString picture = w->sideBarPicture();
        QCOMPARE(shownPanels(w), panelsBefore);

        QWidget *settings = w->tabPage(MainTab::Settings);
        auto *modes = settings->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        QVERIFY(modes);
        modes->setCurrentIndex(modes->findText(to));
        settings->findChild<QAbstractButton *>(QStringLiteral("Button10"))->click();
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("显示模式设置为：") + to});
        QCOMPARE(run.readSetting(QStringLiteral("ScreenPixel")), to);
        ShareDataModule->RequestRefreshAll();
        settle();
        QCOMPARE(w->frameGeometry(), before);
        QCOMPARE(shownPanels(w), panelsBefore);
        QCOMPARE(w->sideBarPicture(), picture);

        restore(w);
        QCOMPARE(w->frameGeometry().size(), normalAfter);
        QCOMPARE(shownPanels(w), panelsAfter);
        QCOMPARE(w->sideBarPicture(), pictureAfter);
    }

    // The work panel keeps its state across layouts; each layout shows its own picture for it.
    void collapsedThroughMaximize_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("normalBar");
        QTest::addColumn<QString>("maximizedBar");
        QTest::newRow("1024") << Mode1024 << "Bar"
                              << "Bar2";
        QTest::newRow("1440") << Mode1440 << "Bar2"
                              << "Bar3";
    }
    void collapsedThroughMaximize()
    {
        QFETCH(QString, mode);
        QFETCH(QString, normalBar);
        QFETCH(QString, maximizedBar);
        Run run;
        TFormMain *w = startIn(run, mode);
        QVERIFY(w);
        auto *work = child<QWidget>(w, QStringLiteral("PanelWork"));
        auto picture = [](const char *side, const QString &bar) {
            return QStringLiteral("Res/%1%2.bmp").arg(QLatin1String(side), bar);
        };
        QCOMPARE(w->sideBarPicture(), picture("Left", normalBar));
        clickSideBar(w);
        QCOMPARE(work->width(), 0);
        QCOMPARE(w->sideBarPicture(), picture("Right", normalBar));

        maximizeOn(w, QStringLiteral("Large"));
        QCOMPARE(work->width(), 0);
        QCOMPARE(w->sideBarPicture(), picture("Right", maximizedBar));
        restore(w);
        QCOMPARE(work->width(), 0);
        QCOMPARE(w->sideBarPicture(), picture("Right", normalBar));

        clickSideBar(w);
        QCOMPARE(work->width(), 97);
        QCOMPARE(w->sideBarPicture(), picture("Left", normalBar));
    }

    // Nothing the layouts place is cut off: every placed control that exists, and every panel
    // slot the layout shows, lies wholly inside its tab page, and the page inside the window.
    // Where the sort lists cannot stand beside the panels they line up under the page buttons.
    // "备份数据" shows, wholly, in the taller layouts only.
    void nothingCutOff_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<bool>("collapsed");
        QTest::addColumn<bool>("sideColumn"); // the sort lists beside the panels
        QTest::addColumn<bool>("backupShown");
        for (const bool collapsed : {false, true}) {
            const char *panel = collapsed ? ", work panel collapsed" : "";
            QTest::addRow("1024 normal%s", panel) << Mode1024 << false << collapsed << collapsed << false;
            QTest::addRow("1024 maximized%s", panel) << Mode1024 << true << collapsed << collapsed << true;
            QTest::addRow("1440 normal%s", panel) << Mode1440 << false << collapsed << collapsed << true;
            QTest::addRow("1440 maximized%s", panel) << Mode1440 << true << collapsed << true << true;
        }
    }
    void nothingCutOff()
    {
        QFETCH(QString, mode);
        QFETCH(bool, maximized);
        QFETCH(bool, collapsed);
        QFETCH(bool, sideColumn);
        QFETCH(bool, backupShown);
        Run run;
        addAccounts(run, 45);
        TFormMain *w = startIn(run, mode, maximized, mode == Mode1024 ? "Limit1024" : "Limit1440");
        QVERIFY(w);
        if (collapsed)
            clickSideBar(w);

        auto *backup = child<QWidget>(w, QStringLiteral("SpeedButtonSave"));
        QCOMPARE(backup->isVisible(), backupShown);
        if (backupShown && !collapsed)
            QVERIFY(backup->parentWidget()->contentsRect().contains(backup->geometry()));

        const QRect window = w->rect();
        for (const MainTab tab : {MainTab::Accounts, MainTab::GetPay}) {
            QWidget *page = w->tabPage(tab);
            w->tabs()->setCurrentWidget(page);
            settle();
            QVERIFY(window.contains(QRect(page->mapTo(w, QPoint(0, 0)), page->size())));
            for (const ControlPlace &place : w->layoutInForce().page(page->objectName()).controls) {
                QWidget *control = page->findChild<QWidget *>(place.control);
                if (!control)
                    continue;
                QVERIFY2(page->rect().contains(onPage(control, page)),
                    qPrintable(QStringLiteral("%1 at %2,%3 %4×%5 on a page of %6×%7")
                                   .arg(place.control)
                                   .arg(onPage(control, page).x())
                                   .arg(onPage(control, page).y())
                                   .arg(control->width())
                                   .arg(control->height())
                                   .arg(page->width())
                                   .arg(page->height())));
            }
        }
        QWidget *accounts = w->tabPage(MainTab::Accounts);
        w->tabs()->setCurrentWidget(accounts);
        settle();
        for (int i = 0; i < Accounts::PanelCount; ++i)
            if (!panelSlot(w, i)->isHidden())
                QVERIFY(accounts->rect().contains(onPage(panelSlot(w, i), accounts)));
        // Beside the panels at the layout's left, or in a row under the page buttons.
        auto *sortList = child<QWidget>(w, QStringLiteral("ComboBox2"));
        int tableLeft = -1;
        for (const ControlPlace &place : w->layoutInForce().page(accounts->objectName()).controls)
            if (place.control == sortList->objectName())
                tableLeft = place.left.value_or(-1);
        QCOMPARE(sortList->x() == tableLeft, sideColumn);
        if (!sideColumn)
            QVERIFY(sortList->y() > child<QWidget>(w, QStringLiteral("NextAccount"))->geometry().bottom());

        // Every button on every tab shows its whole caption, and none lies over another or over
        // a grid.
        for (int t = 0; t < w->tabs()->count(); ++t) {
            w->tabs()->setCurrentIndex(t);
            settle();
            QWidget *page = w->tabs()->widget(t);
            QList<const QWidget *> placed;
            for (const DataGrid *grid : page->findChildren<DataGrid *>())
                if (grid->isVisible())
                    placed.append(grid);
            for (const QAbstractButton *button : page->findChildren<QAbstractButton *>()) {
                if (!button->isVisible() || button->text().isEmpty())
                    continue;
                for (const QWidget *other : std::as_const(placed))
                    QVERIFY2(!onPage(button, page).intersects(onPage(other, page)),
                        qPrintable(
                            QStringLiteral("%1 lies over %2 on tab %3")
                                .arg(button->objectName(), other->objectName(), w->tabs()->tabText(t))));
                QVERIFY2(page->rect().contains(onPage(button, page)),
                    qPrintable(
                        QStringLiteral("%1 leaves tab %2").arg(button->objectName(), w->tabs()->tabText(t))));
                placed.append(button);
                const int needed = button->fontMetrics().horizontalAdvance(button->text());
                QVERIFY2(needed <= button->width() - 2,
                    qPrintable(QStringLiteral("%1 “%2” is %3 wide for a caption of %4 on tab %5")
                                   .arg(button->objectName(), button->text())
                                   .arg(button->width())
                                   .arg(needed)
                                   .arg(w->tabs()->tabText(t))));
            }
        }
    }

    // The journal's and the report tab's grids settle at every number of rows: the scroll bars
    // stop changing after a refresh (a row count that fits only without the footer's strip once
    // made them show and hide without end), and the last row can be scrolled wholly into view.
    void gridsSettleAtEveryRowCount_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<bool>("collapsed");
        for (const bool collapsed : {false, true}) {
            const char *panel = collapsed ? ", work panel collapsed" : "";
            QTest::addRow("1024 normal%s", panel) << Mode1024 << false << collapsed;
            QTest::addRow("1024 maximized%s", panel) << Mode1024 << true << collapsed;
            QTest::addRow("1440 normal%s", panel) << Mode1440 << false << collapsed;
            QTest::addRow("1440 maximized%s", panel) << Mode1440 << true << collapsed;
        }
    }
    void gridsSettleAtEveryRowCount()
    {
        QFETCH(QString, mode);
        QFETCH(bool, maximized);
        QFETCH(bool, collapsed);
        Run run;
        qint64 account = -1;
        {
            auto ledger = run.ledger();
            account = ledger->addAccount(QStringLiteral("工商银行基本户"), 1, 0);
        }
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        TFormMain *w = startIn(run, mode, maximized, mode == Mode1024 ? "Limit1024" : "Limit1440");
        QVERIFY(w);
        if (collapsed)
            clickSideBar(w);
        // The report tab lists every entry once a sort order is chosen.
        auto *sort = child<QComboBox>(w->tabPage(MainTab::Reports), QStringLiteral("ComboBox3"));
        sort->setCurrentIndex(1);
        sort->setCurrentIndex(0);
        const QList<QPair<MainTab, QString>> grids = {
            {MainTab::Journal, QStringLiteral("DBGridEh1")}, {MainTab::Reports, QStringLiteral("DBGridEh2")}};
        for (int rows = 0; rows <= 60; ++rows) {
            if (rows > 0) {
                auto ledger = run.ledger();
                ledger->exec(QStringLiteral(
                                 "Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyRecordTime, "
                                 "MoneyCreateTime, MoneyIn, MoneyOut, MoneySum, MoneyReason, MoneyUser, "
                                 "MoneyPower, MoneySerial) Values ('财务收入', ?, ?, ?, ?, 0, ?, '销售收入', "
                                 "'东方电子科技', ?, ?)"),
                    {account, IsoDate(Session().CurrentDay), IsoDate(Session().CurrentDay), rows, rows,
                        Cashier, QStringLiteral("SR%1").arg(rows, 10, 10, QLatin1Char('0'))});
            }
            w->RefreshAll();
            for (const auto &[tab, name] : grids) {
                w->tabs()->setCurrentWidget(w->tabPage(tab));
                settleWithin(200);
                auto *grid = child<DataGrid>(w->tabPage(tab), name);
                QCOMPARE(grid->rowCount(), rows);
                const QString where = QStringLiteral("%1 with %2 rows").arg(name).arg(rows);
                QScrollBar *bar = grid->verticalScrollBar();
                const bool shown = bar->isVisible();
                const int range = bar->maximum();
                for (int i = 0; i < 6; ++i) {
                    settleWithin(20);
                    QVERIFY2(bar->isVisible() == shown && bar->maximum() == range,
                        qPrintable(where + QStringLiteral(": the scroll bar keeps changing")));
                }
                if (rows == 0)
                    continue;
                grid->scrollToBottom();
                settleWithin(200);
                const QRect last = grid->visualRect(grid->model()->index(rows - 1, 0));
                QVERIFY2(last.isValid() && last.top() >= 0 && last.bottom() < grid->viewport()->height(),
                    qPrintable(where
                        + QStringLiteral(
                            ": the last row is cut off (%1..%2 in a viewport of %3; bar %4, %5 of %6)")
                              .arg(last.top())
                              .arg(last.bottom())
                              .arg(grid->viewport()->height())
                              .arg(bar->isVisible())
                              .arg(bar->value())
                              .arg(bar->maximum())));
                QVERIFY2(grid->footerBar()->geometry().top() > grid->viewport()->geometry().bottom(),
                    qPrintable(where + QStringLiteral(": the footer covers the rows")));
            }
        }
        QVERIFY(run.seams.messages.isEmpty());
    }
};

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(ScreensJson) < 0)
        return 2;
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTEST_SET_MAIN_SOURCE_PATH
    TestLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_layout.moc"
