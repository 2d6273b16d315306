// 帐户月结 as a user runs it from the accounts tab: the scope dialog, the figures per account and
// their total in the pool table and in the print, the progress window and the pool's size.

#include "SummariesFixture.h"
#include "reports/ProgressForm.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QProgressBar>

using namespace SummariesTest;

namespace {

const QString EnabledRows = QStringLiteral(
    "Select PrintValue1, PrintValue2, PrintValue3, PrintValue4, PrintValue5, PrintValue6 From PrintTable "
    "Where PrintEnable = 1 Order By PrintIndex");
const QString WholePool = QStringLiteral("Select * From PrintTable Order By PrintIndex");

struct Choice {
    bool accountRange = false;
    QStringList selected;
    bool dateRange = false;
    QDate from;
    QDate to;
};

Seams::DialogScript choose(const Choice &c)
{
    return [c](QDialog *d) {
        if (c.accountRange)
            child<QAbstractButton>(d, QStringLiteral("CheckBox1"))->click();
        for (const QString &name : c.selected)
            ReportsTest::clickItem(child<QListWidget>(d, QStringLiteral("ListBox1")), name);
        if (c.dateRange) {
            child<QAbstractButton>(d, QStringLiteral("CheckBox2"))->click();
            child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->setDate(c.from);
            child<QDateEdit>(d, QStringLiteral("DateTimePicker2"))->setDate(c.to);
        }
        trigger(d, QStringLiteral("ActionYes"));
    };
}

TFormProgress *progressWindow(const Run &run)
{
    return run.window()->findChild<TFormProgress *>(QStringLiteral("TFormProgress"));
}

// 帐户月结 with the scope chosen; the positions the progress bar went through.
QList<int> runSummary(Run &run, const Choice &choice)
{
    QList<int> positions;
    auto *bar = child<QProgressBar>(progressWindow(run), QStringLiteral("ProgressBar1"));
    QObject listening; // ends the connection with this call
    QObject::connect(
        bar, &QProgressBar::valueChanged, &listening, [&positions](int v) { positions.append(v); });
    run.seams.onDialog(QStringLiteral("TFormAccountChose"), choose(choice));
    trigger(run.window()->tabPage(MainTab::Accounts), QStringLiteral("ActionMoneyMonth"));
    return positions;
}

const QList<Move> WorkedMoves
    = {{"A", 500, QDate(2026, 5, 3)}, {"A", -200, QDate(2026, 6, 10)}, {"A", 300, QDate(2026, 6, 12)}};

} // namespace

Q_DECLARE_METATYPE(Choice)

