#pragma once

// The daily journal's figures by the long-standing statements, each written out in full: the
// balances sum every entry before the day. The fast figures must equal these; the benchmark
// times them on the same ledger.

#include "journal/DailyFigures.h"
#include "storage/PublicFunction.h"

namespace DayStatements {

// Runs the statements in their order; false (with the failure message shown) when one fails.
inline bool ByFullSums(const QDate &day, const Sql &a, const Sql &e, const QString &bookSetting,
    DailyJournal::DayFigures &figures)
{
    using DailyJournal::DayFigures;
    figures = DayFigures();
    const QString failed = Texts::DatabaseOpenFailed;
    Query q;
    if (!RunQuery(q,
            Sql("Select Round(Sum(AccountBase),2) As TotalSum From Account Where (AccountIndex > 1)") + a,
            failed))
        return false;
    const double opening = q.number(QStringLiteral("TotalSum"));
    if (!RunQuery(q,
            Sql("Select Round(Sum(MoneySum),2) As LastDateSum From Account,MoneyTable Where (AccountIndex = "
                "MoneyAccount) And (MoneyCreateTime < ")
                + Sql::value(day) + Sql(")") + a + e,
            failed))
        return false;
    figures.previousBalance = 0;
    figures.previousBalance += opening;
    figures.previousBalance += q.number(QStringLiteral("LastDateSum"));
    figures.reached = DayFigures::Reached::PreviousBalance;
    if (!RunQuery(q,
            Sql("Select Round(Sum(MoneySum),2) As TodayDateSum From Account,MoneyTable Where (AccountIndex = "
                "MoneyAccount) And (MoneyCreateTime < ")
                + Sql::value(day.addDays(1)) + Sql(")") + a + e,
            failed))
        return false;
    figures.dayBalance = 0;
    figures.dayBalance += opening;
    figures.dayBalance += q.number(QStringLiteral("TodayDateSum"));

    auto prefix = [&] {
        Sql p("Select Round(Sum(MoneySum),2) As TodayDateMoney, Count(MoneyIndex) As TodayDateCount From "
              "Account,MoneyTable Where (AccountIndex = MoneyAccount) And (MoneyReason <> ");
        p += Sql::value(DailyJournal::SameBookTransfer) + Sql(")");
        if (bookSetting == QLatin1String("5"))
            p += Sql(" And (MoneyReason <> ") + Sql::value(DailyJournal::CrossBookTransfer) + Sql(")");
        return p + Sql(" And (MoneyCreateTime = ");
    };
    if (!RunQuery(q, prefix() + Sql::value(day) + Sql(") And (MoneySum >= 0)") + a + e, failed))
        return false;
    figures.incomeCount = q.integer(QStringLiteral("TodayDateCount"));
    figures.incomeSum = q.number(QStringLiteral("TodayDateMoney"));
    if (!RunQuery(q, prefix() + Sql::value(day) + Sql(") And (MoneySum < 0)") + a + e, failed))
        return false;
    figures.expenseCount = q.integer(QStringLiteral("TodayDateCount"));
    figures.expenseSum = q.number(QStringLiteral("TodayDateMoney"));
    figures.reached = DayFigures::Reached::Everything;
    return true;
}

} // namespace DayStatements
