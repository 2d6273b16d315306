// The daily journal's figures: balances and day counts from the money totals the ledger keeps,
// compared with the statements that sum every entry, on generated ledgers and after every kind
// of change; and the totals of a ledger that lacks them, built when it is opened.

#include "DayStatements.h"
#include "EntryFixture.h"
#include "accounts/AccountStore.h"
#include "app/Session.h"
#include "journal/DailyFigures.h"
#include "journal/EntryStore.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <cmath>

using DailyJournal::DayFigures;
using EntryTest::exec;

namespace {
const QString Cashier = QStringLiteral("出纳");
const QString Clerk = QStringLiteral("李四");
const QString DefaultLedger = QStringLiteral("DataBase/Default.ddb");

// The days looked at: before and after the entries, the first day, month ends and month starts
// around a year's end, and one in the middle of a month.
const QList<QDate> &daysLookedAt()
{
    static const QList<QDate> days = {QDate(2025, 10, 31), QDate(2025, 11, 1), QDate(2025, 11, 30),
        QDate(2025, 12, 31), QDate(2026, 1, 1), QDate(2026, 1, 31), QDate(2026, 2, 14), QDate(2026, 2, 28),
        QDate(2026, 3, 1), QDate(2026, 3, 31), QDate(2026, 4, 1)};
    return days;
}

struct Account {
    qint64 index;
    int type;
};

struct Ledger {
    QList<Account> accounts;
    QList<qint64> entries; // income and expense entries (no transfer halves)
};

qint64 addEntry(const QString &kind, qint64 account, const QDate &day, double sum, const QString &reason,
    const QVariant &owner)
{
    const bool income = sum >= 0;
    return exec(QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyGetPay, MoneyAccount, MoneyUser, "
                               "MoneyRecordTime, MoneyCreateTime, MoneyIn, MoneyOut, MoneySum, MoneyReason, "
                               "MoneyPower) Values (?, 0, ?, '', ?, ?, ?, ?, ?, ?, ?)"),
        {kind, account, IsoDate(day), IsoDate(day), income ? sum : 0.0, income ? 0.0 : -sum, sum, reason,
            owner});
}

// Six accounts of both books, one without a type, owned by two users; five months of income,
// expense, zero amounts and transfers of both kinds across a year's end, a few entries owned
// by nobody (as another tool may leave them).
Ledger generate()
{
    Ledger ledger;
    struct AccountRow {
        const char *name;
        int type;
        double base;
        QString owner;
    };
    const AccountRow made[]
        = {{"工商银行", 1, 1000.5, Cashier}, {"建设银行", 1, 200, Clerk}, {"现金", 2, 50.25, Cashier},
            {"备用金", 2, 0, Clerk}, {"未分类", 0, 7.77, Cashier}, {"农业银行", 1, -30.1, Cashier}};
    Transaction transaction;
    for (const AccountRow &s : made)
        ledger.accounts.append(
            {EntryTest::addAccount(QString::fromUtf8(s.name), s.type, s.base, s.owner), s.type});
    QRandomGenerator random(20260101);
    const QDate first(2025, 11, 1);
    for (int i = 0; i < 500; ++i) {
        const QDate day = first.addDays(random.bounded(151));
        const int pick = random.bounded(20);
        const QVariant owner = pick == 0 ? QVariant() : pick < 5 ? QVariant(Clerk) : QVariant(Cashier);
        const double amount = random.bounded(100000) / 100.0;
        const Account &a = ledger.accounts[random.bounded(ledger.accounts.size())];
        const int kind = random.bounded(10);
        if (kind == 0) {
            const Account &b = ledger.accounts[random.bounded(ledger.accounts.size())];
            if (a.index == b.index)
                continue;
            const QString reason
                = a.type == b.type ? DailyJournal::SameBookTransfer : DailyJournal::CrossBookTransfer;
            addEntry(EntryTest::Expense, a.index, day, -amount, reason, owner);
            addEntry(EntryTest::Income, b.index, day, amount, reason, owner);
        } else if (kind <= 5) {
            ledger.entries.append(
                addEntry(EntryTest::Income, a.index, day, amount, QStringLiteral("销售收入"), owner));
        } else {
            ledger.entries.append(
                addEntry(EntryTest::Expense, a.index, day, -amount, QStringLiteral("办公费用"), owner));
        }
    }
    if (!transaction.commit())
        qWarning("the generated ledger was not stored");
    return ledger;
}

