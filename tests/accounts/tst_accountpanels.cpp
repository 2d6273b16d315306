// The account panels of the 帐户状况 tab and the account-book choice, in a whole program run
// logged into the Default ledger.

#include "AccountsFixture.h"
#include "accounts/AccountOverview.h"
#include "accounts/AccountPanels.h"
#include "app/Dialogs.h"
#include "app/MainLayout.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

using namespace AccountsTest;
using TestSupport::Seams;

namespace {
const QColor Blue(Qt::blue);
const QColor Red(Qt::red);
const QColor SkyBlue(166, 202, 240);
// The seams' today, the main window's current day.
const QDate Today(2026, 6, 15);

AccountPanels *panelsOf(TFormMain *w)
{
    return AccountPanels::of(w->tabPage(MainTab::Accounts));
}

QFrame *panel(TFormMain *w, int slot)
{
    return child<QFrame>(w, QStringLiteral("AccountPanel%1").arg(slot));
}

QString part(TFormMain *w, int slot, const char *name)
{
    QLabel *label = child<QLabel>(panel(w, slot), QString::fromLatin1(name));
    return label ? label->text() : QString();
}

QColor textColour(TFormMain *w, int slot, const char *name)
{
    return child<QLabel>(panel(w, slot), QString::fromLatin1(name))->palette().color(QPalette::WindowText);
}

// Names shown by the slots that are not hidden, in slot order.
QStringList shownNames(TFormMain *w)
{
    QStringList names;
    for (int i = 0; i < Accounts::PanelCount; ++i)
        if (!panel(w, i)->isHidden())
            names << part(w, i, "AccountName");
    return names;
}

QAbstractButton *button(TFormMain *w, const char *name)
{
    return child<QAbstractButton>(w, QString::fromLatin1(name));
}

void moveMouseOver(QWidget *widget)
{
    const QPointF at(2, 2);
    QMouseEvent move(
        QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

Seams::DialogScript clickPicture(const char *picture)
{
    return [picture](QDialog *d) {
        auto *target = child<QWidget>(d, QString::fromLatin1(picture));
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
        QVERIFY(!d->isVisible());
    };
}
} // namespace

class TestAccountPanels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // The grid of the four layouts, and the page size each gives. An unknown mode moves nothing:
    // the design layout stays in force.
    void slotGrid_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("1024 normal, first") << "1024 * 768" << false << 15 << 0 << QRect(8, 8, 210, 80);
        QTest::newRow("1024 normal, second row")
            << "1024 * 768" << false << 15 << 4 << QRect(225, 94, 210, 80);
        QTest::newRow("1024 maximized") << "1024 * 768" << true << 28 << 27 << QRect(677, 524, 216, 80);
        QTest::newRow("1440 normal") << "1440 * 900" << false << 28 << 5 << QRect(231, 94, 216, 80);
        QTest::newRow("1440 maximized") << "1440 * 900" << true << 40 << 39 << QRect(980, 610, 236, 80);
        QTest::newRow("unknown mode") << "800 * 600" << true << 15 << 3 << QRect(8, 94, 210, 80);
    }
    void slotGrid()
    {
        QFETCH(QString, mode);
        QFETCH(bool, maximized);
        QFETCH(int, pageSize);
        QFETCH(int, slot);
        QFETCH(QRect, rect);
        const MainLayout::LayoutColumn *layout = MainLayout::LayoutFor(mode, maximized);
        const Accounts::PanelGrid grid = (layout ? *layout : MainLayout::DesignLayout()).panels;
        QCOMPARE(grid.visibleSlots, pageSize);
        QCOMPARE(Accounts::AccountSlotRect(grid, slot), rect);
    }

