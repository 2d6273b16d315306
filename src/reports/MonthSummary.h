#pragma once

// 帐户月结: for every account in scope its opening balance, income, expense, net movement and
// closing balance over a range of days, one PrintTable row per account and a "总合计" row, printed
// through Frf\AccountMonth.frf.

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class TFormAccountChose;
class TFormProgress;

namespace MonthSummary {

inline const QString TotalRowName = QStringLiteral("总合计");
inline const QString TemplateFile = QStringLiteral("AccountMonth.frf");

struct Scope {
    QStringList accounts; // empty: every account in view
    QDate start;
    QDate end;
};

// The scope chosen in the scope dialog: the selected accounts only when 帐户范围 is ticked and
// something is selected; the dates when 日期范围 is ticked, else the month of currentDay.
Scope ScopeFromChoice(bool accountRange, const QStringList &selected, bool dateRange, const QDate &start,
    const QDate &end, const QDate &currentDay);

enum class Outcome { NoAccounts, Failed, Written };

// Rewrites the PrintTable pool for the scope, within the session's view filters, in one
// transaction: on a failure (shown to the user) the pool stays as it was. progress is told 25
// before and 75 after the accounts are summed.
Outcome WritePool(const Scope &scope, const std::function<void(int)> &progress = {});

// ActionMoneyMonth: the scope dialog, the progress window, the pool and the print.
void Run(TFormAccountChose *scopeDialog, TFormProgress *progress, QWidget *parent = nullptr);

} // namespace MonthSummary
