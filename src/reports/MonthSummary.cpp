#include "reports/MonthSummary.h"

#include "accounts/AccountChoseForm.h"
#include "accounts/AccountOverview.h"
#include "platform/Seams.h"
#include "printing/ReportEngine.h"
#include "reports/ProgressForm.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QHash>

namespace MonthSummary {

namespace {

struct Figures {
    double opening = 0;
    double income = 0;
    double expense = 0;
    double net = 0;
    double closing = 0;

    void add(const Figures &other)
    {
        opening += other.opening;
        income += other.income;
        expense += other.expense;
        net += other.net;
        closing += other.closing;
    }
};

ColumnValues poolRow(const QString &name, const Figures &f)
{
    return {{QStringLiteral("PrintEnable"), true}, {QStringLiteral("PrintValue1"), name},
        {QStringLiteral("PrintValue2"), RoundMoney(f.opening)},
        {QStringLiteral("PrintValue3"), RoundMoney(f.income)},
        {QStringLiteral("PrintValue4"), RoundMoney(f.expense)},
        {QStringLiteral("PrintValue5"), RoundMoney(f.net)},
        {QStringLiteral("PrintValue6"), RoundMoney(f.closing)}, {QStringLiteral("PrintValue7"), QString()},
        {QStringLiteral("PrintValue8"), QString()}, {QStringLiteral("PrintValue9"), QString()},
        {QStringLiteral("PrintValue10"), QString()}};
}

} // namespace

Scope ScopeFromChoice(bool accountRange, const QStringList &selected, bool dateRange, const QDate &start,
    const QDate &end, const QDate &currentDay)
{
    Scope scope;
    if (accountRange)
        scope.accounts = selected;
    if (dateRange) {
        scope.start = start;
        scope.end = end;
    } else {
        scope.start = Accounts::FirstDayOfMonth(currentDay);
        scope.end = Accounts::LastDayOfMonth(currentDay);
    }
    return scope;
}

Outcome WritePool(const Scope &scope, const std::function<void(int)> &progress)
{
    auto report = [&progress](int position) {
        if (progress)
            progress(position);
    };
    report(25);
    const SessionValues &s = Session();
    Sql accountCondition;
    if (!scope.accounts.isEmpty())
        accountCondition = Sql(" And AccountName In ")
            + Sql::list(QVariantList(scope.accounts.begin(), scope.accounts.end()));
    // Ordered, so that every run lists the accounts alike.
    Query accounts;
    if (!RunQuery(accounts,
            Sql("Select AccountIndex, AccountName, AccountBase From Account Where (AccountIndex > 1)")
                + accountCondition + s.AccountBookFilter + Sql(" Order By AccountIndex"),
            Texts::DatabaseOpenFailed))
        return Outcome::Failed;
    if (accounts.isEmpty())
        return Outcome::NoAccounts;

    // The three sums of every account in scope, each grouped in one pass instead of one query
    // per account and figure.
    const Sql joined
        = Sql(" From Account,MoneyTable Where (AccountIndex > 1) And (AccountIndex = MoneyAccount)")
        + accountCondition + s.AccountBookFilter + s.MoneyOwnerFilter;
    Query before;
    if (!RunQuery(before,
            Sql("Select MoneyAccount, Round(Sum(MoneySum),2) As TotalMoney") + joined
                + Sql(" And (MoneyCreateTime < ") + Sql::value(scope.start) + Sql(") Group By MoneyAccount"),
            Texts::DatabaseOpenFailed))
        return Outcome::Failed;
    Query within;
    if (!RunQuery(within,
            Sql("Select MoneyAccount, Round(Sum(iif(MoneySum > 0, MoneySum, 0)),2) As Income, "
                "Round(Abs(Sum(iif(MoneySum < 0, MoneySum, 0))),2) As Expense")
                + joined + Sql(" And (MoneyCreateTime Between ") + Sql::value(scope.start) + Sql(" And ")
                + Sql::value(scope.end) + Sql(") Group By MoneyAccount"),
            Texts::DatabaseOpenFailed))
        return Outcome::Failed;
    QHash<qint64, Figures> sums;
    for (before.first(); !before.eof(); before.next())
        sums[before.integer(QStringLiteral("MoneyAccount"))].opening
            = before.number(QStringLiteral("TotalMoney"));
    for (within.first(); !within.eof(); within.next()) {
        Figures &f = sums[within.integer(QStringLiteral("MoneyAccount"))];
        f.income = within.number(QStringLiteral("Income"));
        f.expense = within.number(QStringLiteral("Expense"));
    }

    Transaction change;
    if (!change.isActive()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return Outcome::Failed;
    }
    Query pool;
    if (!RunQuery(
            pool, Sql("Select PrintIndex From PrintTable Order By PrintIndex"), Texts::DatabaseOpenFailed))
        return Outcome::Failed;
    // A pool too small for the accounts in scope grows, so that no account and no total is
    // left out of the print.
    qint64 lastWritten = 0;
    auto write = [&pool, &lastWritten](const ColumnValues &row) {
        if (pool.eof()) {
            lastWritten = InsertRow(QStringLiteral("PrintTable"), row);
            return lastWritten > 0;
        }
        lastWritten = pool.integer(QStringLiteral("PrintIndex"));
        pool.next();
        return UpdateRow(QStringLiteral("PrintTable"), QStringLiteral("PrintIndex"), lastWritten, row);
    };
    pool.first();
    Figures totals;
    for (accounts.first(); !accounts.eof(); accounts.next()) {
        Figures f = sums.value(accounts.integer(QStringLiteral("AccountIndex")));
        f.opening += accounts.number(QStringLiteral("AccountBase"));
        f.net = f.income - f.expense;
        f.closing = f.net + f.opening;
        totals.add(f);
        if (!write(poolRow(accounts.text(QStringLiteral("AccountName")), f)))
            return Outcome::Failed;
    }
    if (!write(poolRow(TotalRowName, totals)))
        return Outcome::Failed;
    report(75);
    bool switchedOff = false;
    ExecSql(Sql("Update PrintTable Set PrintEnable = 0 Where PrintIndex > ") + Sql::value(lastWritten),
        &switchedOff);
    if (!switchedOff)
        return Outcome::Failed;
    if (!change.commit()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return Outcome::Failed;
    }
    return Outcome::Written;
}

void Run(TFormAccountChose *scopeDialog, TFormProgress *progress, QWidget *parent)
{
    if (Platform::ShowModal(scopeDialog) != QDialog::Accepted)
        return;
    const Scope scope = ScopeFromChoice(scopeDialog->accountRange(), scopeDialog->selectedAccounts(),
        scopeDialog->dateRange(), scopeDialog->startDate(), scopeDialog->endDate(), Session().CurrentDay);
    const Outcome outcome = WritePool(scope, [progress](int position) { progress->ShowAt(position); });
    Query rows;
    bool read = false;
    if (outcome == Outcome::Written) {
        progress->ShowAt(100);
        read = RunQuery(rows, Sql("Select * From PrintTable Where PrintEnable = 1 Order By PrintIndex"),
            Texts::DatabaseOpenFailed);
    }
    progress->close();
    if (read)
        PrintReport(ReportTemplatePath(TemplateFile), rows, {}, parent);
}

} // namespace MonthSummary
