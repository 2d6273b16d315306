#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "app/OnlineServiceForm.h"
#include "app/Program.h"
#include "app/Session.h"
#include "app/SettingsPage.h"
#include "platform/InstanceLock.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/ProgramRun.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"
#include "widgets/MainPage.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

using namespace TestSupport;

namespace {

const QString Title = QStringLiteral("翎溪记帐财务软件");

// Selects the chooser's row that shows this ledger name and logs into it.
Seams::DialogScript chooseLedger(const QString &ledgerName)
{
    return [ledgerName](QDialog *dialog) {
        auto *grid = dialog->findChild<QTableWidget *>(QStringLiteral("DBGridEh1"));
        QVERIFY(grid);
        const auto found = grid->findItems(ledgerName, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(ledgerName));
        grid->setCurrentCell(found.first()->row(), found.first()->column());
        trigger(dialog, "ActionLogin");
    };
}

const Seams::DialogScript Cancel = [](QDialog *) {};

QStringList visibleRightButtons(TFormMain *window)
{
    QStringList shown;
    for (const RightButton &rb : RightButtons()) {
        auto *button = window->findChild<QAbstractButton *>(QString::fromLatin1(rb.button));
        if (button && !button->isHidden())
            shown.append(QString::fromLatin1(rb.button));
    }
    return shown;
}

} // namespace

