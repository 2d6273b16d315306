#include "app/Session.h"

#include "accounts/AccountOverview.h"

ViewFilters MakeViewFilters(const QString &accountType, bool rightOverview, const QString &currentUser)
{
    ViewFilters f;
    bool numeric = false;
    const int type = accountType.trimmed().toInt(&numeric);
    switch (numeric ? type : -1) {
    case 0:
        f.AccountBookFilter = Sql(" And (AccountType = 0)");
        break;
    case 1:
        f.AccountBookFilter = Sql(" And (AccountType = 1)");
        break;
    case 2:
        f.AccountBookFilter = Sql(" And (AccountType = 2)");
        break;
    case 5:
        f.AccountBookFilter = Sql(" And ((AccountType = 1) Or (AccountType = 2))");
        break;
    default:
        break;
    }
    f.BookPicture = Accounts::BookPictureFile(accountType);
    if (!rightOverview) {
        f.AccountBookFilter += Sql(" And (AccountPower = ") + Sql::value(currentUser) + Sql(")");
        f.MoneyOwnerFilter = Sql(" And (MoneyPower = ") + Sql::value(currentUser) + Sql(")");
        f.GetPayOwnerFilter = Sql(" And (GetPayPower = ") + Sql::value(currentUser) + Sql(")");
    }
    return f;
}

ShellVisibility VisibilityFor(const SessionValues &session)
{
    ShellVisibility v;
    auto show = [&v](MainTab tab, bool visible) { v.tabVisible[int(tab)] = visible; };
    v.administrator = session.CurrentUser == AdministratorName;
    if (v.administrator) {
        show(MainTab::Settings, true);
        show(MainTab::Maintenance, true);
        v.activeTab = MainTab::Settings;
        v.workPanelVisible = false;
    } else {
        show(MainTab::Accounts, true);
        show(MainTab::Journal, true);
        show(MainTab::GetPay, true);
        show(MainTab::Reports, session.RightReports);
        v.activeTab = MainTab::Accounts;
        v.workPanelVisible = true;
    }
    return v;
}

const QList<RightButton> &RightButtons()
{
    static const QList<RightButton> buttons = {
        {"SpeedButtonGet", "ActionGet", &SessionValues::RightIncome},
        {"SpeedButtonPay", "ActionPay", &SessionValues::RightExpense},
        {"SpeedButtonDraw", "ActionDraw", &SessionValues::RightTransfer},
        {"SpeedButton3", "ActionMoneyMonth", &SessionValues::RightReports},
        {"SpeedButton5", "ActionNewGet", &SessionValues::RightIncome},
        {"SpeedButton6", "ActionEditGet", &SessionValues::RightEdit},
        {"SpeedButton7", "ActionDeleteGet", &SessionValues::RightEdit},
        {"SpeedButton8", "ActionNewPay", &SessionValues::RightExpense},
        {"SpeedButton9", "ActionEditPay", &SessionValues::RightEdit},
        {"SpeedButton10", "ActionDeletePay", &SessionValues::RightEdit},
    };
    return buttons;
}
