#pragma once

// The figures of the daily journal's labels, worked out without widgets: the closing balances
// of the day before and of the day, and the number and sum of the day's income and expense,
// under the session's view filters.
//
// A balance is the opening amounts of the accounts the account-book filter admits plus their
// entries before a day (the owner filter applied to the entries). It is read from the money
// totals the ledger keeps per account, period and owner, so its cost does not grow with the
// ledger; it equals the rounded sum over every entry. Amounts are summed in whole fen.

#include "storage/Sql.h"

#include <QDate>
#include <QString>

namespace DailyJournal {

// The reasons that mark the two rows of a transfer.
inline const QString SameBookTransfer = QStringLiteral("帐户平调");
inline const QString CrossBookTransfer = QStringLiteral("帐簿平调");

struct DayFigures {
    // How far the work got: a failed statement stops it, and what came before stays valid.
    enum class Reached { Nothing, PreviousBalance, Everything };
    Reached reached = Reached::Nothing;

    double previousBalance = 0; // closing balance of the day before
    double dayBalance = 0; // closing balance of the day
    qint64 incomeCount = 0; // entries of the day with MoneySum >= 0, transfers left out
    double incomeSum = 0;
    qint64 expenseCount = 0; // entries of the day with MoneySum < 0, transfers left out
    double expenseSum = 0; // as stored: zero or negative

    bool complete() const { return reached == Reached::Everything; }
};

// The figures of `day` on the shared connection. accountBookFilter and ownerFilter are the
// session's AccountBookFilter and MoneyOwnerFilter; bookSetting is the "AccountType" setting
// as read with default "5": when it reads "5" the day's counts leave out both transfer reasons,
// otherwise only "帐户平调" (a transfer between a bank and a cash account then counts as one
// income and one expense). A failed statement shows failMessage (as RunQuery does) and
// returns false with figures.reached telling what is valid.
bool ComputeDayFigures(const QDate &day, const Sql &accountBookFilter, const Sql &ownerFilter,
    const QString &bookSetting, DayFigures &figures, const QString &failMessage);
bool ComputeDayFigures(const QDate &day, const Sql &accountBookFilter, const Sql &ownerFilter,
    const QString &bookSetting, DayFigures &figures);

// The journal grid's rows for the day, in the order they were stored.
Sql DailyGridSql(const QDate &day, const Sql &accountBookFilter, const Sql &ownerFilter);

// The label texts, amounts written with RoundMoney.
QString PreviousBalanceText(const DayFigures &figures); // "上日结余：… 元"
QString DayBalanceText(const DayFigures &figures); // "本日结余：… 元"
QString IncomeText(const DayFigures &figures); // "共 n 笔～… 元"
QString ExpenseText(const DayFigures &figures); // the same, the sum as a positive number
QString AccountSumText(const DayFigures &figures); // "总金额：… 元", the day's closing balance

} // namespace DailyJournal
