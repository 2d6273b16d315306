#include "accounts/AccountsPage.h"

#include "accounts/AccountForm.h"
#include "accounts/AccountForm2.h"
#include "accounts/AccountPanels.h"
#include "accounts/AccountSearchForm.h"
#include "platform/Seams.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QLabel>

namespace {
// The column beside the panels, top to bottom: 帐户搜索, 帐户月结 and the sort lists under their
// label.
const char *const SideColumn[] = {"SpeedButton4", "SpeedButton3", "Label19", "ComboBox2", "ComboBox6"};
constexpr int RowGap = 6;
constexpr int EdgeGap = 8;
} // namespace

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
    accountPanels->CreatePanels();
}

void AccountsPage::LoadAccountSortChoice()
{
    accountPanels->LoadSortChoice();
}

void AccountsPage::Refresh()
{
    accountPanels->Refresh(Session().CurrentDay);
}

void AccountsPage::ApplyLayout(const PageLayout &layout)
{
    MainPage::ApplyLayout(layout);
    accountPanels->PlaceSlots(layout.panels);
}

void AccountsPage::FitControls()
{
    MainPage::FitControls();
    placeSideColumn();
}

// The side column stands right of the panels at the layout's left where the page is wide enough
// (the widest layout, or any layout with the work panel collapsed). Where it is not, the column
// would be cut off at the page's edge, so its controls line up in a row under the page buttons,
// against the right edge, and the panels keep their grid.
void AccountsPage::placeSideColumn()
{
    QList<QWidget *> column;
    for (const char *name : SideColumn)
        if (QWidget *w = control(QString::fromLatin1(name)))
            column.append(w);
    int left = -1;
    for (const ControlPlace &place : layoutInForce().controls)
        if (place.control == QLatin1String("ComboBox2") && place.left)
            left = *place.left;
    if (column.isEmpty() || left < 0)
        return;

    int widest = 0;
    for (QWidget *w : column)
        widest = qMax(widest, w->width());
    if (left + widest <= width()) {
        for (QWidget *w : column)
            w->move(left, designRect(w->objectName()).top());
        return;
    }

    int rowTop = 0;
    int rowHeight = 0;
    int rowWidth = -RowGap;
    for (const char *name : {"PriorAccount", "NewAccount", "NextAccount"})
        if (QWidget *w = control(QString::fromLatin1(name)))
            rowTop = qMax(rowTop, w->geometry().bottom() + 1 + RowGap);
    for (QWidget *w : column) {
        if (qobject_cast<QLabel *>(w))
            w->resize(w->sizeHint().width(), w->height());
        rowHeight = qMax(rowHeight, w->height());
        rowWidth += w->width() + RowGap;
    }
    rowTop = qMax(0, qMin(rowTop, height() - rowHeight - 2));
    int x = qMax(0, width() - EdgeGap - rowWidth);
    for (QWidget *w : column) {
        w->move(x, rowTop + (rowHeight - w->height()) / 2);
        x += w->width() + RowGap;
    }
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