    // The layout refreshes the panels before the login; nobody has logged in then, so they show
    // no account yet.
    void noAccountsBeforeLogin()
    {
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        run.ledger()->addAccount(QStringLiteral("现金"), 2, 100);
        run.rememberLedger(run.folder.filePath(DefaultLedger));
        QStringList beforeLogin {QStringLiteral("<login not shown>")};
        bool emptyPictureBeforeLogin = true;
        run.seams.onDialog(QStringLiteral("TFormLogin"), [&](QDialog *d) {
            beforeLogin = shownNames(run.window());
            emptyPictureBeforeLogin
                = !child<QWidget>(run.window(), QStringLiteral("ImageAccount"))->isHidden();
            loginAs(Cashier)(d);
        });
        run.seams.onDialog(QStringLiteral("TFormChose"), CloseBox);
        QVERIFY(run.start());
        QCOMPARE(beforeLogin, QStringList());
        QVERIFY(!emptyPictureBeforeLogin);
        QCOMPARE(shownNames(run.window()), QStringList {QStringLiteral("现金")});
    }

    // A book without accounts shows the empty-state picture and no panel.
    void emptyBook_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<bool>("cashAccount");
        QTest::newRow("no accounts at all") << "5" << false;
        QTest::newRow("only cash accounts, bank book") << "1" << true;
    }
    void emptyBook()
    {
        QFETCH(QString, book);
        QFETCH(bool, cashAccount);
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), book);
        if (cashAccount)
            run.ledger()->addAccount(QStringLiteral("现金"), 2, 100);
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QVERIFY(shownNames(w).isEmpty());
        auto *empty = child<QLabel>(w, QStringLiteral("ImageAccount"));
        QVERIFY(!empty->isHidden());
        QVERIFY(!empty->pixmap().isNull());
        QVERIFY(!empty->accessibleName().isEmpty());
        QVERIFY(!button(w, "PriorAccount")->isEnabled());
        QVERIFY(!button(w, "NextAccount")->isEnabled());
        QVERIFY(run.seams.messages.isEmpty());
    }

    // Paging steps through the accounts; it refills the panels only, while choosing a book runs
    // the whole refresh and returns to the first page.
    void pagingAndBookChoice()
    {
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        {
            auto ledger = run.ledger();
            for (int i = 1; i <= 16; ++i)
                ledger->addAccount(
                    QStringLiteral("帐户%1").arg(i, 2, 10, QLatin1Char('0')), i == 16 ? 1 : 2, i);
        }
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QCOMPARE(panelsOf(w)->pageSize(), 15);
        QCOMPARE(shownNames(w).size(), 15);
        QCOMPARE(shownNames(w).constFirst(), QStringLiteral("帐户01"));
        QVERIFY(button(w, "NextAccount")->isEnabled());
        QVERIFY(!button(w, "PriorAccount")->isEnabled());
        QVERIFY(child<QWidget>(w, QStringLiteral("ImageAccount"))->isHidden());

        // The book changes on disk; paging must not rebuild the filters.
        const Sql filter = Session().AccountBookFilter;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("2"));
        button(w, "NextAccount")->click();
        QCOMPARE(w->accountPanelPage(), 1);
        QCOMPARE(shownNames(w), QStringList {QStringLiteral("帐户16")});
        QVERIFY(!panel(w, 0)->isHidden());
        QVERIFY(!button(w, "NextAccount")->isEnabled());
        QVERIFY(button(w, "PriorAccount")->isEnabled());
        QCOMPARE(Session().AccountBookFilter, filter);

        button(w, "PriorAccount")->click();
        QCOMPARE(w->accountPanelPage(), 0);
        QCOMPARE(shownNames(w).size(), 15);
        button(w, "NextAccount")->click();

        // The book picture: the cash book, through the whole refresh, back on page 0.
        run.seams.onDialog(QStringLiteral("TFormChose"), clickPicture("Image2"));
        QTest::mouseClick(child<QWidget>(w, QStringLiteral("Image1")), Qt::LeftButton);
        QCOMPARE(run.readSetting(QStringLiteral("AccountType")), QStringLiteral("2"));
        QCOMPARE(Session().AccountBookFilter.text(), QStringLiteral(" And (AccountType = 2)"));
        QCOMPARE(w->accountPanelPage(), 0);
        QCOMPARE(shownNames(w).size(), 15);
        QVERIFY(!shownNames(w).contains(QStringLiteral("帐户16")));
        QVERIFY(!button(w, "NextAccount")->isEnabled());
        QVERIFY(run.seams.messages.isEmpty());
    }

    // A full page offers no empty next page, and a page left empty (the page grew) shows the
    // last page that has accounts.
    void pageEdges()
    {
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        {
            auto ledger = run.ledger();
            for (int i = 1; i <= 30; ++i)
                ledger->addAccount(QStringLiteral("帐户%1").arg(i, 2, 10, QLatin1Char('0')), 1, i);
        }
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        button(w, "NextAccount")->click();
        QCOMPARE(shownNames(w).size(), 15);
        QVERIFY(!button(w, "NextAccount")->isEnabled());

        // A taller page keeps the page number while that page has accounts…
        run.writeSetting(Settings::ScreenPixel.key, Accounts::Mode1440);
        w->ApplyLayout(false);
        w->RefreshAccountPanels();
        QCOMPARE(panelsOf(w)->pageSize(), 28);
        QCOMPARE(w->accountPanelPage(), 1);
        QCOMPARE(shownNames(w), (QStringList {QStringLiteral("帐户29"), QStringLiteral("帐户30")}));
        QVERIFY(button(w, "PriorAccount")->isEnabled());
        QVERIFY(!button(w, "NextAccount")->isEnabled());
        // …and falls back to the last page that has any.
        w->ApplyLayout(true);
        w->RefreshAccountPanels();
        QCOMPARE(panelsOf(w)->pageSize(), 40);
        QCOMPARE(w->accountPanelPage(), 0);
        QCOMPARE(shownNames(w).size(), 30);
        QVERIFY(!button(w, "PriorAccount")->isEnabled());
        QVERIFY(!button(w, "NextAccount")->isEnabled());
        QVERIFY(run.seams.messages.isEmpty());
    }

    // Balance, month, icon and colours of one account on 2026-6-15.
    void balanceAndIcon_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("base");
        QTest::addColumn<QVariantList>("entries"); // amount, day, amount, day …
        QTest::addColumn<QString>("balance");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<bool>("red");
        const QDate june1(2026, 6, 1);
        QTest::newRow("below zero") << 1 << 100.0 << QVariantList {50.0, june1, -200.0, QDate(2026, 6, 10)}
                                    << "-50 元"
                                    << "-150 元"
                                    << "Res/Money-.ico" << true;
        QTest::newRow("opening amount only") << 1 << 200000.0 << QVariantList {} << "200000 元"
                                             << "0 元"
                                             << "Res/Yellow+.ico" << false;
        QTest::newRow("entries of exactly 30000") << 1 << 0.0 << QVariantList {30000.0, june1} << "30000 元"
                                                  << "30000 元"
                                                  << "Res/Yellow+.ico" << false;
        QTest::newRow("entries of 30000.01") << 2 << 0.0 << QVariantList {30000.01, june1} << "30000.01 元"
                                             << "30000.01 元"
                                             << "Res/Purple++.ico" << false;
        QTest::newRow("entries above 100000")
            << 2 << -5.0 << QVariantList {100000.5, QDate(2025, 1, 3)} << "99995.5 元"
            << "0 元"
            << "Res/Purple+++.ico" << false;
        QTest::newRow("exactly zero") << 2 << 100.0 << QVariantList {-100.0, june1} << "0 元"
                                      << "-100 元"
                                      << "Res/Money0.ico" << false;
        // Later this month: in the month, not yet in the balance.
        QTest::newRow("later in the month") << 1 << 10.0 << QVariantList {70.0, QDate(2026, 6, 30)} << "10 元"
                                            << "70 元"
                                            << "Res/Yellow+.ico" << false;
        QTest::newRow("next month") << 1 << 10.0 << QVariantList {70.0, QDate(2026, 7, 1)} << "10 元"
                                    << "0 元"
                                    << "Res/Yellow+.ico" << false;
        QTest::newRow("last month") << 1 << 10.0 << QVariantList {-70.0, QDate(2026, 5, 31)} << "-60 元"
                                    << "0 元"
                                    << "Res/Money-.ico" << true;
        QTest::newRow("the current day counts")
            << 1 << 0.0 << QVariantList {1.5, QDate(2026, 6, 15)} << "1.5 元"
            << "1.5 元"
            << "Res/Yellow+.ico" << false;
    }
    void balanceAndIcon()
    {
        QFETCH(int, type);
        QFETCH(double, base);
        QFETCH(QVariantList, entries);
        QFETCH(QString, balance);
        QFETCH(QString, month);
        QFETCH(QString, icon);
        QFETCH(bool, red);
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        {
            auto ledger = run.ledger();
            const qint64 account = ledger->addAccount(QStringLiteral("测试帐户"), type, base);
            for (int i = 0; i + 1 < entries.size(); i += 2)
                ledger->addEntry(account, entries[i].toDouble(), entries[i + 1].toDate());
        }
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QCOMPARE(w->currentDay(), Today);
        QCOMPARE(shownNames(w), QStringList {QStringLiteral("测试帐户")});
        QCOMPARE(part(w, 0, "AccountMoney"), balance);
        QCOMPARE(part(w, 0, "AccountMonth"), month);
        QCOMPARE(part(w, 0, "AccountKind"), type == 1 ? QStringLiteral("银行帐") : QStringLiteral("现金帐"));
        QCOMPARE(panelsOf(w)->iconFile(0), icon);
        QVERIFY(!child<QLabel>(panel(w, 0), QStringLiteral("AccountIcon"))->pixmap().isNull());
        for (const char *name : {"AccountName", "AccountMoney", "AccountMonth", "AccountKind"})
            QCOMPARE(textColour(w, 0, name), red ? Red : Blue);
        QVERIFY(panel(w, 0)->accessibleName().contains(QStringLiteral("测试帐户")));
        QVERIFY(panel(w, 0)->accessibleDescription().contains(balance));
        QVERIFY(run.seams.messages.isEmpty());
    }

    // The sort lists order the accounts and store their choice; they refill the panels only.
    void sortOrder_data()
    {
        QTest::addColumn<int>("sortBy");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("by number") << 0 << 0 << QStringList {"乙", "甲", "丁", "丙"};
        QTest::newRow("by number, descending") << 0 << 1 << QStringList {"丙", "丁", "甲", "乙"};
        QTest::newRow("by type, descending") << 1 << 1 << QStringList {"甲", "丙", "乙", "丁"};
        QTest::newRow("by type") << 1 << 0 << QStringList {"乙", "丁", "甲", "丙"};
        QTest::newRow("by name") << 2 << 0 << QStringList {"丁", "丙", "乙", "甲"};
    }
    void sortOrder()
    {
        QFETCH(int, sortBy);
        QFETCH(int, direction);
        QFETCH(QStringList, order);
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        {
            auto ledger = run.ledger();
            ledger->addAccount(QStringLiteral("乙"), 1, 1);
            ledger->addAccount(QStringLiteral("甲"), 2, 1);
            ledger->addAccount(QStringLiteral("丁"), 1, 1);
            ledger->addAccount(QStringLiteral("丙"), 2, 1);
        }
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        const Sql filter = Session().AccountBookFilter;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("1"));
        auto *byList = child<QComboBox>(w, QStringLiteral("ComboBox2"));
        auto *directionList = child<QComboBox>(w, QStringLiteral("ComboBox6"));
        QCOMPARE(byList->currentIndex(), 0);
        byList->setCurrentIndex(sortBy);
        directionList->setCurrentIndex(direction);
        QCOMPARE(shownNames(w), order);
        QCOMPARE(run.readSetting(QStringLiteral("帐户排序方式")),
            sortBy == 0 ? QStringLiteral("<none>") : QString::number(sortBy));
        QCOMPARE(run.readSetting(QStringLiteral("帐户排序方向")),
            direction == 0 ? QStringLiteral("<none>") : QString::number(direction));
        QCOMPARE(Session().AccountBookFilter, filter);

        // The next run starts with the stored choice.
        run.program.reset();
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        QVERIFY(run.startAs(Cashier));
        w = run.window();
        QCOMPARE(child<QComboBox>(w, QStringLiteral("ComboBox2"))->currentIndex(), sortBy);
        QCOMPARE(child<QComboBox>(w, QStringLiteral("ComboBox6"))->currentIndex(), direction);
        QCOMPARE(shownNames(w), order);
        QVERIFY(run.seams.messages.isEmpty());
    }

    void storedSortChoiceOutOfRange()
    {
        Run run;
        run.writeSetting(QStringLiteral("帐户排序方式"), QStringLiteral("7"));
        run.writeSetting(QStringLiteral("帐户排序方向"), QStringLiteral("降序"));
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        run.ledger()->addAccount(QStringLiteral("甲"), 1, 1);
        QVERIFY(run.startAs(Cashier));
        QCOMPARE(child<QComboBox>(run.window(), QStringLiteral("ComboBox2"))->currentIndex(), 0);
        QCOMPARE(child<QComboBox>(run.window(), QStringLiteral("ComboBox6"))->currentIndex(), 0);
        QCOMPARE(shownNames(run.window()), QStringList {QStringLiteral("甲")});
        QVERIFY(run.seams.messages.isEmpty());
    }

    // The book choice after login and from the book picture: each picture writes its book;
    // the close box writes nothing and keeps the book shown.
    void bookChoice_data()
    {
        QTest::addColumn<QString>("picture"); // empty: the close box
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("bank book") << "Image1"
                                   << "1" << QStringList {"银行"};
        QTest::newRow("cash book") << "Image2"
                                   << "2" << QStringList {"现金"};
        QTest::newRow("both") << "Image5"
                              << "5" << QStringList {"银行", "现金"};
        QTest::newRow("close box") << ""
                                   << "2" << QStringList {"现金"};
    }
    void bookChoice()
    {
        QFETCH(QString, picture);
        QFETCH(QString, stored);
        QFETCH(QStringList, shown);
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("2"));
        {
            auto ledger = run.ledger();
            ledger->addAccount(QStringLiteral("银行"), 1, 1);
            ledger->addAccount(QStringLiteral("现金"), 2, 1);
        }
        const QByteArray name = picture.toLatin1();
        const Seams::DialogScript choose = picture.isEmpty() ? CloseBox : clickPicture(name.constData());

        // After login.
        QVERIFY(run.startAs(Cashier, choose));
        TFormMain *w = run.window();
        QCOMPARE(run.seams.shownDialogs, (QStringList {"TFormLogin", "TFormChose"}));
        QCOMPARE(run.readSetting(QStringLiteral("AccountType")), stored);
        QCOMPARE(shownNames(w), shown);

        // From the book picture, starting from the cash book again.
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("2"));
        ShareDataModule->RequestRefreshAll();
        run.seams.onDialog(QStringLiteral("TFormChose"), [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("帐簿选择"));
            for (const char *p : {"Image5", "Image1", "Image2"})
                QVERIFY(!child<QLabel>(d, QString::fromLatin1(p))->pixmap().isNull());
            choose(d);
        });
        QTest::mouseClick(child<QWidget>(w, QStringLiteral("Image1")), Qt::LeftButton);
        QCOMPARE(run.readSetting(QStringLiteral("AccountType")), stored);
        QCOMPARE(shownNames(w), shown);
        QVERIFY(run.seams.messages.isEmpty());
    }

    // A user without 数据总览 sees his own accounts, summed over his own entries only.
    void ownRowsOnlyWithoutOverview()
    {
        Run run;
        const QString user = QStringLiteral("O'Brien");
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        {
            auto ledger = run.ledger();
            ledger->addUser(user, QStringLiteral("财务收入，财务支出"));
            const qint64 his = ledger->addAccount(QStringLiteral("他的"), 1, 100, user);
            const qint64 theirs = ledger->addAccount(QStringLiteral("别人的"), 2, 100, Cashier);
            ledger->addEntry(his, 50, QDate(2026, 6, 1), user);
            ledger->addEntry(his, 1000, QDate(2026, 6, 2), Cashier);
            ledger->addEntry(theirs, 10, QDate(2026, 6, 2), user);
        }
        QVERIFY(run.startAs(user));
        TFormMain *w = run.window();
        QCOMPARE(shownNames(w), QStringList {QStringLiteral("他的")});
        QCOMPARE(part(w, 0, "AccountMoney"), QStringLiteral("150 元"));
        QCOMPARE(part(w, 0, "AccountMonth"), QStringLiteral("50 元"));
        QVERIFY(run.seams.messages.isEmpty());

        // With the right, every account and every entry.
        run.program.reset();
        run.ledger()->exec(
            QStringLiteral("Update Power Set PowerRange = ? Where PowerName = ?"), {AllRights, user});
        QVERIFY(run.startAs(user));
        w = run.window();
        QCOMPARE(shownNames(w), (QStringList {QStringLiteral("他的"), QStringLiteral("别人的")}));
        QCOMPARE(part(w, 0, "AccountMoney"), QStringLiteral("1150 元"));
        QCOMPARE(part(w, 1, "AccountMoney"), QStringLiteral("110 元"));
    }

    // The account search narrows the list through its fragment; a failed account or sum query
    // reports once and stops the refresh.
    void searchFragmentAndFailures()
    {
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        {
            auto ledger = run.ledger();
            ledger->addAccount(QStringLiteral("工商银行"), 1, 1);
            ledger->addAccount(QStringLiteral("现金'箱"), 2, 1);
            ledger->addAccount(QStringLiteral("建设银行"), 1, 1);
        }
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        AccountPanels *panels = panelsOf(w);
        panels->AccountSearchFragment
            = Sql(" And (instr(AccountName, ") + Sql::value(QStringLiteral("'箱")) + Sql(") > 0)");
        w->RefreshAccountPanels();
        QCOMPARE(shownNames(w), QStringList {QStringLiteral("现金'箱")});

        panels->AccountSearchFragment = Sql(" And (NoSuchColumn = 1)");
        w->RefreshAccountPanels();
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("刷新帐户房子时出错")});
        QCOMPARE(shownNames(w), QStringList {QStringLiteral("现金'箱")});

        run.seams.clearMessages();
        panels->AccountSearchFragment = Sql();
        run.ledger()->exec(QStringLiteral("Alter Table MoneyTable Rename To MoneyTableGone"));
        w->RefreshAccountPanels();
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("统计帐户金额时出错")});
    }

    // A click on any part of a panel hands its name and balance on; the mouse paints the panel
    // under it sky blue and every other one button face.
    void panelClickAndHover()
    {
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        {
            auto ledger = run.ledger();
            ledger->addAccount(QStringLiteral("第一"), 1, 10);
            ledger->addAccount(QStringLiteral("第二'号"), 2, -3.5);
        }
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QSignalSpy clicks(panelsOf(w), &AccountPanels::accountClicked);
        // Each click opens the account action dialog, closed again at once.
        for (int i = 0; i < 6; ++i)
            run.seams.onDialog(QStringLiteral("TFormAccount2"), [](QDialog *) {});
        for (const char *name : {"AccountIcon", "AccountKind", "AccountName", "AccountMoney"}) {
            QTest::mouseClick(child<QWidget>(panel(w, 1), QString::fromLatin1(name)), Qt::LeftButton);
            QCOMPARE(clicks.size(), 1);
            QCOMPARE(
                clicks.takeFirst(), (QVariantList {QStringLiteral("第二'号"), QStringLiteral("-3.5 元")}));
        }
        QTest::mouseClick(panel(w, 0), Qt::LeftButton);
        QCOMPARE(clicks.takeFirst().value(0).toString(), QStringLiteral("第一"));
        QTest::keyClick(panel(w, 0), Qt::Key_Space);
        QCOMPARE(clicks.takeFirst().value(0).toString(), QStringLiteral("第一"));
        QCOMPARE(run.seams.shownDialogs.count(QStringLiteral("TFormAccount2")), 6);

        const QColor face = QApplication::palette().color(QPalette::Button);
        auto background = [&](int slot) { return panel(w, slot)->palette().color(QPalette::Window); };
        moveMouseOver(child<QWidget>(panel(w, 1), QStringLiteral("AccountMonth")));
        QCOMPARE(background(1), SkyBlue);
        QCOMPARE(background(0), face);
        moveMouseOver(panel(w, 0));
        QCOMPARE(background(0), SkyBlue);
        QCOMPARE(background(1), face);
        moveMouseOver(panelsOf(w));
        for (int i = 0; i < Accounts::PanelCount; ++i)
            QCOMPARE(background(i), face);
    }

    // 新增帐户 on the tab: the dialog, then the new account on the panels.
    void newAccountButton()
    {
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QVERIFY(shownNames(w).isEmpty());
        run.seams.onDialog(QStringLiteral("TFormAccount"), [](QDialog *d) {
            child<QCheckBox>(d, QStringLiteral("CheckBox2"))->click();
            child<QLineEdit>(d, QStringLiteral("Edit1"))->setText(QStringLiteral("零钱"));
            child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(QStringLiteral("-500"));
            child<QPushButton>(d, QStringLiteral("SpeedButton1"))->click();
        });
        button(w, "NewAccount")->click();
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("帐户\u3000零钱\u3000新增成功")});
        QCOMPARE(shownNames(w), QStringList {QStringLiteral("零钱")});
        QCOMPARE(part(w, 0, "AccountMoney"), QStringLiteral("-500 元"));
        QCOMPARE(panelsOf(w)->iconFile(0), QStringLiteral("Res/Money-.ico"));
        QVERIFY(child<QWidget>(w, QStringLiteral("ImageAccount"))->isHidden());
    }

    // The tab's controls at their places in the 1024 normal layout; with the work panel collapsed
    // the tab is wide enough for the sort lists too.
    void tabControls()
    {
        Run run;
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QTest::mouseClick(child<QWidget>(w, QStringLiteral("Image7")), Qt::LeftButton);
        QTest::qWait(1);
        const QList<QPair<const char *, QPoint>> places
            = {{"AccountSum", QPoint(24, 448)}, {"ImageAccount", QPoint(152, 296)},
                {"PriorAccount", QPoint(184, 448)}, {"NewAccount", QPoint(344, 448)},
                {"NextAccount", QPoint(504, 448)}, {"ComboBox2", QPoint(672, 96)}};
        for (const auto &[name, at] : places)
            QCOMPARE(child<QWidget>(w, QString::fromLatin1(name))->geometry().topLeft(), at);
        QCOMPARE(child<QLabel>(w, QStringLiteral("AccountSum"))->text(), QStringLiteral("总金额：0 元"));
        QCOMPARE(button(w, "PriorAccount")->text(), QStringLiteral("上一页"));
        QCOMPARE(button(w, "NextAccount")->text(), QStringLiteral("下一页"));
        QCOMPARE(button(w, "NewAccount")->text(), QStringLiteral("新增帐户"));
        QCOMPARE(child<QLabel>(w, QStringLiteral("Label19"))->buddy(),
            child<QWidget>(w, QStringLiteral("ComboBox2")));
        QVERIFY(!child<QWidget>(w, QStringLiteral("ComboBox6"))->accessibleName().isEmpty());
        for (int i = 0; i < Accounts::PanelCount; ++i)
            QCOMPARE(panel(w, i)->geometry(),
                Accounts::AccountSlotRect(MainLayout::LayoutFor(Accounts::Mode1024, false)->panels, i));
        // 帐户月结 stays reachable above the panels' container.
        const QObjectList stack = w->tabPage(MainTab::Accounts)->children();
        QVERIFY(
            stack.indexOf(panelsOf(w)) < stack.indexOf(child<QWidget>(w, QStringLiteral("SpeedButton3"))));
    }
};

QUILL_TEST_MAIN(TestAccountPanels)
#include "tst_accountpanels.moc"