// An entry as the entry form reads it back for an edit.
EntryRow storedEntry(qint64 index)
{
    const QVariantMap r = EntryTest::entry(index);
    EntryRow row;
    row.kind = r.value(QStringLiteral("MoneyKind")).toString();
    row.account = r.value(QStringLiteral("MoneyAccount")).toLongLong();
    row.createDay = QDate::fromString(r.value(QStringLiteral("MoneyCreateTime")).toString(), Qt::ISODate);
    row.amount = std::abs(r.value(QStringLiteral("MoneySum")).toDouble());
    row.reason = r.value(QStringLiteral("MoneyReason")).toString();
    row.power = r.value(QStringLiteral("MoneyPower")).toString();
    return row;
}

QString describe(const DayFigures &f)
{
    return QStringLiteral("%1 / %2 / %3 %4 / %5 %6")
        .arg(f.previousBalance, 0, 'g', 17)
        .arg(f.dayBalance, 0, 'g', 17)
        .arg(f.incomeCount)
        .arg(f.incomeSum, 0, 'g', 17)
        .arg(f.expenseCount)
        .arg(f.expenseSum, 0, 'g', 17);
}

bool same(const DayFigures &a, const DayFigures &b)
{
    return a.reached == b.reached && a.previousBalance == b.previousBalance && a.dayBalance == b.dayBalance
        && a.incomeCount == b.incomeCount && a.incomeSum == b.incomeSum && a.expenseCount == b.expenseCount
        && a.expenseSum == b.expenseSum;
}

// Rows of the totals that do not match the entries grouped afresh, counted both ways.
int staleTotals()
{
    const QString fen = QStringLiteral("Sum(CAST(round(ifnull(MoneySum, 0) * 100) AS INTEGER))");
    const QString where = QStringLiteral(" From MoneyTable Where MoneyAccount Is Not Null And "
                                         "MoneyCreateTime Is Not Null Group By 1, 2, 3 Having ");
    int stale = 0;
    for (const auto &[table, period, length] :
        {std::tuple {"MoneyYearTotal", "MoneyYear", 4}, std::tuple {"MoneyMonthTotal", "MoneyMonth", 7}}) {
        const QString grouped = QStringLiteral("Select MoneyAccount, substr(MoneyCreateTime, 1, %1), "
                                               "ifnull(MoneyPower, X''), %2")
                                    .arg(length)
                                    .arg(fen)
            + where + fen + QStringLiteral(" <> 0");
        const QString kept = QStringLiteral("Select MoneyAccount, %1, MoneyPower, MoneyFen From %2")
                                 .arg(QLatin1String(period), QLatin1String(table));
        stale += EntryTest::count(
            QStringLiteral("(") + grouped + QStringLiteral(" Except ") + kept + QStringLiteral(")"));
        stale += EntryTest::count(
            QStringLiteral("(") + kept + QStringLiteral(" Except ") + grouped + QStringLiteral(")"));
    }
    return stale;
}

QStringList totalsTriggers()
{
    QStringList names;
    for (const QVariantMap &r :
        EntryTest::rows(QStringLiteral("Select name From sqlite_master Where type = 'trigger' And name Like "
                                       "'MoneyTotals%' Order By name")))
        names.append(r.value(QStringLiteral("name")).toString());
    return names;
}
} // namespace

class TestDailyFigures : public TestSupport::FixtureTest
{
    Q_OBJECT

    Ledger ledger;

