#include "accounts/AccountForm2.h"

#include "accounts/AccountForm.h"
#include "accounts/AccountOverview.h"
#include "journal/DrawForm.h"
#include "journal/EntryRules.h"
#include "journal/GetPayForm.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
void makeBlue(QLabel *label)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(p);
}

void allow(QAction *action, bool allowed)
{
    action->setVisible(allowed);
    action->setEnabled(allowed);
}
} // namespace

TFormAccount2::TFormAccount2(
    TFormGetPay *entryForm, TFormDraw *transferForm, TFormAccount *accountDialog, QWidget *parent)
    : QDialog(parent), entryForm(entryForm), transferForm(transferForm), accountDialog(accountDialog)
{
    setObjectName(QStringLiteral("TFormAccount2"));
    setWindowTitle(QStringLiteral("帐户操作"));

    nameLabel = MakeLabel(this, QString(), "LabelAccountName");
    balanceLabel = MakeLabel(this, QString(), "LabelAccountBalance");
    makeBlue(nameLabel);
    makeBlue(balanceLabel);
    auto *figures = new QGridLayout;
    figures->addWidget(BuddyLabel(QStringLiteral("帐户名称："), nameLabel, this), 0, 0);
    figures->addWidget(nameLabel, 0, 1);
    figures->addWidget(BuddyLabel(QStringLiteral("帐户余额："), balanceLabel, this), 1, 0);
    figures->addWidget(balanceLabel, 1, 1);
    figures->setColumnStretch(1, 1);

    actionGet = NewAction(this, "ActionGet", QStringLiteral("收入"));
    actionPay = NewAction(this, "ActionPay", QStringLiteral("支出"));
    actionDraw = NewAction(this, "ActionDraw", QStringLiteral("平调"));
    actionSearch = NewAction(this, "ActionSearch", QStringLiteral("当月记录"));
    actionEditAccount = NewAction(this, "ActionEditAccount", QStringLiteral("修改帐户"));
    QAction *actionCancel = NewAction(this, "ActionCancel", QStringLiteral("取消操作"));
    connect(actionGet, &QAction::triggered, this, [this] { newEntry(EntryTexts::KindIncome); });
    connect(actionPay, &QAction::triggered, this, [this] { newEntry(EntryTexts::KindExpense); });
    connect(actionDraw, &QAction::triggered, this, &TFormAccount2::transfer);
    connect(actionSearch, &QAction::triggered, this, &TFormAccount2::monthRecords);
    connect(actionEditAccount, &QAction::triggered, this, &TFormAccount2::editAccount);
    connect(actionCancel, &QAction::triggered, this, &QDialog::reject);

    auto *buttons = new QGridLayout;
    QAction *order[] = {actionGet, actionPay, actionDraw, actionSearch, actionEditAccount, actionCancel};
    for (int i = 0; i < 6; ++i)
        buttons->addWidget(ActionButton(order[i], this), i / 3, i % 3);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(figures);
    layout->addLayout(buttons);
    resize(320, 150);
}

void TFormAccount2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormAccount2::FormShow()
{
    nameLabel->setText(Request.AccountName);
    balanceLabel->setText(Request.BalanceText);
    const SessionValues &s = Session();
    allow(actionGet, s.RightIncome);
    allow(actionPay, s.RightExpense);
    allow(actionDraw, s.RightTransfer);
    allow(actionSearch, s.RightReports);
    allow(actionEditAccount, s.RightEdit);
}

void TFormAccount2::newEntry(const QString &kind)
{
    entryForm->Request = EntryRequest {
        .EntryMode = EntryTexts::ModeNew, .EntryKind = kind, .FixedAccountName = Request.AccountName};
    Platform::ShowModal(entryForm);
    reject();
}

void TFormAccount2::transfer()
{
    transferForm->Request = DrawRequest {Request.AccountName};
    Platform::ShowModal(transferForm);
    reject();
}

void TFormAccount2::monthRecords()
{
    Accounts::SetMonthRecordConditions(Session(), Request.AccountName, Session().CurrentDay);
    emit monthRecordsRequested();
    reject();
}

void TFormAccount2::editAccount()
{
    switch (accountDialog->EditAccount(Request.AccountName)) {
    case TFormAccount::EditOutcome::Saved:
    case TFormAccount::EditOutcome::Deleted:
        reject();
        break;
    case TFormAccount::EditOutcome::Cancelled:
    case TFormAccount::EditOutcome::NameTaken:
    case TFormAccount::EditOutcome::Failed:
        break;
    }
}

namespace Accounts {
void SetMonthRecordConditions(SessionValues &session, const QString &accountName, const QDate &day)
{
    const QDate first = FirstDayOfMonth(day);
    session.ReportAccountCondition = Sql(" And (AccountName = ") + Sql::value(accountName) + Sql(")");
    session.ReportCondition = Sql(" And (MoneyCreateTime Between ") + Sql::value(first) + Sql(" And ")
        + Sql::value(LastDayOfMonth(day)) + Sql(")") + session.ReportAccountCondition;
    session.ReportStartDate = ShortDateText(first);
}
} // namespace Accounts