// One program run in its own program and lock folders, with the seams scripted.
class TestApp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void secondCopyIsRefused()
    {
        Run run;
        Platform::SingleInstanceLock firstCopy(run.lockDir.path());
        QVERIFY(firstCopy.tryAcquire());

        QVERIFY(!run.start());
        QCOMPARE(run.seams.messages.size(), 1);
        QCOMPARE(run.seams.messages[0].text, QStringLiteral("程序已经在运行！"));
        QCOMPARE(run.seams.messages[0].caption, QStringLiteral("提示"));
        QVERIFY(run.seams.shownDialogs.isEmpty());
        QVERIFY(!run.window());
    }

    void missingMasterDatabaseEndsRun()
    {
        Run run;
        QVERIFY(QFile::remove(run.folder.filePath(QStringLiteral("Quillbrook3.MDB"))));

        QVERIFY(!run.start());
        QCOMPARE(run.seams.messageTexts(),
            QStringList {QStringLiteral("数据库文件丢失，请联系翎溪软件有限公司400-820-6315")});
        QCOMPARE(run.seams.messages[0].kind, Platform::MessageKind::Error);
        QVERIFY(run.seams.shownDialogs.isEmpty());
        QVERIFY(!run.window()->isVisible());
    }

    // A file that is there but is no database stops the run with the reason, before any dialog.
    void unreadableDatabaseStopsCleanly_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<QString>("reason"); // in Chinese: the engine's English stays out
        QTest::newRow("master database") << "Quillbrook3.MDB" << false << "文件不是数据库文件";
        QTest::newRow("remembered ledger") << "DataBase/Default.ddb" << true << "文件不是数据库文件";
        QTest::newRow("remembered file of another kind")
            << "Quillbrook3.MDB" << true << "数据库中缺少数据表：Account";
    }
    void unreadableDatabaseStopsCleanly()
    {
        QFETCH(QString, broken);
        QFETCH(bool, remembered);
        QFETCH(QString, reason);
        Run run;
        if (remembered) {
            run.rememberLedger(run.folder.filePath(broken));
            if (broken.endsWith(QLatin1String(".ddb"))) {
                QFile f(run.folder.filePath(broken));
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(QByteArray(4096, 'x'));
            }
        } else {
            QFile f(run.folder.filePath(broken));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("not a database at all");
        }

        QVERIFY(!run.start());
        QCOMPARE(run.seams.messages.size(), 1);
        QCOMPARE(run.seams.messages[0].kind, Platform::MessageKind::Error);
        QVERIFY2(run.seams.messages[0].text.startsWith(QStringLiteral("数据库打开失败：")),
            qPrintable(run.seams.messages[0].text));
        QCOMPARE(run.seams.messages[0].text,
            QStringLiteral("数据库打开失败：") + run.folder.filePath(broken) + QLatin1Char('\n') + reason);
        QVERIFY(run.seams.shownDialogs.isEmpty());
        QVERIFY(!run.window()->isVisible());
        QVERIFY(!ShareDataModule->isConnected());
    }

    void startLedgerChoice_data()
    {
        QTest::addColumn<QString>("loginMode"); // empty: no settings file at all
        QTest::addColumn<QString>("loginDatabase"); // relative to the program folder
        QTest::addColumn<bool>("chooserShown");
        const QString chooser = SettingTexts::LoginModeChooser;
        const QString automatic = SettingTexts::LoginModeAutomatic;
        QTest::newRow("no settings file") << QString() << QString() << true;
        QTest::newRow("chooser mode ignores the last ledger") << chooser << DefaultLedger << true;
        QTest::newRow("automatic, last ledger present") << automatic << DefaultLedger << false;
        QTest::newRow("automatic, last ledger gone") << automatic << "DataBase/Gone.ddb" << true;
        QTest::newRow("automatic, none remembered") << automatic << QString() << true;
        QTest::newRow("other text acts as automatic") << "下次再说" << DefaultLedger << false;
        QTest::newRow("other text, last ledger gone") << "下次再说"
                                                      << "DataBase/Gone.ddb" << true;
    }
    void startLedgerChoice()
    {
        QFETCH(QString, loginMode);
        QFETCH(QString, loginDatabase);
        QFETCH(bool, chooserShown);
        Run run;
        if (!loginMode.isEmpty()) {
            run.writeSetting(QStringLiteral("LoginMode"), loginMode);
            run.writeSetting(QStringLiteral("LoginDatabase"),
                loginDatabase.isEmpty() ? QString() : run.folder.filePath(loginDatabase));
        }
        if (chooserShown)
            run.seams.onDialog(QStringLiteral("TFormDBChose"), chooseLedger(QStringLiteral("日常帐套")));
        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Cashier));
        run.seams.onDialog(QStringLiteral("TFormChose"), Cancel);

        QVERIFY(run.start());
        const QStringList expected = chooserShown ? QStringList {"TFormDBChose", "TFormLogin", "TFormChose"}
                                                  : QStringList {"TFormLogin", "TFormChose"};
        QCOMPARE(run.seams.shownDialogs, expected);
        QVERIFY(run.seams.messages.isEmpty());
        QCOMPARE(ShareDataModule->databasePath(), run.folder.filePath(DefaultLedger));
        // Only a login through the chooser knows the ledger's caption text.
        QCOMPARE(run.window()->windowTitle(), chooserShown ? Title + QStringLiteral(" - 日常帐套") : Title);
        QVERIFY(run.window()->isVisible());
        QCOMPARE(Session().DefaultLedgerFolder, QStringLiteral("[RunPath]\\DataBase\\"));
        QCOMPARE(Session().ProgramDir, run.folder.path());
        QCOMPARE(Session().SettingsPath, run.folder.filePath(QStringLiteral("Quillbrook.ini")));
    }

    void captionFollowsLedgerTips_data()
    {
        QTest::addColumn<QString>("ledger");
        QTest::addColumn<bool>("emptyTips");
        QTest::addColumn<QString>("caption");
        QTest::newRow("tips shown") << "日常帐套" << false << Title + QStringLiteral(" - 日常帐套");
        QTest::newRow("empty tips") << "日常帐套" << true << Title;
        // The demonstration ledger's tips carry the real dates of its shifted data.
        QTest::newRow("demonstration")
            << "软件演示帐套" << false
            << Title + QStringLiteral(" - 演示帐套（演示数据 2026-6-8 至 2026-6-15）");
    }
    void captionFollowsLedgerTips()
    {
        QFETCH(QString, ledger);
        QFETCH(bool, emptyTips);
        QFETCH(QString, caption);
        Run run;
        if (emptyTips)
            execOn(run.folder.filePath(QStringLiteral("Quillbrook3.MDB")),
                {QStringLiteral("Update SoftData Set SoftDataTips = '' Where SoftDataName = ?")}, {ledger});
        run.seams.onDialog(QStringLiteral("TFormDBChose"), chooseLedger(ledger));
        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Cashier));
        run.seams.onDialog(QStringLiteral("TFormChose"), Cancel);
        QVERIFY(run.start());
        QCOMPARE(run.window()->windowTitle(), caption);
    }

    void cancellingEndsRunSilently_data()
    {
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<bool>("cancelChooser");
        QTest::newRow("chooser cancelled") << false << true;
        QTest::newRow("login after chooser cancelled") << false << false;
        QTest::newRow("login after automatic reconnect cancelled") << true << false;
    }
    void cancellingEndsRunSilently()
    {
        QFETCH(bool, automatic);
        QFETCH(bool, cancelChooser);
        Run run;
        QStringList expected;
        if (automatic) {
            run.rememberLedger(run.folder.filePath(DefaultLedger));
        } else {
            run.seams.onDialog(QStringLiteral("TFormDBChose"),
                cancelChooser ? Cancel : chooseLedger(QStringLiteral("日常帐套")));
            expected << "TFormDBChose";
        }
        if (!cancelChooser) {
            run.seams.onDialog(QStringLiteral("TFormLogin"), Cancel);
            expected << "TFormLogin";
        }

        QVERIFY(!run.start());
        QCOMPARE(run.seams.shownDialogs, expected);
        QVERIFY(run.seams.messages.isEmpty());
        QVERIFY(!run.window()->isVisible());
        QCOMPARE(child<QLabel>(run.window(), "Label18")->text(), QStringLiteral("未登录"));
    }

    void rightsShapeWindow_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("range"); // for a user added to the ledger
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QStringList>("buttons");
        const QStringList userTabs = {"帐户状况", "日记帐簿", "应收应付"};
        const QStringList allTabs = userTabs + QStringList {"报表中心"};
        const QStringList allButtons = {"SpeedButtonGet", "SpeedButtonPay", "SpeedButtonDraw", "SpeedButton3",
            "SpeedButton5", "SpeedButton6", "SpeedButton7", "SpeedButton8", "SpeedButton9", "SpeedButton10"};
        QTest::newRow("出纳 of a new ledger") << Cashier << QString() << allTabs << allButtons;
        QTest::newRow("every right") << "李四" << AllRights << allTabs << allButtons;
        QTest::newRow("no rights") << "李四"
                                   << "" << userTabs << QStringList();
        QTest::newRow("income and reports") << "李四"
                                            << "财务收入，财务报表" << allTabs
                                            << QStringList {"SpeedButtonGet", "SpeedButton3", "SpeedButton5"};
        QTest::newRow("expense and edit") << "李四"
                                          << "财务支出，数据修改" << userTabs
                                          << QStringList {"SpeedButtonPay", "SpeedButton6", "SpeedButton7",
                                                 "SpeedButton8", "SpeedButton9", "SpeedButton10"};
        QTest::newRow("transfer and overview")
            << "李四"
            << "财务平调，数据总览" << userTabs << QStringList {"SpeedButtonDraw"};
    }
    void rightsShapeWindow()
    {
        QFETCH(QString, user);
        QFETCH(QString, range);
        QFETCH(QStringList, tabs);
        QFETCH(QStringList, buttons);
        Run run;
        if (user != Cashier)
            run.ledger()->addUser(user, range);
        QVERIFY(run.startAs(user));

        TFormMain *w = run.window();
        QCOMPARE(child<QLabel>(w, "Label18")->text(), user);
        QCOMPARE(visibleTabs(w), tabs);
        QCOMPARE(w->tabs()->currentIndex(), 0);
        QCOMPARE(visibleRightButtons(w), buttons);
        QVERIFY(!child<QWidget>(w, "PanelWork")->isHidden());
        for (const RightButton &rb : RightButtons())
            QCOMPARE(w->action(QString::fromLatin1(rb.action))->isEnabled(),
                buttons.contains(QString::fromLatin1(rb.button)));
        // The login refreshed every view: the filters are built for this user.
        QCOMPARE(w->bookPicture(), QStringLiteral("Res/CompanyAccount2.bmp"));
        QCOMPARE(Session().MoneyOwnerFilter.isEmpty(),
            range.contains(QStringLiteral("数据总览")) || user == Cashier);
    }

    void administratorSeesOnlySettings()
    {
        Run run;
        QVERIFY(run.startAs(QStringLiteral("管理员")));
        TFormMain *w = run.window();
        QCOMPARE(visibleTabs(w), (QStringList {"软件设置", "数据维护"}));
        QCOMPARE(w->tabs()->tabText(w->tabs()->currentIndex()), QStringLiteral("软件设置"));
        QVERIFY(child<QWidget>(w, "PanelWork")->isHidden());
        QCOMPARE(child<QLabel>(w, "Label18")->text(), QStringLiteral("管理员"));
        // No refresh ran for him: no filter and no book picture were made.
        QVERIFY(w->bookPicture().isEmpty());
        QVERIFY(Session().AccountBookFilter.isEmpty());
    }

    void designButtonOpensTheTemplateDesigner()
    {
        Run run;
        QVERIFY(run.startAs(QStringLiteral("管理员")));
        TFormMain *w = run.window();
        w->tabs()->setCurrentWidget(w->tabPage(MainTab::Maintenance));
        QVERIFY(child<QWidget>(w, "DesignButton")->isVisible());
        run.seams.onDialog(QStringLiteral("TFormDesigner"), [](QDialog *) {});
        w->action(QStringLiteral("ActionDesign"))->trigger();
        QCOMPARE(run.seams.shownDialogs.constLast(), QStringLiteral("TFormDesigner"));
    }

    void viewFilters_data()
    {
        QTest::addColumn<QString>("accountType");
        QTest::addColumn<bool>("overview");
        QTest::addColumn<QString>("bookText");
        QTest::addColumn<QString>("picture");
        const QString own = QStringLiteral(" And (AccountPower = ?)");
        struct Book {
            const char *type;
            QString text;
            QString picture;
        };
        const Book books[] = {
            {"0", " And (AccountType = 0)", "Res/EmptyAccount.bmp"},
            {"1", " And (AccountType = 1)", "Res/CompanyAccount2.bmp"},
            {"2", " And (AccountType = 2)", "Res/CompanyAccount3.bmp"},
            {"5", " And ((AccountType = 1) Or (AccountType = 2))", "Res/CompanyAccount.bmp"},
            {"7", "", ""},
            {"abc", "", ""},
            {"", "", ""},
        };
        for (const Book &b : books) {
            QTest::addRow("type '%s', overview", b.type) << b.type << true << b.text << b.picture;
            QTest::addRow("type '%s', own rows", b.type) << b.type << false << b.text + own << b.picture;
        }
    }
    void viewFilters()
    {
        QFETCH(QString, accountType);
        QFETCH(bool, overview);
        QFETCH(QString, bookText);
        QFETCH(QString, picture);
        const QString user = QStringLiteral("O'Brien 王");
        const ViewFilters f = MakeViewFilters(accountType, overview, user);
        QCOMPARE(f.AccountBookFilter.text(), bookText);
        QCOMPARE(f.BookPicture, picture);
        const QVariantList owner = overview ? QVariantList {} : QVariantList {user};
        QCOMPARE(f.AccountBookFilter.values(), owner);
        if (overview) {
            QVERIFY(f.MoneyOwnerFilter.isEmpty());
            QVERIFY(f.GetPayOwnerFilter.isEmpty());
        } else {
            QCOMPARE(f.MoneyOwnerFilter.text(), QStringLiteral(" And (MoneyPower = ?)"));
            QCOMPARE(f.MoneyOwnerFilter.values(), owner);
            QCOMPARE(f.GetPayOwnerFilter.text(), QStringLiteral(" And (GetPayPower = ?)"));
            QCOMPARE(f.GetPayOwnerFilter.values(), owner);
        }
    }

    // A name with a quote logs in, and the filters built for it find exactly that user's rows.
    void quotedUserNameFiltersItsOwnRows()
    {
        Run run;
        const QString user = QStringLiteral("O'Brien");
        run.ledger()->addUser(user, QStringLiteral("财务收入"));
        execOn(run.folder.filePath(DefaultLedger),
            {QStringLiteral(
                 "Insert Into Account (AccountName, AccountType, AccountPower) Values ('他的', 1, ?)"),
                QStringLiteral("Insert Into Account (AccountName, AccountType, AccountPower) Values "
                               "('别人的', 1, '出纳')")},
            {user});
        QVERIFY(run.startAs(user));
        QCOMPARE(Session().CurrentUser, user);
        QCOMPARE(Session().AccountBookFilter.values(), QVariantList {user});

        Query q;
        QVERIFY(RunQuery(q,
            Sql("Select AccountName From Account Where AccountIndex > 1") + Session().AccountBookFilter,
            Texts::DatabaseOpenFailed));
        QCOMPARE(q.rowCount(), 1);
        QCOMPARE(q.text("AccountName"), QStringLiteral("他的"));
        QVERIFY(run.seams.messages.isEmpty());
    }

    void reLogin()
    {
        Run run;
        run.ledger()->addUser(QStringLiteral("张三"), QStringLiteral("财务收入"));
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        const QStringList cashierTabs = visibleTabs(w);
        const QStringList cashierButtons = visibleRightButtons(w);
        const Sql cashierFilter = Session().AccountBookFilter;

        // Cancelled: the session and the window stay as they were.
        run.seams.onDialog(QStringLiteral("TFormLogin"), Cancel);
        w->action(QStringLiteral("ActionReLogin"))->trigger();
        QCOMPARE(Session().CurrentUser, Cashier);
        QCOMPARE(child<QLabel>(w, "Label18")->text(), Cashier);
        QCOMPARE(visibleTabs(w), cashierTabs);
        QCOMPARE(visibleRightButtons(w), cashierButtons);
        QCOMPARE(Session().AccountBookFilter, cashierFilter);
        QVERIFY(run.seams.messages.isEmpty());

        // Another user: tabs, buttons and filters follow him; the ledger stays.
        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(QStringLiteral("张三")));
        run.seams.onDialog(QStringLiteral("TFormChose"), Cancel);
        w->tabs()->setCurrentIndex(2);
        child<QAbstractButton>(w, "SpeedButtonReLogin")->click();
        QCOMPARE(child<QLabel>(w, "Label18")->text(), QStringLiteral("张三"));
        QCOMPARE(visibleTabs(w), (QStringList {"帐户状况", "日记帐簿", "应收应付"}));
        QCOMPARE(w->tabs()->currentIndex(), 0);
        QCOMPARE(visibleRightButtons(w), (QStringList {"SpeedButtonGet", "SpeedButton5"}));
        QCOMPARE(Session().AccountBookFilter,
            Sql(" And (AccountType = 1) And (AccountPower = ") + Sql::value(QStringLiteral("张三"))
                + Sql(")"));
        QCOMPARE(Session().MoneyOwnerFilter.values(), QVariantList {QStringLiteral("张三")});
        QCOMPARE(ShareDataModule->databasePath(), run.folder.filePath(DefaultLedger));

        // And the administrator after him.
        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(QStringLiteral("管理员")));
        w->action(QStringLiteral("ActionReLogin"))->trigger();
        QCOMPARE(visibleTabs(w), (QStringList {"软件设置", "数据维护"}));
        QVERIFY(child<QWidget>(w, "PanelWork")->isHidden());
        QVERIFY(run.seams.messages.isEmpty());
    }

    // A screen reader reads the tab bar's accessible children: after every login they are
    // exactly the user's tabs, each placed on screen, also after switching users both ways.
    void tabsSeenByAssistiveTechnology()
    {
        Run run;
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        auto *tabBar = w->tabs()->tabBar();
        auto accessibleTabs = [tabBar] {
            QStringList names;
            QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(tabBar);
            if (!bar)
                return QStringList {QStringLiteral("<no accessible tab bar>")};
            for (int i = 0; i < bar->childCount(); ++i) {
                QAccessibleInterface *tab = bar->child(i);
                if (tab->role() != QAccessible::PageTab)
                    continue;
                const QRect place = tab->rect();
                names << (place.isEmpty() ? QStringLiteral("<off screen> ") : QString())
                        + tab->text(QAccessible::Name);
            }
            return names;
        };
        const QStringList cashierTabs {"帐户状况", "日记帐簿", "应收应付", "报表中心"};
        QCOMPARE(accessibleTabs(), cashierTabs);

        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(QStringLiteral("管理员")));
        w->action(QStringLiteral("ActionReLogin"))->trigger();
        QCOMPARE(accessibleTabs(), (QStringList {"软件设置", "数据维护"}));
        QCOMPARE(w->tabs()->currentWidget(), w->tabPage(MainTab::Settings));

        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Cashier));
        run.seams.onDialog(QStringLiteral("TFormChose"), Cancel);
        w->action(QStringLiteral("ActionReLogin"))->trigger();
        QCOMPARE(accessibleTabs(), cashierTabs);
        QCOMPARE(w->tabs()->currentWidget(), w->tabPage(MainTab::Accounts));
        QVERIFY(run.seams.messages.isEmpty());
    }

    // The day starts at today; the day buttons, a picked day and a refresh request from any
    // window all rebuild the views (seen here in the filters, which follow the account book).
    void currentDayAndRefresh()
    {
        Run run;
        run.seams.today = QDate(2026, 3, 1);
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        auto *picker = child<QDateEdit>(w, "DateTimePicker1");
        QCOMPARE(picker->date(), QDate(2026, 3, 1));
        QCOMPARE(Session().CurrentDay, QDate(2026, 3, 1));

        auto bookAfter = [&](const QString &type, const std::function<void()> &step) {
            run.writeSetting(QStringLiteral("AccountType"), type);
            step();
            return Session().AccountBookFilter.text();
        };
        QCOMPARE(bookAfter("2", [&] { child<QAbstractButton>(w, "BitBtn1")->click(); }),
            QStringLiteral(" And (AccountType = 2)"));
        QCOMPARE(Session().CurrentDay, QDate(2026, 2, 28));
        QCOMPARE(w->bookPicture(), QStringLiteral("Res/CompanyAccount3.bmp"));
        QCOMPARE(bookAfter("5", [&] { child<QAbstractButton>(w, "BitBtn2")->click(); }),
            QStringLiteral(" And ((AccountType = 1) Or (AccountType = 2))"));
        QCOMPARE(Session().CurrentDay, QDate(2026, 3, 1));
        QCOMPARE(bookAfter("0", [&] { picker->setDate(QDate(2026, 5, 20)); }),
            QStringLiteral(" And (AccountType = 0)"));
        QCOMPARE(Session().CurrentDay, QDate(2026, 5, 20));
        QCOMPARE(bookAfter("1", [&] { ShareDataModule->RequestRefreshAll(); }),
            QStringLiteral(" And (AccountType = 1)"));
        // An unknown book keeps the picture shown and drops the type condition.
        QCOMPARE(bookAfter("9", [&] { ShareDataModule->RequestRefreshAll(); }), QString());
        QCOMPARE(w->bookPicture(), QStringLiteral("Res/CompanyAccount2.bmp"));
        QVERIFY(run.seams.messages.isEmpty());
    }

    void settingsButtonStoresChoice_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("tab");
        const QList<SettingChoice> &choices = SettingChoices();
        for (int i = 0; i < choices.size(); ++i)
            QTest::newRow(qPrintable(choices[i].button))
                << i << (choices[i].setting.key == QLatin1String("LoginMode") ? "数据维护" : "软件设置");
    }
    void settingsButtonStoresChoice()
    {
        QFETCH(int, choice);
        QFETCH(QString, tab);
        const SettingChoice &c = SettingChoices().at(choice);
        Run run;
        QVERIFY(run.startAs(QStringLiteral("管理员")));
        TFormMain *w = run.window();
        const MainTab page = tab == QStringLiteral("数据维护") ? MainTab::Maintenance : MainTab::Settings;
        auto *combo = w->tabPage(page)->findChild<QComboBox *>(c.combo);
        auto *button = w->tabPage(page)->findChild<QAbstractButton *>(c.button);
        QVERIFY(combo && button);
        QVERIFY(!combo->isEditable());
        QCOMPARE(combo->parentWidget()->property("title").toString(), c.group);

        for (const QString &item : {c.item1, c.item0}) {
            run.seams.clearMessages();
            combo->setCurrentIndex(combo->findText(item));
            button->click();
            QCOMPARE(run.readSetting(c.setting.key), item);
            QCOMPARE(run.seams.messageTexts(), QStringList {c.messagePrefix + item});
            QCOMPARE(run.seams.messages[0].kind, Platform::MessageKind::Information);
        }
    }

    void settingsCombosShowStoredValues_data()
    {
        QTest::addColumn<QString>("stored"); // "<item0>", "<item1>", "<missing>" or a text
        QTest::addColumn<int>("expected");
        QTest::newRow("missing") << "<missing>" << 0;
        QTest::newRow("default") << "<item0>" << 0;
        QTest::newRow("second choice") << "<item1>" << 1;
        QTest::newRow("any other text") << "手工写的" << 1;
        QTest::newRow("empty text") << "" << 1;
    }
    void settingsCombosShowStoredValues()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        Run run;
        for (const SettingChoice &c : SettingChoices()) {
            // LoginMode also decides the start; its own values are covered by the other rows.
            if (c.setting.key == QLatin1String("LoginMode") || stored == QLatin1String("<missing>"))
                continue;
            run.writeSetting(c.setting.key,
                stored == QLatin1String("<item0>")       ? c.item0
                    : stored == QLatin1String("<item1>") ? c.item1
                                                         : stored);
        }
        QVERIFY(run.startAs(QStringLiteral("管理员")));
        for (const SettingChoice &c : SettingChoices()) {
            auto *combo = run.window()->findChild<QComboBox *>(c.combo);
            QVERIFY(combo);
            // LoginMode holds the automatic text here (the run started without the chooser).
            const int want = c.setting.key == QLatin1String("LoginMode") ? 1 : expected;
            QCOMPARE(combo->currentIndex(), want);
        }
    }

    void serviceAddress_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tel");
        QTest::addColumn<QString>("message");
        QTest::newRow("plain") << DefaultSaleLink << "王五"
                               << "021-1234"
                               << "我想了解软件的升级服务";
        QTest::newRow("delimiters stay data") << DefaultSaleLink << "A&B=C"
                                              << "+86 138"
                                              << "100% #1?";
        QTest::newRow("link with query") << "https://sale.example/s?from=app"
                                         << ""
                                         << "1"
                                         << "x y";
    }
    void serviceAddress()
    {
        QFETCH(QString, link);
        QFETCH(QString, name);
        QFETCH(QString, tel);
        QFETCH(QString, message);
        const QString address = BuildServiceAddress(link, name, tel, message);
        const QUrl url(address, QUrl::StrictMode);
        QVERIFY(url.isValid());
        // Typed "&", "=", "+" and "#" never act as delimiters (a "+" would read as a space).
        QCOMPARE(address.count(QLatin1Char('&')), QUrlQuery(QUrl(link)).queryItems().size() + 2);
        QVERIFY(!address.contains(QLatin1Char('+')) && !address.contains(QLatin1Char('#')));
        QCOMPARE(url.adjusted(QUrl::RemoveQuery), QUrl(link).adjusted(QUrl::RemoveQuery));
        const QUrlQuery query(url);
        QCOMPARE(query.queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded), name);
        QCOMPARE(query.queryItemValue(QStringLiteral("tel"), QUrl::FullyDecoded), tel);
        QCOMPARE(query.queryItemValue(QStringLiteral("message"), QUrl::FullyDecoded), message);
        if (QUrlQuery(QUrl(link)).hasQueryItem(QStringLiteral("from")))
            QCOMPARE(query.queryItemValue(QStringLiteral("from")), QStringLiteral("app"));
        QCOMPARE(query.queryItems().size(), QUrlQuery(QUrl(link)).queryItems().size() + 3);
    }

    void onlineServiceOpensAddress()
    {
        Run run;
        WriteSetting(QStringLiteral("Quillbrook"), QStringLiteral("SaleLink"),
            QStringLiteral("https://sale.example/ask"),
            run.folder.filePath(QStringLiteral("Quillbrook.ini")));
        QVERIFY(run.startAs(Cashier));
        auto *online = child<QAbstractButton>(run.window(), "SpeedButtonOnline");

        // Without a telephone number nothing is opened.
        run.seams.onDialog(QStringLiteral("TFormOnline"), [](QDialog *d) {
            child<QLineEdit>(d, "Edit1")->setText(QStringLiteral("王五"));
            trigger(d, "ActionSend");
            QVERIFY(d->isVisible());
        });
        online->click();
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("请输入联系电话，以便我们与您联系")});
        QVERIFY(run.seams.openedWithDesktop.isEmpty());

        run.seams.onDialog(QStringLiteral("TFormOnline"), [](QDialog *d) {
            child<QLineEdit>(d, "Edit2")->setText(QStringLiteral("138 0000"));
            child<QComboBox>(d, "ComboBox1")->setEditText(QStringLiteral("请回电 & 报价"));
            trigger(d, "ActionSend");
            QVERIFY(!d->isVisible());
        });
        online->click();
        QCOMPARE(run.seams.openedWithDesktop.size(), 1);
        const QUrl url(run.seams.openedWithDesktop[0]);
        QCOMPARE(url.adjusted(QUrl::RemoveQuery).toString(), QStringLiteral("https://sale.example/ask"));
        const QUrlQuery query(url);
        QCOMPARE(query.queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded), QStringLiteral("王五"));
        QCOMPARE(query.queryItemValue(QStringLiteral("tel"), QUrl::FullyDecoded), QStringLiteral("138 0000"));
        QCOMPARE(query.queryItemValue(QStringLiteral("message"), QUrl::FullyDecoded),
            QStringLiteral("请回电 & 报价"));
    }

    // The shell carries every region and control under its established name.
    void shellControls()
    {
        Run run;
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QCOMPARE(w->objectName(), QStringLiteral("TFormMain"));
        QCOMPARE(w->frameGeometry().size(), QSize(792, 571));
        QCOMPARE(w->tabs()->objectName(), QStringLiteral("PageControl1"));
        // Every page exists for the whole run, whether or not the user's tabs include it.
        QStringList captions;
        for (int i = 0; i < MainTabCount; ++i)
            captions << qobject_cast<MainPage *>(w->tabPage(MainTab(i)))->caption();
        QCOMPARE(
            captions, (QStringList {"帐户状况", "日记帐簿", "应收应付", "报表中心", "软件设置", "数据维护"}));
        for (const char *name :
            {"PanelWork", "Panel2", "Image7", "Image1", "DateTimePicker1", "BitBtn1", "BitBtn2", "Label18",
                "SpeedButtonOnline", "SpeedButtonReLogin", "SpeedButtonSave", "PanelPay"})
            QVERIFY2(w->findChild<QWidget *>(QString::fromLatin1(name)), name);
        const QList<QPair<const char *, const char *>> captionsOf
            = {{"ActionGet", "收入"}, {"ActionPay", "支出"}, {"ActionDraw", "平调"},
                {"ActionMoneyMonth", "帐户月结"}, {"ActionReLogin", "重新登录"}};
        for (const auto &[name, text] : captionsOf)
            QCOMPARE(w->action(QString::fromLatin1(name))->text(), QString::fromUtf8(text));
        QCOMPARE(child<QAbstractButton>(w, "SpeedButtonSave")->text(), QStringLiteral("备份数据"));
        QCOMPARE(child<QWidget>(w, "Image7")->toolTip(), QStringLiteral("点击打开隐藏功能"));
        QVERIFY(!child<QWidget>(w, "Image1")->accessibleName().isEmpty());
        QVERIFY(w->dialogs()->online && w->dialogs()->dbChose && w->dialogs()->login && w->dialogs()->db);
        for (const RightButton &rb : RightButtons())
            QCOMPARE(child<QAbstractButton>(w, rb.button)->text(),
                w->action(QString::fromLatin1(rb.action))->text());

        // The side bar collapses and expands the work panel.
        auto *panel = child<QWidget>(w, "PanelWork");
        QTest::mouseClick(child<QWidget>(w, "Image7"), Qt::LeftButton);
        QCOMPARE(panel->width(), 0);
        QTest::mouseClick(child<QWidget>(w, "Image7"), Qt::LeftButton);
        QCOMPARE(panel->maximumWidth(), 97);
    }
};

QUILL_TEST_MAIN(TestApp)
#include "tst_app.moc"