    bool openLedger()
    {
        if (!data->openLedger(DefaultLedger))
            return false;
        Session().CurrentUser = Cashier;
        return true;
    }

    // The fast figures against the full sums for every account book, with and without
    // 数据总览, on every day looked at.
    void compareWithFullSums(bool *sawMovement)
    {
        for (const QString book : {"1", "2", "5", "3"}) {
            for (const bool overview : {true, false}) {
                const ViewFilters f = MakeViewFilters(book, overview, Cashier);
                for (const QDate &day : daysLookedAt()) {
                    DayFigures fast;
                    DayFigures full;
                    QVERIFY(DailyJournal::ComputeDayFigures(
                        day, f.AccountBookFilter, f.MoneyOwnerFilter, book, fast));
                    QVERIFY(
                        DayStatements::ByFullSums(day, f.AccountBookFilter, f.MoneyOwnerFilter, book, full));
                    QVERIFY2(same(fast, full),
                        qPrintable(QStringLiteral("book %1%2, %3: %4 instead of %5")
                                       .arg(book, overview ? QStringLiteral(" with 数据总览") : QString(),
                                           IsoDate(day), describe(fast), describe(full))));
                    if (full.incomeCount + full.expenseCount > 0 && full.previousBalance != full.dayBalance)
                        *sawMovement = true;
                }
            }
        }
        QVERIFY(seams->messages.isEmpty());
    }

private slots:
    void init()
    {
        QVERIFY(makeFixture());
        QVERIFY(openLedger());
    }
    void cleanup() { dropFixture(); }

