// A refresh of every view while the user looks at one tab: the page on screen refreshes at once, a
// hidden page waits and shows the new figures as it is shown, before it is painted. The controls
// are read with findChild here, so that reading them does not itself bring the page up to date.

#include "app/MainForm.h"
#include "support/ProgramRun.h"
#include "support/TestMain.h"
#include "widgets/DataGrid.h"
#include "widgets/MainPage.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

using namespace TestSupport;

namespace {

const QDate Day(2026, 6, 15);

MainPage *page(const Run &run, MainTab tab)
{
    return qobject_cast<MainPage *>(run.window()->tabPage(tab));
}

QString labelText(const Run &run, const char *name)
{
    return run.window()->findChild<QLabel *>(QString::fromLatin1(name))->text();
}

void addRecord(LedgerFile &ledger, double due)
{
    ledger.exec(
        QStringLiteral("Insert Into GetPay (GetPayTime, GetPayUser, GetPayKind, GetPaySum, GetPaySum2, "
                       "GetPaySum3, GetPayReason, GetPayRemark, GetPayMan, GetPayPower) "
                       "Values ('2026-06-15', '华联商场', '应收', ?, 0, ?, '销售收入', '', '本人', ?)"),
        {due, due, Cashier});
}

QString footer(DataGrid *grid, const QString &field)
{
    for (int c = 0; c < grid->columnCount(); ++c)
        if (grid->column(c).field == field)
            return grid->footerText(c);
    return QStringLiteral("<no column %1>").arg(field);
}

// Counts the grid's rows each time its cells are painted.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(DataGrid *grid) : grid(grid) { grid->viewport()->installEventFilter(this); }
    QList<int> rowsPainted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            rowsPainted.append(grid->rowCount());
        return false;
    }

private:
    DataGrid *grid;
};

} // namespace

class TestHiddenPages : public QObject
{
    Q_OBJECT

private slots:
    void hiddenPageRefreshesWhenShown_data()
    {
        QTest::addColumn<MainTab>("tab");
        QTest::addColumn<QString>("gridName");
        QTest::addColumn<QString>("footerField");
        QTest::addColumn<QString>("footerBefore");
        QTest::addColumn<QString>("footerAfter");
        QTest::newRow("daily journal") << MainTab::Journal << "DBGridEh1"
                                       << "MoneyIndex"
                                       << "1条"
                                       << "2条";
        QTest::newRow("report with the whole list") << MainTab::Reports << "DBGridEh2"
                                                    << "MoneyIndex"
                                                    << "1条"
                                                    << "2条";
        QTest::newRow("receivables") << MainTab::GetPay << "DBGridEh3"
                                     << "GetPaySum"
                                     << "500"
                                     << "800";
    }
    void hiddenPageRefreshesWhenShown()
    {
        QFETCH(MainTab, tab);
        QFETCH(QString, gridName);
        QFETCH(QString, footerField);
        QFETCH(QString, footerBefore);
        QFETCH(QString, footerAfter);
        Run run;
        std::unique_ptr<LedgerFile> ledger = run.ledger();
        const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
        ledger->addEntry(bank, 100, Day);
        addRecord(*ledger, 500);
        QVERIFY(run.startAs(Cashier));
        QTabWidget *tabs = run.window()->tabs();
        MainPage *shown = page(run, tab);
        auto *grid = shown->findChild<DataGrid *>(gridName);
        QVERIFY(grid);
        tabs->setCurrentWidget(shown);
        if (tab == MainTab::Reports) // the whole list, in another order
            shown->findChild<QComboBox *>(QStringLiteral("ComboBox3"))->setCurrentIndex(1);
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(footer(grid, footerField), footerBefore);

        // The user looks at the accounts while an entry and a record are saved.
        tabs->setCurrentWidget(page(run, MainTab::Accounts));
        ledger->addEntry(bank, 20, Day);
        addRecord(*ledger, 300);
        run.window()->RefreshAll();
        QVERIFY(!page(run, MainTab::Accounts)->isOutOfDate());
        QVERIFY(shown->isOutOfDate());
        QCOMPARE(grid->rowCount(), 1);
        // The day's figures are on the accounts page too: they never wait.
        QCOMPARE(labelText(run, "AccountSum"), QStringLiteral("总金额：1120 元"));
        QCOMPARE(labelText(run, "Label11"), QStringLiteral("共 2 笔～120 元"));

        PaintWatch watch(grid);
        tabs->setCurrentWidget(shown);
        QVERIFY(!shown->isOutOfDate());
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(footer(grid, footerField), footerAfter);
        shown->grab();
        QVERIFY(!watch.rowsPainted.isEmpty());
        QCOMPARE(watch.rowsPainted.first(), 2);
        QVERIFY(run.seams.messages.isEmpty());
    }

    // The page on screen is never left behind, and a hidden page is refreshed once when it is
    // shown however many refreshes it missed.
    void pageOnScreenRefreshesAtOnce()
    {
        Run run;
        std::unique_ptr<LedgerFile> ledger = run.ledger();
        const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
        QVERIFY(run.startAs(Cashier));
        MainPage *journal = page(run, MainTab::Journal);
        auto *grid = journal->findChild<DataGrid *>(QStringLiteral("DBGridEh1"));
        run.window()->tabs()->setCurrentWidget(journal);
        ledger->addEntry(bank, 20, Day);
        run.window()->RefreshAll();
        QVERIFY(!journal->isOutOfDate());
        QCOMPARE(grid->rowCount(), 1);
        QVERIFY(page(run, MainTab::Accounts)->isOutOfDate());

        run.window()->tabs()->setCurrentWidget(page(run, MainTab::Accounts));
        for (int i = 0; i < 3; ++i) {
            ledger->addEntry(bank, 5, Day);
            run.window()->RefreshAll();
        }
        QCOMPARE(grid->rowCount(), 1);
        run.window()->tabs()->setCurrentWidget(journal);
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(labelText(run, "Label11"), QStringLiteral("共 4 笔～35 元"));
    }
};

QUILL_TEST_MAIN(TestHiddenPages)
#include "tst_hiddenpages.moc"
