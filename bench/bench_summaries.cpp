// 帐户月结 for all 1,000 accounts over one month (target: at most 1.5 × its floor) and 财务日结 over
// one year (target: at most 1.2 × its floor), on a ledger of 1,000 accounts and 1,000,000
// entries. Each figure is printed beside the floor: the same sums read and the same pool rows
// written by bare statements on the same ledger.
//
//   bench_summaries [program folder | empty-ledger template]
//
// Without an argument the template comes from the build tree's programfiles folder.

#include "app/Session.h"
#include "platform/Seams.h"
#include "reports/DailyStatistics.h"
#include "reports/MonthSummary.h"
#include "reports/ReportQuery.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int AccountCount = 1000;
constexpr int EntryCount = 1000000;
constexpr int EntriesPerDay = 900;
constexpr int Runs = 5;
const QDate FirstDay(2024, 1, 1);
const QString Cashier = QStringLiteral("出纳");

int failed(const QString &what)
{
    std::fprintf(stderr, "bench_summaries: %s\n", qPrintable(what));
    return 1;
}

bool generate()
{
    QSqlDatabase db = ShareDataModule->connection();
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA cache_size = -400000")); // generation only
    Transaction transaction;
    QSqlQuery account(db);
    account.prepare(
        QStringLiteral("Insert Into Account (AccountName, AccountBase, AccountRemark, AccountType, "
                       "AccountPower) Values (?, ?, '', ?, ?)"));
    QList<qint64> accounts;
    for (int a = 0; a < AccountCount; ++a) {
        account.addBindValue(QStringLiteral("帐户%1").arg(a + 1, 4, 10, QLatin1Char('0')));
        account.addBindValue(double(a % 17) * 1000.25);
        account.addBindValue(a % 3 == 0 ? 2 : 1);
        account.addBindValue(Cashier);
        if (!account.exec())
            return false;
        accounts.append(account.lastInsertId().toLongLong());
    }
    QSqlQuery entry(db);
    entry.prepare(
        QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyGetPay, MoneyAccount, MoneyUser, "
                       "MoneyRecordTime, MoneyCreateTime, MoneyIn, MoneyOut, MoneySum, MoneyReason, "
                       "MoneyType, MoneyToken, MoneyPower) "
                       "Values (?, 0, ?, '零散客户', ?, ?, ?, ?, ?, '测试', '日常收支', '现金', ?)"));
    QRandomGenerator random(20240101);
    for (int i = 0; i < EntryCount; ++i) {
        const QString day = IsoDate(FirstDay.addDays(i / EntriesPerDay));
        const double amount = random.bounded(1, 500000) / 100.0;
        const bool income = random.bounded(2) == 0;
        entry.addBindValue(income ? QStringLiteral("财务收入") : QStringLiteral("财务支出"));
        entry.addBindValue(accounts[random.bounded(AccountCount)]);
        entry.addBindValue(day);
        entry.addBindValue(day);
        entry.addBindValue(income ? amount : 0.0);
        entry.addBindValue(income ? 0.0 : amount);
        entry.addBindValue(income ? amount : -amount);
        entry.addBindValue(Cashier);
        if (!entry.exec()) {
            std::fprintf(stderr, "%s\n", qPrintable(entry.lastError().text()));
            return false;
        }
    }
    account.finish();
    entry.finish();
    return transaction.commit();
}

// Runs a statement with its bound values and reads every row.
bool readAll(const Sql &sql, int *rows = nullptr)
{
    QSqlQuery q(ShareDataModule->connection());
    q.setForwardOnly(true);
    q.prepare(sql.text());
    for (const QVariant &v : sql.values())
        q.addBindValue(v);
    if (!q.exec()) {
        std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        return false;
    }
    int n = 0;
    while (q.next()) {
        for (int c = 0; c < q.record().count(); ++c)
            q.value(c);
        ++n;
    }
    if (rows)
        *rows = n;
    return true;
}

// Writes rows pool rows of table with bare prepared statements in one transaction.
bool writeRows(const QString &update, int rows, int columns)
{
    Transaction t;
    QSqlQuery q(ShareDataModule->connection());
    q.prepare(update);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            q.addBindValue(QStringLiteral("1234.5"));
        q.addBindValue(r + 1);
        if (!q.exec())
            return false;
    }
    return t.commit();
}

// The best of the runs, in milliseconds: other work on the machine only ever adds time.
double best(const std::function<bool()> &work, bool *ok)
{
    double fastest = 0;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!work()) {
            *ok = false;
            return 0;
        }
        const double ms = timer.nsecsElapsed() / 1e6;
        if (run == 0 || ms < fastest)
            fastest = ms;
    }
    return fastest;
}