    void equalToFullSums_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change :
            {"as generated", "inserts", "amounts changed", "days changed", "accounts changed",
                "owners changed", "days written by another tool", "deletes", "accounts deleted"})
            QTest::newRow(change) << QString::fromUtf8(change);
    }
    void equalToFullSums()
    {
        QFETCH(QString, change);
        ledger = generate();
        QVERIFY(ledger.entries.size() > 300);
        const QList<Account> &accounts = ledger.accounts;
        const QList<qint64> &entries = ledger.entries;
        if (change == "inserts") {
            // Through the entry form's routine, also into a year and a month the ledger had none of.
            const struct {
                QDate day;
                int account;
                QString kind;
                double amount;
                QString power;
            } added[] = {{QDate(2025, 12, 31), 0, EntryTest::Income, 88.88, Cashier},
                {QDate(2026, 1, 1), 2, EntryTest::Expense, 12.34, Cashier},
                {QDate(2026, 3, 31), 1, EntryTest::Income, 0, Clerk},
                {QDate(2026, 3, 31), 3, EntryTest::Expense, 5000.01, Clerk},
                {QDate(2026, 4, 1), 4, EntryTest::Income, 0.01, Cashier},
                {QDate(2024, 6, 30), 5, EntryTest::Expense, 99.99, Cashier}};
            for (const auto &a : added) {
                EntryRow row;
                row.kind = a.kind;
                row.account = accounts[a.account].index;
                row.recordDay = row.createDay = a.day;
                row.amount = a.amount;
                row.reason = QStringLiteral("其他");
                row.power = a.power;
                QVERIFY(InsertEntry(row) > 0);
            }
        } else if (change == "amounts changed" || change == "days changed" || change == "accounts changed") {
            for (qsizetype i = 0; i < entries.size(); i += 7) {
                EntryRow row = storedEntry(entries[i]);
                if (change == "amounts changed")
                    row.amount = row.amount > 0 ? std::round(row.amount * 73) / 100 : 0.05;
                else if (change == "days changed")
                    row.createDay = row.createDay.addDays(i % 2 ? 40 : -45);
                else
                    row.account = accounts[(i / 7) % accounts.size()].index;
                QVERIFY(UpdateEntry(entries[i], row));
            }
        } else if (change == "owners changed") {
            // The entry form keeps the owner; another tool may not.
            const QVariant owners[] = {Clerk, Cashier, QVariant(), QStringLiteral("王五")};
            for (qsizetype i = 0; i < entries.size(); i += 5)
                exec(QStringLiteral("Update MoneyTable Set MoneyPower = ? Where MoneyIndex = ?"),
                    {owners[(i / 5) % 4], entries[i]});
        } else if (change == "days written by another tool") {
            // With a time of day, cut short or missing: compared as the texts they are.
            const QVariant days[]
                = {QStringLiteral("2026-01-31 23:59:59"), QStringLiteral("2026-03-01 08:00"),
                    QStringLiteral("2026-02"), QStringLiteral("2025-12-31 12:00"), QVariant()};
            for (qsizetype i = 0; i < entries.size(); i += 6)
                exec(QStringLiteral("Update MoneyTable Set MoneyCreateTime = ? Where MoneyIndex = ?"),
                    {days[(i / 6) % 5], entries[i]});
        } else if (change == "deletes") {
            for (qsizetype i = 0; i < entries.size(); i += 4)
                QVERIFY(DeleteEntry(entries[i]));
        } else if (change == "accounts deleted") {
            QVERIFY(Accounts::DeleteAccountWithEntries(accounts[0].index));
            QVERIFY(Accounts::DeleteAccountWithEntries(accounts[3].index));
            // Another tool removes an account and leaves its entries behind.
            exec(QStringLiteral("Delete From Account Where AccountIndex = ?"), {accounts[2].index});
        }
        bool sawMovement = false;
        compareWithFullSums(&sawMovement);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(sawMovement);
        QCOMPARE(staleTotals(), 0);
    }

    // A ledger made before the totals, or with part of them lost, and written to meanwhile by a
    // tool, gets all of them back, filled from its entries, when it is opened.
    void totalsBuiltOnOpening_data()
    {
        QTest::addColumn<QStringList>("damage");
        QTest::newRow("no totals") << QStringList {"Drop Trigger MoneyTotalsInsert",
            "Drop Trigger MoneyTotalsUpdate", "Drop Trigger MoneyTotalsDelete", "Drop Table MoneyYearTotal",
            "Drop Table MoneyMonthTotal"};
        QTest::newRow("update trigger lost") << QStringList {"Drop Trigger MoneyTotalsUpdate"};
        QTest::newRow("month totals lost") << QStringList {"Drop Trigger MoneyTotalsInsert",
            "Drop Trigger MoneyTotalsUpdate", "Drop Trigger MoneyTotalsDelete", "Drop Table MoneyMonthTotal"};
        QTest::newRow("trigger of another form") << QStringList {"Drop Trigger MoneyTotalsDelete",
            "Create Trigger MoneyTotalsDelete After Delete On MoneyTable Begin Select 1; End"};
    }
    void totalsBuiltOnOpening()
    {
        QFETCH(QStringList, damage);
        ledger = generate();
        for (const QString &statement : damage)
            QVERIFY(exec(statement) >= 0);
        // Written to without the triggers that are gone.
        exec(QStringLiteral("Update MoneyTable Set MoneySum = MoneySum + 1.01 Where MoneyIndex % 3 = 0"));
        exec(QStringLiteral("Delete From MoneyTable Where MoneyIndex % 11 = 0"));
        addEntry(EntryTest::Income, ledger.accounts[1].index, QDate(2026, 2, 28), 77.7,
            QStringLiteral("其他"), Clerk);
        ShareDataModule->closeConnection();

        QVERIFY(openLedger());
        QCOMPARE(
            totalsTriggers(), (QStringList {"MoneyTotalsDelete", "MoneyTotalsInsert", "MoneyTotalsUpdate"}));
        QCOMPARE(staleTotals(), 0);
        // And they follow the next change.
        QVERIFY(DeleteEntry(ledger.entries[1]));
        bool sawMovement = false;
        compareWithFullSums(&sawMovement);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(sawMovement);
    }

    // What the journal's labels show: transfers between accounts of one book never count,
    // those between a bank and a cash account count unless both books are shown, an amount of 0
    // is income, and a day without entries shows zeros and equal balances.
    void labelTexts_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QStringList>("texts");
        const QDate day(2026, 6, 15);
        QTest::newRow("both books") << "5" << day
                                    << QStringList {"上日结余：1487.5 元", "本日结余：1587.1 元",
                                           "共 2 笔～100.1 元", "共 1 笔～0.5 元", "总金额：1587.1 元"};
        QTest::newRow("bank accounts") << "1" << day
                                       << QStringList {"上日结余：1487.5 元", "本日结余：1567.6 元",
                                              "共 2 笔～100.1 元", "共 1 笔～20 元", "总金额：1567.6 元"};
        QTest::newRow("cash accounts") << "2" << day
                                       << QStringList {"上日结余：0 元", "本日结余：19.5 元",
                                              "共 1 笔～20 元", "共 1 笔～0.5 元", "总金额：19.5 元"};
        QTest::newRow("day without entries") << "5" << day.addDays(1)
                                             << QStringList {"上日结余：1587.1 元", "本日结余：1587.1 元",
                                                    "共 0 笔～0 元", "共 0 笔～0 元", "总金额：1587.1 元"};
    }
    void labelTexts()
    {
        QFETCH(QString, book);
        QFETCH(QDate, day);
        QFETCH(QStringList, texts);
        const qint64 bank = EntryTest::addAccount(QStringLiteral("招商银行"), 1, 1500);
        const qint64 bank2 = EntryTest::addAccount(QStringLiteral("交通银行"), 1, 0);
        const qint64 cash = EntryTest::addAccount(QStringLiteral("零用现金"), 2, 0);
        const QDate d(2026, 6, 15);
        addEntry(EntryTest::Expense, bank, d.addDays(-1), -12.5, QStringLiteral("办公费用"), Cashier);
        addEntry(EntryTest::Income, bank, d, 100.1, QStringLiteral("销售收入"), Cashier);
        addEntry(EntryTest::Income, bank, d, 0, QStringLiteral("销售收入"), Cashier);
        addEntry(EntryTest::Expense, cash, d, -0.5, QStringLiteral("办公费用"), Cashier);
        addEntry(EntryTest::Expense, bank, d, -20, DailyJournal::CrossBookTransfer, Cashier);
        addEntry(EntryTest::Income, cash, d, 20, DailyJournal::CrossBookTransfer, Cashier);
        addEntry(EntryTest::Expense, bank, d, -30, DailyJournal::SameBookTransfer, Cashier);
        addEntry(EntryTest::Income, bank2, d, 30, DailyJournal::SameBookTransfer, Cashier);

        const ViewFilters f = MakeViewFilters(book, false, Cashier);
        DayFigures figures;
        QVERIFY(DailyJournal::ComputeDayFigures(day, f.AccountBookFilter, f.MoneyOwnerFilter, book, figures));
        QCOMPARE(QStringList({DailyJournal::PreviousBalanceText(figures),
                     DailyJournal::DayBalanceText(figures), DailyJournal::IncomeText(figures),
                     DailyJournal::ExpenseText(figures), DailyJournal::AccountSumText(figures)}),
            texts);
    }

    // The last day a date box reaches has no next day in ISO text; its entries count all the same,
    // also at the largest amount, whose sums are written out in full.
    void lastDayOfTheCalendar()
    {
        const qint64 bank = EntryTest::addAccount(QStringLiteral("招商银行"), 1, 100);
        const QDate last(9999, 12, 31);
        addEntry(EntryTest::Expense, bank, last.addDays(-1), -0.5, QStringLiteral("办公费用"), Cashier);
        addEntry(EntryTest::Income, bank, last, MaxAmount, QStringLiteral("销售收入"), Cashier);
        addEntry(EntryTest::Income, bank, last, MaxAmount, QStringLiteral("销售收入"), Cashier);
        addEntry(EntryTest::Expense, bank, last, -12, QStringLiteral("办公费用"), Cashier);
        const ViewFilters f = MakeViewFilters(QStringLiteral("5"), false, Cashier);
        DayFigures figures;
        QVERIFY(DailyJournal::ComputeDayFigures(
            last, f.AccountBookFilter, f.MoneyOwnerFilter, QStringLiteral("5"), figures));
        // 100 − 0.5 before; + 2 × 9999999999.99 − 12 on the day.
        QCOMPARE(
            QStringList({DailyJournal::PreviousBalanceText(figures), DailyJournal::DayBalanceText(figures),
                DailyJournal::IncomeText(figures), DailyJournal::ExpenseText(figures)}),
            QStringList({"上日结余：99.5 元", "本日结余：20000000087.48 元", "共 2 笔～19999999999.98 元",
                "共 1 笔～12 元"}));
        QVERIFY(seams->messages.isEmpty());
    }

    // The ledger itself keeps every amount within the limit, whoever writes it, so the totals
    // in whole fen are never cut at the 64-bit limit; what it refuses leaves the totals as they were.
    void ledgerRefusesAmountsBeyondTheLimit_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("insert above") << "Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyCreateTime, "
                                         "MoneyIn, MoneyOut, MoneySum) Values ('财务收入', %1, '2026-06-15', "
                                         "10000000000, 0, 10000000000)";
        QTest::newRow("insert far below")
            << "Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyCreateTime, "
               "MoneyIn, MoneyOut, MoneySum) Values ('财务支出', %1, '2026-06-15', "
               "0, 12345678901234567890, -12345678901234567890)";
        QTest::newRow("update of the sum") << "Update MoneyTable Set MoneySum = 1e17 Where MoneyAccount = %1";
        QTest::newRow("update of the expense")
            << "Update MoneyTable Set MoneyOut = 1e11 Where MoneyAccount = %1";
    }
    void ledgerRefusesAmountsBeyondTheLimit()
    {
        QFETCH(QString, statement);
        const qint64 bank = EntryTest::addAccount(QStringLiteral("招商银行"), 1, 0);
        QVERIFY(addEntry(EntryTest::Income, bank, QDate(2026, 6, 15), MaxAmount, QStringLiteral("销售收入"),
                    Cashier)
            > 0);
        QVERIFY(addEntry(EntryTest::Expense, bank, QDate(2026, 6, 15), -MaxAmount, QStringLiteral("办公费用"),
                    Cashier)
            > 0);
        QVERIFY(addEntry(EntryTest::Income, bank, QDate(2026, 6, 15), MaxAmount, QStringLiteral("销售收入"),
                    Cashier)
            > 0);
        QSqlQuery q(ShareDataModule->connection());
        QVERIFY(!q.exec(statement.arg(bank)));
        QVERIFY2(
            q.lastError().text().contains(QStringLiteral("金额超出范围")), qPrintable(q.lastError().text()));
        QCOMPARE(EntryTest::count(QStringLiteral("MoneyTable Where MoneyAccount = ?"), {bank}), 3);
        QCOMPARE(EntryTest::row(
                     QStringLiteral("Select MoneyFen From MoneyMonthTotal Where MoneyAccount = ?"), {bank})
                     .value(QStringLiteral("MoneyFen"))
                     .toLongLong(),
            999999999999LL);
        QCOMPARE(staleTotals(), 0);
    }

    // A statement that fails shows the caller's message and leaves nothing computed.
    void failureShowsMessage()
    {
        exec(QStringLiteral("Drop Table MoneyMonthTotal"));
        DayFigures figures;
        QVERIFY(!DailyJournal::ComputeDayFigures(QDate(2026, 1, 15), {}, {}, QStringLiteral("5"), figures));
        QCOMPARE(figures.reached, DayFigures::Reached::Nothing);
        QCOMPARE(seams->messageTexts(), QStringList {Texts::DatabaseOpenFailed});
    }
};

QUILL_TEST_MAIN(TestDailyFigures)
#include "tst_dailyfigures.moc"
