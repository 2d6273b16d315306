#include "ledgers/Rights.h"

#include "storage/ShareDM.h"

QStringList Rights::AllNames()
{
    return {Income, Expense, Transfer, Overview, Edit, Reports};
}

UserRights ParseRights(const QString &powerRange)
{
    UserRights r;
    r.Income = powerRange.contains(Rights::Income);
    r.Expense = powerRange.contains(Rights::Expense);
    r.Transfer = powerRange.contains(Rights::Transfer);
    r.Overview = powerRange.contains(Rights::Overview);
    r.Edit = powerRange.contains(Rights::Edit);
    r.Reports = powerRange.contains(Rights::Reports);
    return r;
}

void ApplyRights(SessionValues &session, const UserRights &rights)
{
    session.RightIncome = rights.Income;
    session.RightExpense = rights.Expense;
    session.RightTransfer = rights.Transfer;
    session.RightOverview = rights.Overview;
    session.RightEdit = rights.Edit;
    session.RightReports = rights.Reports;
}
