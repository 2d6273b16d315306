#pragma once

// The "帐户状况" tab: the account panels with their paging, sorting and 新增帐户, the total
// AccountSum and the button 帐户月结.

#include "widgets/MainPage.h"

class AccountPanels;
class QAction;
class TFormAccount;

class AccountsPage : public MainPage
{
    Q_OBJECT
public:
    AccountsPage(TFormAccount *accountDialog, QWidget *parent = nullptr);

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

private:
    void placeSideColumn();

    TFormAccount *accountDialog;
    AccountPanels *accountPanels = nullptr;
    int panelPageNumber = 0;
};
