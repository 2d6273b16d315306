#include "accounts/AccountsPage.h"

#include "accounts/AccountForm.h"
#include "accounts/AccountPanels.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>

AccountsPage::AccountsPage(TFormAccount *accountDialog, QWidget *parent)
    : MainPage(QStringLiteral("帐户状况"), QStringLiteral("TabSheet1"), parent), accountDialog(accountDialog)
{
    accountPanels = new AccountPanels(this, panelPageNumber);
    connect(accountPanels, &AccountPanels::refreshRequested, this, &AccountsPage::Refresh);
    connect(accountPanels, &AccountPanels::newAccountRequested, this, [this] {
        if (this->accountDialog)
            this->accountDialog->NewAccount();
    });
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
