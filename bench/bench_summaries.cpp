// 帐户月结 for all 1,000 accounts over one month (target: at most 1.5 × its floor) and 财务日结 over
// one year (target: at most 1.2 × its floor), on a ledger of 1,000 accounts and 1,000,000
// entries. Each figure is printed beside the floor: the same sums read and the same pool rows
// written by bare statements on the same ledger.
//
//   bench_summaries [program folder | empty-ledger template]
//
// Without an argument the template comes from the build tree's programfiles folder.

#include "BenchLedger.h"
#include "app/Session.h"
#include "reports/DailyStatistics.h"
#include "reports/MonthSummary.h"
#include "reports/ReportQuery.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cstdio>

namespace {

constexpr int Runs = 5;

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

void print(const char *what, double ms, double floorMs, double target)
{
    const double ratio = ms / floorMs;
    std::printf("%-46s %8.1f ms   floor %8.1f ms   %.2f × floor  (target <= %.1f ×: %s)\n", what, ms, floorMs,
        ratio, target, ratio <= target ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    int exitCode = 0;
    if (Bench::RunAsGenerator(argc, argv, &exitCode))
        return exitCode;
    QCoreApplication app(argc, argv);
    Bench::Setup bench("bench_summaries", argc, argv);
    if (!bench.prepare() || !bench.open())
        return 1;
    std::printf("the best of %d runs each\n\n", Runs);

    SessionValues &s = Session();
    const ViewFilters f = MakeViewFilters(QStringLiteral("5"), true, Bench::Cashier);
    s.AccountBookFilter = f.AccountBookFilter;
    s.MoneyOwnerFilter = f.MoneyOwnerFilter;
    bool ok = true;

    // The month summary: June 2025, every account.
    const MonthSummary::Scope month {{}, QDate(2025, 6, 1), QDate(2025, 6, 30)};
    const double monthMs = Bench::BestOf(
        Runs, [&] { return MonthSummary::WritePool(month) == MonthSummary::Outcome::Written; }, &ok);
    const Sql joined
        = Sql(" From Account,MoneyTable Where (AccountIndex > 1) And (AccountIndex = MoneyAccount)")
        + s.AccountBookFilter + s.MoneyOwnerFilter;
    const double monthFloor = Bench::BestOf(
        Runs,
        [&] {
            return Bench::ReadAll(Sql("Select AccountIndex, AccountName, AccountBase From Account Where "
                                      "(AccountIndex > 1)")
                       + s.AccountBookFilter)
                && Bench::ReadAll(Sql("Select MoneyAccount, Sum(MoneySum)") + joined
                    + Sql(" And (MoneyCreateTime < ") + Sql::value(month.start)
                    + Sql(") Group By MoneyAccount"))
                && Bench::ReadAll(Sql("Select MoneyAccount, Sum(iif(MoneySum > 0, MoneySum, 0)), "
                                      "Sum(iif(MoneySum < 0, MoneySum, 0))")
                    + joined + Sql(" And (MoneyCreateTime Between ") + Sql::value(month.start) + Sql(" And ")
                    + Sql::value(month.end) + Sql(") Group By MoneyAccount"))
                && writeRows(
                    QStringLiteral("Update PrintTable Set PrintEnable = 1, PrintValue1 = ?, PrintValue2 = "
                                   "?, PrintValue3 = ?, PrintValue4 = ?, PrintValue5 = ?, PrintValue6 "
                                   "= ? Where PrintIndex = ?"),
                    Bench::AccountCount + 1, 6);
        },
        &ok);
    if (!ok)
        return bench.failed(QStringLiteral("the month summary failed"));
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
    const double dailyMs = Bench::BestOf(
        Runs, [&] { return DailyStatistics::WritePool(s) == DailyStatistics::Outcome::Written; }, &ok);
    int days = 0;
    const double dailyFloor = Bench::BestOf(
        Runs,
        [&] {
            return Bench::ReadAll(Sql("Select Sum(AccountBase) From Account Where (AccountIndex > 1)")
                       + s.ReportAccountCondition)
                && Bench::ReadAll(
                    Sql("Select Sum(MoneySum) From Account,MoneyTable Where (AccountIndex = MoneyAccount)")
                    + s.ReportAccountCondition + Sql(" And (MoneyCreateTime < ")
                    + Sql::value(choices.startDate) + Sql(")"))
                && Bench::ReadAll(
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
        return bench.failed(QStringLiteral("the daily statistics failed"));
    print(qPrintable(QStringLiteral("财务日结, one year (%1 days):").arg(days)), dailyMs, dailyFloor, 1.2);
    return 0;
}
