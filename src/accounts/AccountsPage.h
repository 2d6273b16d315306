#pragma once

// The "帐户状况" tab: the account panels with their paging, sorting and 新增帐户, the total
// AccountSum, the account search (帐户搜索) and the button 帐户月结. A click on a panel opens the
// account action dialog for its account.

#include "widgets/MainPage.h"

class AccountPanels;
class QAction;
class TFormAccount;
class TFormAccount2;
class TFormAccountSearch;

class AccountsPage : public MainPage
{
    Q_OBJECT
public:
    AccountsPage(TFormAccount *accountDialog, TFormAccount2 *actionDialog, TFormAccountSearch *searchDialog,
        QWidget *parent = nullptr);

    AccountPanels *panels() const { return accountPanels; }
    int panelPage() const { return panelPageNumber; }

    // Start-up: the 40 panels, placed for the layout in force.
    void CreateAccountPanels();
    // Login: the stored sort choices, selected without refreshing.
    void LoadAccountSortChoice();
    // RefreshAll starts again on the first page of panels.
    void ResetToFirstPage() { panelPageNumber = 0; }
    // RefreshAccountPanels: the panels of the current page for the current day.
    void Refresh() override;
    // The controls, and the panel grid with the slots it hides.
    void ApplyLayout(const PageLayout &layout) override;

protected:
    void FitControls() override;

signals:
    // An account's 当月记录 has set the report conditions: the report tab is to show them.
    void monthRecordsRequested();

private:
    void openAccount(const QString &accountName, const QString &balanceText);
    void searchAccounts();
    void placeSideColumn();

    TFormAccount *accountDialog;
    TFormAccount2 *actionDialog;
    TFormAccountSearch *searchDialog;
    AccountPanels *accountPanels = nullptr;
    int panelPageNumber = 0;
};
