#include "journal/DailyFigures.h"

#include "storage/PublicFunction.h"

namespace DailyJournal {

namespace {
// An entry's amount in whole fen, as the money totals count it.
const char *const EntryFen = "CAST(round(ifnull(MoneySum, 0) * 100) AS INTEGER)";

Sql fen()
{
    return Sql(EntryFen);
}

// A sum in fen as the rounded amount the entries' own Round(Sum(MoneySum),2) gives: the same
// rounding of the same decimal text, so the two agree to the last bit.
Sql amountOf(const Sql &fenSum)
{
    return Sql("round(ifnull(") + fenSum + Sql(", 0) / 100.0, 2)");
}

// The transfers the day's counts leave out.
Sql countedEntries(const QString &bookSetting)
{
    Sql condition = Sql("(MoneyReason <> ") + Sql::value(SameBookTransfer) + Sql(")");
    if (bookSetting == QLatin1String("5"))
        condition += Sql(" And (MoneyReason <> ") + Sql::value(CrossBookTransfer) + Sql(")");
    return condition;
}

// Every stored day that begins with the month's text ("2026-06") sorts from that text up to the
// text with its last character raised ("2026-07"; "2026-13" after December), and no other does.
QString pastMonth(const QString &month)
{
    QString past = month;
    past.back() = QChar(past.back().unicode() + 1);
    return past;
}

// The day's entries, with or without a time, sort from the day's text up to this one: the next
// day's text, or for 9999-12-31, whose next day has no four-digit year, the day's text followed by
// a character above every character of a time.
QString pastDay(const QDate &day)
{
    const QDate next = day.addDays(1);
    if (next.year() <= 9999)
        return IsoDate(next);
    return IsoDate(day) + QLatin1Char('~');
}

// The opening amounts and the balance before the day in fen: the years before its year and the
// months of its year before its month from the totals, and the month's own entries before the
// day. Those are read from the nearer end of the month, through the covering index of each
// account: the entries before the day, or the month's total less the entries from the day on.
Sql balanceBeforeSql(const QDate &day, const Sql &a, const Sql &e)
{
    const QString year = day.toString(QStringLiteral("yyyy"));
    const QString month = day.toString(QStringLiteral("yyyy-MM"));
    const bool fromMonthStart = day.day() - 1 <= day.daysInMonth() - day.day() + 1;
    auto totals = [&](const char *table, const Sql &period) {
        return Sql("ifnull((Select Sum(MoneyFen) From Account Cross Join ") + Sql(table)
            + Sql(" Where (AccountIndex = MoneyAccount) And ") + period + a + e + Sql("), 0)");
    };
    auto entries = [&](const QString &from, const QString &to) {
        return Sql("ifnull((Select Sum(") + fen()
            + Sql(") From Account Cross Join MoneyTable Where (AccountIndex = MoneyAccount) "
                  "And (MoneyCreateTime >= ")
            + Sql::value(from) + Sql(") And (MoneyCreateTime < ") + Sql::value(to) + Sql(")") + a + e
            + Sql("), 0)");
    };
    Sql fenBefore = totals("MoneyYearTotal", Sql("(MoneyYear < ") + Sql::value(year) + Sql(")")) + Sql(" + ");
    if (fromMonthStart)
        fenBefore += totals("MoneyMonthTotal",
                         Sql("(MoneyMonth >= ") + Sql::value(year) + Sql(") And (MoneyMonth < ")
                             + Sql::value(month) + Sql(")"))
            + Sql(" + ") + entries(month, IsoDate(day));
    else
        fenBefore += totals("MoneyMonthTotal",
                         Sql("(MoneyMonth >= ") + Sql::value(year) + Sql(") And (MoneyMonth <= ")
                             + Sql::value(month) + Sql(")"))
            + Sql(" - ") + entries(IsoDate(day), pastMonth(month));
    return Sql("Select TotalSum, BeforeFen, ") + amountOf(Sql("BeforeFen"))
        + Sql(" As LastDateSum From (Select (Select Round(Sum(AccountBase),2) From Account "
              "Where (AccountIndex > 1)")
        + a + Sql(") As TotalSum, ") + fenBefore + Sql(" As BeforeFen)");
}

// The day's entries: their sum for the closing balance (every entry stored under the day),
// and the counts and sums of income and expense.
Sql daySql(const QDate &day, const Sql &a, const Sql &e, const QString &bookSetting, qint64 before)
{
    const Sql counted
        = countedEntries(bookSetting) + Sql(" And (MoneyCreateTime = ") + Sql::value(day) + Sql(")");
    const Sql income = counted + Sql(" And (MoneySum >= 0)");
    const Sql expense = counted + Sql(" And (MoneySum < 0)");
    return Sql("Select ") + amountOf(Sql::value(before) + Sql(" + ifnull(Sum(") + fen() + Sql("), 0)"))
        + Sql(" As TodayDateSum, Sum(iif(") + income + Sql(", 1, 0)) As IncomeCount, ")
        + amountOf(Sql("Sum(iif(") + income + Sql(", ") + fen() + Sql(", Null))"))
        + Sql(" As IncomeSum, Sum(iif(") + expense + Sql(", 1, 0)) As ExpenseCount, ")
        + amountOf(Sql("Sum(iif(") + expense + Sql(", ") + fen() + Sql(", Null))"))
        + Sql(" As ExpenseSum From Account,MoneyTable Where (AccountIndex = MoneyAccount) "
              "And (MoneyCreateTime >= ")
        + Sql::value(day) + Sql(") And (MoneyCreateTime < ") + Sql::value(pastDay(day)) + Sql(")") + a + e;
}
} // namespace

bool ComputeDayFigures(const QDate &day, const Sql &accountBookFilter, const Sql &ownerFilter,
    const QString &bookSetting, DayFigures &figures, const QString &failMessage)
{
    figures = DayFigures();
    Query query;
    if (!RunQuery(query, balanceBeforeSql(day, accountBookFilter, ownerFilter), failMessage))
        return false;
    const double opening = query.number(QStringLiteral("TotalSum"));
    const qint64 before = query.integer(QStringLiteral("BeforeFen"));
    // Added up in the order the balances have always been, so the doubles agree too.
    figures.previousBalance = 0;
    figures.previousBalance += opening;
    figures.previousBalance += query.number(QStringLiteral("LastDateSum"));
    figures.reached = DayFigures::Reached::PreviousBalance;

    if (!RunQuery(query, daySql(day, accountBookFilter, ownerFilter, bookSetting, before), failMessage))
        return false;
    figures.dayBalance = 0;
    figures.dayBalance += opening;
    figures.dayBalance += query.number(QStringLiteral("TodayDateSum"));
    figures.incomeCount = query.integer(QStringLiteral("IncomeCount"));
    figures.incomeSum = query.number(QStringLiteral("IncomeSum"));
    figures.expenseCount = query.integer(QStringLiteral("ExpenseCount"));
    figures.expenseSum = query.number(QStringLiteral("ExpenseSum"));
    figures.reached = DayFigures::Reached::Everything;
    return true;
}

bool ComputeDayFigures(const QDate &day, const Sql &accountBookFilter, const Sql &ownerFilter,
    const QString &bookSetting, DayFigures &figures)
{
    return ComputeDayFigures(
        day, accountBookFilter, ownerFilter, bookSetting, figures, Texts::DatabaseOpenFailed);
}

Sql DailyGridSql(const QDate &day, const Sql &accountBookFilter, const Sql &ownerFilter)
{
    return Sql("Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount) And (MoneyCreateTime = ")
        + Sql::value(day) + Sql(")") + accountBookFilter + ownerFilter + Sql(" Order By MoneyIndex");
}

QString PreviousBalanceText(const DayFigures &figures)
{
    return QStringLiteral("上日结余：") + RoundMoney(figures.previousBalance) + QStringLiteral(" 元");
}

QString DayBalanceText(const DayFigures &figures)
{
    return QStringLiteral("本日结余：") + RoundMoney(figures.dayBalance) + QStringLiteral(" 元");
}

QString IncomeText(const DayFigures &figures)
{
    return QStringLiteral("共 ") + QString::number(figures.incomeCount) + QStringLiteral(" 笔～")
        + RoundMoney(figures.incomeSum) + QStringLiteral(" 元");
}

QString ExpenseText(const DayFigures &figures)
{
    return QStringLiteral("共 ") + QString::number(figures.expenseCount) + QStringLiteral(" 笔～")
        + RoundMoney(-figures.expenseSum) + QStringLiteral(" 元");
}

QString AccountSumText(const DayFigures &figures)
{
    return QStringLiteral("总金额：") + RoundMoney(figures.dayBalance) + QStringLiteral(" 元");
}

} // namespace DailyJournal