class TestMonthSummary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // The current day is 2026-6-15: without a date range the summary covers June.
    void figures_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QList<Account>>("accounts");
        QTest::addColumn<QList<Move>>("moves");
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::newRow("worked example") << Cashier << QList<Account> {{"A", 1000}} << WorkedMoves << Choice {}
                                        << QList<QStringList> {{"A", "1500", "300", "200", "100", "1600"},
                                               {"总合计", "1500", "300", "200", "100", "1600"}};
        QTest::newRow("account without entries")
            << Cashier << QList<Account> {{"A", 1000}, {"B", 250}} << WorkedMoves << Choice {}
            << QList<QStringList> {{"A", "1500", "300", "200", "100", "1600"},
                   {"B", "250", "0", "0", "0", "250"}, {"总合计", "1750", "300", "200", "100", "1850"}};
        QTest::newRow("start after end") << Cashier << QList<Account> {{"A", 1000}} << WorkedMoves
                                         << Choice {false, {}, true, QDate(2026, 6, 30), QDate(2026, 6, 1)}
                                         << QList<QStringList> {{"A", "1600", "0", "0", "0", "1600"},
                                                {"总合计", "1600", "0", "0", "0", "1600"}};
        QTest::newRow("date range") << Cashier << QList<Account> {{"A", 1000}} << WorkedMoves
                                    << Choice {false, {}, true, QDate(2026, 5, 1), QDate(2026, 6, 10)}
                                    << QList<QStringList> {{"A", "1000", "500", "200", "300", "1300"},
                                           {"总合计", "1000", "500", "200", "300", "1300"}};
        QTest::newRow("account range without selection")
            << Cashier << QList<Account> {{"A", 1000}, {"B", 250}} << WorkedMoves << Choice {true}
            << QList<QStringList> {{"A", "1500", "300", "200", "100", "1600"},
                   {"B", "250", "0", "0", "0", "250"}, {"总合计", "1750", "300", "200", "100", "1850"}};
        QTest::newRow("selected accounts")
            << Cashier << QList<Account> {{"A", 1000}, {"B", 250}, {"C'", 7.5}} << WorkedMoves
            << Choice {true, {"C'", "A"}}
            << QList<QStringList> {{"A", "1500", "300", "200", "100", "1600"},
                   {"C'", "7.5", "0", "0", "0", "7.5"}, {"总合计", "1507.5", "300", "200", "100", "1607.5"}};
        QTest::newRow("cents") << Cashier << QList<Account> {{"A", 10.25}}
                               << QList<Move> {{"A", 2.25, QDate(2026, 6, 1)}, {"A", -0.5, QDate(2026, 6, 2)},
                                      {"A", 0.1, QDate(2026, 5, 2)}, {"A", 0.2, QDate(2026, 5, 3)}}
                               << Choice {}
                               << QList<QStringList> {{"A", "10.55", "2.25", "0.5", "1.75", "12.3"},
                                      {"总合计", "10.55", "2.25", "0.5", "1.75", "12.3"}};
        // Another user's entries are left out; the opening amount counts whole.
        QTest::newRow("own entries only")
            << Restricted << QList<Account> {{"A", 100, Restricted}, {"B", 50}}
            << QList<Move> {{"A", 10, QDate(2026, 6, 2), Restricted}, {"A", 20, QDate(2026, 6, 3)},
                   {"A", -5, QDate(2026, 5, 1)}, {"A", -3, QDate(2026, 5, 2), Restricted}}
            << Choice {}
            << QList<QStringList> {
                   {"A", "97", "10", "0", "10", "107"}, {"总合计", "97", "10", "0", "10", "107"}};
    }
    void figures()
    {
        QFETCH(QString, user);
        QFETCH(QList<Account>, accounts);
        QFETCH(QList<Move>, moves);
        QFETCH(Choice, choice);
        QFETCH(QList<QStringList>, rows);
        Run run;
        QVERIFY(startOn(run, accounts, moves, user));
        ReportRecorder recorder(run.seams);
        QCOMPARE(runSummary(run, choice), (QList<int> {25, 75, 100}));
        QVERIFY(!progressWindow(run)->isVisible());
        QCOMPARE(poolTexts(*run.ledger(), EnabledRows), rows);
        QCOMPARE(recorder.reports.size(), 1);
        QCOMPARE(recorder.reports.first().templatePath(),
            run.folder.filePath(QStringLiteral("Frf/AccountMonth.frf")));
        QCOMPARE(ShownRows(recorder.reports.first()), rows);
        QVERIFY(run.seams.messages.isEmpty());
    }

    // A pool smaller than the accounts in scope grows; rows left over from an earlier, longer
    // print are switched off.
    void poolRows_data()
    {
        QTest::addColumn<int>("poolSize");
        QTest::addColumn<int>("accountCount");
        QTest::newRow("more accounts than rows") << 3 << 4;
        QTest::newRow("exactly one row short") << 3 << 3;
        QTest::newRow("surplus rows") << 200 << 2;
    }
    void poolRows()
    {
        QFETCH(int, poolSize);
        QFETCH(int, accountCount);
        Run run;
        QList<Account> accounts;
        QList<QStringList> rows;
        for (int i = 1; i <= accountCount; ++i) {
            accounts.append({QStringLiteral("帐户%1").arg(i), double(i)});
            rows.append({accounts.last().name, QString::number(i), "0", "0", "0", QString::number(i)});
        }
        const QString total = QString::number(accountCount * (accountCount + 1) / 2);
        rows.append({"总合计", total, "0", "0", "0", total});
        {
            auto ledger = run.ledger();
            ledger->exec(QStringLiteral("Delete From PrintTable Where PrintIndex > ?"), {poolSize});
            ledger->exec(QStringLiteral("Update PrintTable Set PrintEnable = 1, PrintValue1 = '旧'"));
        }
        QVERIFY(startOn(run, accounts, {}));
        ReportRecorder recorder(run.seams);
        runSummary(run, Choice {});
        auto ledger = run.ledger();
        QCOMPARE(poolTexts(*ledger, EnabledRows), rows);
        QCOMPARE(ledger->value(QStringLiteral("Select Count(*) From PrintTable")).toInt(),
            qMax(poolSize, accountCount + 1));
        QCOMPARE(recorder.reports.size(), 1);
        QCOMPARE(ShownRows(recorder.reports.first()), rows);
    }

    // No account in the view: the progress window closes, nothing is printed, nothing is said.
    void noAccountInScope()
    {
        Run run;
        {
            auto ledger = run.ledger();
            writeLedger(*ledger, {{"A", 1000}}, WorkedMoves);
        }
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("1"));
        QVERIFY(run.startAs(Cashier));
        const QList<QStringList> before = poolTexts(*run.ledger(), WholePool);
        ReportRecorder recorder(run.seams);
        runSummary(run, Choice {});
        QVERIFY(!progressWindow(run)->isVisible());
        QVERIFY(recorder.reports.isEmpty());
        QVERIFY(run.seams.messages.isEmpty());
        QCOMPARE(poolTexts(*run.ledger(), WholePool), before);
    }

    // A row that cannot be written: the failure is shown, the pool stays as it was before the
    // run and nothing is printed.
    void failureLeavesPool()
    {
        Run run;
        {
            auto ledger = run.ledger();
            ledger->exec(QStringLiteral("Update PrintTable Set PrintEnable = 1, PrintValue1 = '旧'"));
            ledger->exec(QStringLiteral("Create Trigger Refuse Before Update On PrintTable When "
                                        "New.PrintValue1 = 'B' Begin Select Raise(Abort, 'refused'); End"));
        }
        QVERIFY(startOn(run, {{"A", 1000}, {"B", 250}}, WorkedMoves));
        const QList<QStringList> before = poolTexts(*run.ledger(), WholePool);
        ReportRecorder recorder(run.seams);
        runSummary(run, Choice {});
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("SQL命令执行出错")});
        QVERIFY(!progressWindow(run)->isVisible());
        QVERIFY(recorder.reports.isEmpty());
        QCOMPARE(poolTexts(*run.ledger(), WholePool), before);
    }
};

QUILL_TEST_MAIN(TestMonthSummary)
#include "tst_monthsummary.moc"
