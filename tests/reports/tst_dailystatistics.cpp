// 财务日结 as a user runs it from the report tab after choosing the report's conditions: the
// brought-forward balance, the day rows and the total in the pool table and in the print, and
// the pool's rows across runs.

#include "SummariesFixture.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QDateEdit>

using namespace SummariesTest;

namespace {

const QString EnabledRows
    = QStringLiteral("Select DayName, DayGetNum, DayGetSum, DayPayNum, DayPaySum, DayBalance "
                     "From PrintDay Where DayEnable = 1 Order By DayIndex");
const QString WholePool = QStringLiteral("Select * From PrintDay Order By DayIndex");

// 生成报表 with the time range ticked when from is valid, then 财务日结.
void runStatistics(Run &run, const QDate &from = {}, const QDate &to = {})
{
    makeReport(run, from, to);
    trigger(reportsTab(run), QStringLiteral("ActionResearchReport"));
}

const QList<Account> TwoAccounts = {{"A", 1000}, {"B", 500}};
const QList<Move> WorkedMoves = {{"A", 200, QDate(2026, 6, 1)}, {"B", -50, QDate(2026, 6, 1)},
    {"A", 80, QDate(2026, 5, 5)}, {"B", -30, QDate(2026, 6, 3)}};
const QList<QStringList> WorkedRows
    = {{"前累计余额", "", "", "", "", "1580"}, {"2026-6-1", "1", "200", "1", "50", "1730"},
        {"2026-6-3", "0", "0", "1", "30", "1700"}, {"合计", "1", "200", "2", "80", ""}};
const QDate June1(2026, 6, 1);
const QDate June30(2026, 6, 30);

} // namespace

class TestDailyStatistics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void rows_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QList<Account>>("accounts");
        QTest::addColumn<QList<Move>>("moves");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::newRow("worked example")
            << Cashier << TwoAccounts << WorkedMoves << June1 << June30 << WorkedRows;
        QTest::newRow("day summing to zero")
            << Cashier << TwoAccounts
            << (WorkedMoves
                   + QList<Move> {{"A", 0, QDate(2026, 6, 2)}, {"B", 5, QDate(2026, 6, 2)},
                       {"A", -5, QDate(2026, 6, 2)}})
            << June1 << June30
            << QList<QStringList> {WorkedRows[0], WorkedRows[1], {"2026-6-2", "1", "5", "1", "5", "1730"},
                   WorkedRows[2], {"合计", "2", "205", "3", "85", ""}};
        QTest::newRow("entry of amount 0 alone")
            << Cashier << TwoAccounts << (WorkedMoves + QList<Move> {{"A", 0, QDate(2026, 6, 2)}}) << June1
            << June30
            << QList<QStringList> {WorkedRows[0], WorkedRows[1], {"2026-6-2", "0", "0", "0", "0", "1730"},
                   WorkedRows[2], WorkedRows[3]};
        QTest::newRow("no time range") << Cashier << TwoAccounts << WorkedMoves << QDate() << QDate()
                                       << QList<QStringList> {{"前累计余额", "", "", "", "", "1500"},
                                              {"2026-5-5", "1", "80", "0", "0", "1580"}, WorkedRows[1],
                                              WorkedRows[2], {"合计", "2", "280", "2", "80", ""}};
        QTest::newRow("cents unrounded")
            << Cashier << QList<Account> {{"A", 0.1}}
            << QList<Move> {{"A", 0.2, QDate(2026, 6, 1)}, {"A", 0.004, QDate(2026, 6, 2)},
                   {"A", 0.004, QDate(2026, 6, 3)}}
            << June1 << June30
            << QList<QStringList> {{"前累计余额", "", "", "", "", "0.1"},
                   {"2026-6-1", "1", "0.2", "0", "0", "0.3"}, {"2026-6-2", "1", "0", "0", "0", "0.3"},
                   {"2026-6-3", "1", "0", "0", "0", "0.31"}, {"合计", "3", "0.21", "0", "0", ""}};
        // The day rows hold the user's own entries; the balance brought forward every user's.
        QTest::newRow("own entries only")
            << Restricted << QList<Account> {{"A", 1000, Restricted}, {"B", 500, Restricted}}
            << QList<Move> {{"A", 200, QDate(2026, 6, 1), Restricted}, {"B", -50, QDate(2026, 6, 1)},
                   {"A", 80, QDate(2026, 5, 5)}, {"B", -30, QDate(2026, 6, 3), Restricted}}
            << June1 << June30
            << QList<QStringList> {WorkedRows[0], {"2026-6-1", "1", "200", "0", "0", "1780"},
                   {"2026-6-3", "0", "0", "1", "30", "1750"}, {"合计", "1", "200", "1", "30", ""}};
    }
    void rows()
    {
        QFETCH(QString, user);
        QFETCH(QList<Account>, accounts);
        QFETCH(QList<Move>, moves);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QList<QStringList>, rows);
        Run run;
        QVERIFY(startOn(run, accounts, moves, user));
        ReportRecorder recorder(run.seams);
        runStatistics(run, from, to);
        QCOMPARE(poolTexts(*run.ledger(), EnabledRows), rows);
        QCOMPARE(recorder.reports.size(), 1);
        QCOMPARE(recorder.reports.first().templatePath(),
            run.folder.filePath(QStringLiteral("Frf/MonthCount.frf")));
        QCOMPARE(ShownRows(recorder.reports.first()), rows);
        QVERIFY(run.seams.messages.isEmpty());
    }

    // No entry within the conditions: nothing is written, printed or said.
    void noDays()
    {
        Run run;
        QVERIFY(startOn(run, TwoAccounts, WorkedMoves));
        ReportRecorder recorder(run.seams);
        runStatistics(run);
        const QList<QStringList> before = poolTexts(*run.ledger(), WholePool);
        runStatistics(run, QDate(2026, 7, 1), QDate(2026, 7, 31));
        QCOMPARE(recorder.reports.size(), 1);
        QVERIFY(run.seams.messages.isEmpty());
        QCOMPARE(poolTexts(*run.ledger(), WholePool), before);
    }

    // The pool grows to the longest report and keeps its rows; a shorter report switches the
    // rest off. A run that fails part way leaves the pool as the last run left it.
    void poolAcrossRuns()
    {
        Run run;
        QVERIFY(startOn(run, TwoAccounts, WorkedMoves));
        const int initial = run.ledger()->value(QStringLiteral("Select Count(*) From PrintDay")).toInt();
        ReportRecorder recorder(run.seams);
        runStatistics(run);
        runStatistics(run, June1, June30);
        QCOMPARE(poolTexts(*run.ledger(), EnabledRows), WorkedRows);
        QCOMPARE(
            run.ledger()->value(QStringLiteral("Select Count(*) From PrintDay")).toInt(), qMax(initial, 5));
        QCOMPARE(recorder.reports.size(), 2);

        const QList<QStringList> before = poolTexts(*run.ledger(), WholePool);
        run.ledger()->exec(QStringLiteral(
            "Create Trigger Refuse Before Update On PrintDay When "
            "New.DayEnable = 1 And New.DayName = '合计' Begin Select Raise(Abort, 'refused'); End"));
        runStatistics(run);
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("SQL命令执行出错")});
        QCOMPARE(recorder.reports.size(), 2);
        QCOMPARE(poolTexts(*run.ledger(), WholePool), before);
    }
};

QUILL_TEST_MAIN(TestDailyStatistics)
#include "tst_dailystatistics.moc"