void print(const char *what, double ms, double floorMs, double target)
{
    const double ratio = ms / floorMs;
    std::printf("%-46s %8.1f ms   floor %8.1f ms   %.2f × floor  (target <= %.1f ×: %s)\n", what, ms, floorMs,
        ratio, target, ratio <= target ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString templatePath = argc > 1
        ? QString::fromLocal8Bit(argv[1])
        : QCoreApplication::applicationDirPath() + QStringLiteral("/../programfiles");
    if (QFileInfo(templatePath).isDir())
        templatePath = QDir(templatePath).filePath(QStringLiteral("QuillShare.dll"));
    QTemporaryDir dir;
    const QString ledger = dir.filePath(QStringLiteral("Bench.ddb"));
    if (!dir.isValid() || !QFile::copy(templatePath, ledger))
        return failed(QStringLiteral("cannot copy the empty-ledger template %1").arg(templatePath));
    QFile::setPermissions(ledger, QFile::permissions(ledger) | QFile::WriteOwner);
    Platform::Seams::handlers().message = [](Platform::MessageKind, const QString &text, const QString &) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return false;
    };

    TShareDataModule dataModule;
    QString error;
    if (!OpenLedgerConnection(ledger, DatabaseKind::Ledger, &error))
        return failed(error);
    QElapsedTimer timer;
    timer.start();
    if (!generate())
        return failed(QStringLiteral("generating the ledger failed"));
    std::printf("ledger: %d accounts, %d entries generated in %.1f s; the best of %d runs each\n\n",
        AccountCount, EntryCount, timer.elapsed() / 1000.0, Runs);

    SessionValues &s = Session();
    const ViewFilters f = MakeViewFilters(QStringLiteral("5"), true, Cashier);
    s.AccountBookFilter = f.AccountBookFilter;
    s.MoneyOwnerFilter = f.MoneyOwnerFilter;
    bool ok = true;

    // The month summary: June 2025, every account.
    const MonthSummary::Scope month {{}, QDate(2025, 6, 1), QDate(2025, 6, 30)};
    const double monthMs
        = best([&] { return MonthSummary::WritePool(month) == MonthSummary::Outcome::Written; }, &ok);
    const Sql joined
        = Sql(" From Account,MoneyTable Where (AccountIndex > 1) And (AccountIndex = MoneyAccount)")
        + s.AccountBookFilter + s.MoneyOwnerFilter;
    const double monthFloor = best(
        [&] {
            return readAll(Sql("Select AccountIndex, AccountName, AccountBase From Account Where "
                               "(AccountIndex > 1)")
                       + s.AccountBookFilter)
                && readAll(Sql("Select MoneyAccount, Sum(MoneySum)") + joined
                    + Sql(" And (MoneyCreateTime < ") + Sql::value(month.start)
                    + Sql(") Group By MoneyAccount"))
                && readAll(Sql("Select MoneyAccount, Sum(iif(MoneySum > 0, MoneySum, 0)), "
                               "Sum(iif(MoneySum < 0, MoneySum, 0))")
                    + joined + Sql(" And (MoneyCreateTime Between ") + Sql::value(month.start) + Sql(" And ")
                    + Sql::value(month.end) + Sql(") Group By MoneyAccount"))
                && writeRows(
                    QStringLiteral("Update PrintTable Set PrintEnable = 1, PrintValue1 = ?, PrintValue2 = "
                                   "?, PrintValue3 = ?, PrintValue4 = ?, PrintValue5 = ?, PrintValue6 "
                                   "= ? Where PrintIndex = ?"),
                    AccountCount + 1, 6);
        },
        &ok);
    if (!ok)
        return failed(QStringLiteral("the month summary failed"));
    print("帐户月结, 1,000 accounts, one month:", monthMs, monthFloor, 1.5);

    // The daily statistics: the year 2025.
    ReportChoices choices;
    choices.documentKind = Texts::AllItems;
    choices.transferKind = Texts::AllItems;
    choices.timeRange = true;
    choices.startDate = QDate(2025, 1, 1);
    choices.endDate = QDate(2025, 12, 31);
    choices.currentAccount = Texts::AllItems;
    choices.currentReason = Texts::AllItems;
    choices.type = choices.voucher = choices.customer = choices.salesman = Texts::AllItems;
    const ReportConditions built = BuildReportConditions(choices);
    s.ReportCondition = built.condition;
    s.ReportAccountCondition = built.accountCondition;
    s.ReportStartDate = built.startDate;
    const double dailyMs
        = best([&] { return DailyStatistics::WritePool(s) == DailyStatistics::Outcome::Written; }, &ok);
    int days = 0;
    const double dailyFloor = best(
        [&] {
            return readAll(Sql("Select Sum(AccountBase) From Account Where (AccountIndex > 1)")
                       + s.ReportAccountCondition)
                && readAll(
                    Sql("Select Sum(MoneySum) From Account,MoneyTable Where (AccountIndex = MoneyAccount)")
                    + s.ReportAccountCondition + Sql(" And (MoneyCreateTime < ")
                    + Sql::value(choices.startDate) + Sql(")"))
                && readAll(
                    Sql("Select MoneyCreateTime, Sum(iif(MoneySum > 0, 1, 0)), Sum(iif(MoneySum > 0, "
                        "MoneySum, 0)), Sum(iif(MoneySum < 0, 1, 0)), Sum(iif(MoneySum < 0, -MoneySum, 0)) "
                        "From Account,MoneyTable Where (AccountIndex = MoneyAccount)")
                        + s.AccountBookFilter + s.MoneyOwnerFilter + s.ReportCondition
                        + Sql(" Group By MoneyCreateTime Order By MoneyCreateTime"),
                    &days)
                && writeRows(
                    QStringLiteral("Update PrintDay Set DayEnable = 1, DayName = ?, DayGetNum = ?, "
                                   "DayGetSum = ?, DayPayNum = ?, DayPaySum = ?, DayBalance = ? Where "
                                   "DayIndex = ?"),
                    days + 2, 6);
        },
        &ok);
    if (!ok)
        return failed(QStringLiteral("the daily statistics failed"));
    print(qPrintable(QStringLiteral("财务日结, one year (%1 days):").arg(days)), dailyMs, dailyFloor, 1.2);
    return 0;
}
