#include "accounts/AccountsPage.h"

#include "accounts/AccountForm.h"
#include "accounts/AccountForm2.h"
#include "accounts/AccountPanels.h"
#include "accounts/AccountSearchForm.h"
#include "platform/Seams.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>

AccountsPage::AccountsPage(TFormAccount *accountDialog, TFormAccount2 *actionDialog,
    TFormAccountSearch *searchDialog, QWidget *parent)
    : MainPage(QStringLiteral("帐户状况"), QStringLiteral("TabSheet1"), parent),
      accountDialog(accountDialog),
      actionDialog(actionDialog),
      searchDialog(searchDialog)
{
    accountPanels = new AccountPanels(this, panelPageNumber);
    connect(accountPanels, &AccountPanels::refreshRequested, this, &AccountsPage::Refresh);
    connect(accountPanels, &AccountPanels::newAccountRequested, this, [this] {
        if (this->accountDialog)
            this->accountDialog->NewAccount();
    });
    connect(accountPanels, &AccountPanels::accountClicked, this, &AccountsPage::openAccount);
    if (actionDialog)
        connect(
            actionDialog, &TFormAccount2::monthRecordsRequested, this, &AccountsPage::monthRecordsRequested);
    QAction *search = NewAction(this, "ActionAccountSearch", QStringLiteral("帐户搜索"));
    connect(search, &QAction::triggered, this, &AccountsPage::searchAccounts);
    MakeToolButton(this, "SpeedButton4", search, QRect(672, 8, 75, 25));
    MakeToolButton(this, "SpeedButton3", NewAction(this, "ActionMoneyMonth", QStringLiteral("帐户月结")),
        QRect(672, 40, 75, 25));
}

void AccountsPage::CreateAccountPanels()
{
    accountPanels->CreatePanels(layoutMaximized());
}

void AccountsPage::LoadAccountSortChoice()
{
    accountPanels->LoadSortChoice();
}

void AccountsPage::Refresh()
{
    accountPanels->Refresh(layoutMaximized(), Session().CurrentDay);
}

void AccountsPage::openAccount(const QString &accountName, const QString &balanceText)
{
    if (!actionDialog)
        return;
    actionDialog->Request = AccountActionRequest {accountName, balanceText};
    Platform::ShowModal(actionDialog);
}

// Narrows the panels only; the page stays where it is.
void AccountsPage::searchAccounts()
{
    if (!searchDialog || Platform::ShowModal(searchDialog) != QDialog::Accepted)
        return;
    accountPanels->AccountSearchFragment = searchDialog->AccountSearchFragment;
    Refresh();
}
