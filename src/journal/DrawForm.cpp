#include "journal/DrawForm.h"

#include "accounts/AccountOverview.h"
#include "accounts/AccountStore.h"
#include "journal/EntryRules.h"
#include "journal/EntryStore.h"
#include "journal/TransferRules.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <iterator>
#include <utility>

namespace {
// Reads the account with this name; false after its message ("找不到…" when there is none).
bool lookUp(const QString &name, const QString &notFound, TransferAccount *account, double *base = nullptr)
{
    Query query;
    switch (Accounts::FindAccount(query, name, Texts::DatabaseOpenFailed)) {
    case Accounts::Lookup::Failed:
        return false;
    case Accounts::Lookup::Missing:
        Platform::ShowMessage(notFound);
        return false;
    case Accounts::Lookup::Found:
        break;
    }
    account->index = query.integer(QStringLiteral("AccountIndex"));
    account->name = name;
    account->type = int(query.integer(QStringLiteral("AccountType")));
    if (base)
        *base = query.number(QStringLiteral("AccountBase"));
    return true;
}
} // namespace

TFormDraw::TFormDraw(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormDraw"));
    setWindowTitle(QStringLiteral("平调"));

    sourceCombo = MakeComboBox(this, "ComboBox1");
    targetCombo = MakeComboBox(this, "ComboBox2");
    amountEdit = new QLineEdit(this);
    amountEdit->setObjectName(QStringLiteral("Edit2"));
    amountEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dateEdit = MakeDateBox(this, "DateTimePicker1");
    remarkEdit = new QLineEdit(this);
    remarkEdit->setObjectName(QStringLiteral("Edit3"));
    KeepWholeText(remarkEdit);

    auto *fields = new QGridLayout;
    int row = 0;
    for (auto [caption, control] : {std::pair<QString, QWidget *> {QStringLiteral("由"), sourceCombo},
             {QStringLiteral("调出至"), targetCombo}, {QStringLiteral("金额"), amountEdit},
             {QStringLiteral("时间"), dateEdit}, {QStringLiteral("备注"), remarkEdit}}) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(control);
        fields->addWidget(label, row, 0);
        fields->addWidget(control, row, 1);
        ++row;
    }
    fields->setColumnStretch(1, 1);

    transferButton = MakeButton(this, "BitBtn1", QStringLiteral("平调"));
    transferButton->setDefault(true);
    cancelButton = MakeButton(this, "BitBtn2", QStringLiteral("取消"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(transferButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(340, 230);

    QWidget *order[]
        = {sourceCombo, targetCombo, amountEdit, dateEdit, remarkEdit, transferButton, cancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(transferButton, &QPushButton::clicked, this, &TFormDraw::BitBtn1Click);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormDraw::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormDraw::FormShow()
{
    // The request serves this show only.
    const DrawRequest request = std::exchange(Request, DrawRequest {});

    QStringList names;
    Query accounts;
    if (RunQuery(accounts,
            Sql("Select * From Account Where (AccountIndex > 1)") + Session().AccountBookFilter
                + Sql(" Order By AccountIndex"),
            TransferTexts::AccountsLoadFailed))
        for (accounts.first(); !accounts.eof(); accounts.next())
            names.append(accounts.text(QStringLiteral("AccountName")));

    sourceCombo->clear();
    if (!request.FixedOutAccountName.isEmpty()) {
        sourceCombo->setEnabled(false);
        sourceCombo->addItem(request.FixedOutAccountName);
        sourceCombo->setCurrentIndex(0);
    } else {
        sourceCombo->setEnabled(true);
        sourceCombo->addItems(names);
        sourceCombo->setCurrentIndex(-1);
    }
    // Every listed account is a target, the source included.
    targetCombo->clear();
    targetCombo->addItems(names);
    targetCombo->setCurrentIndex(-1);

    amountEdit->clear();
    remarkEdit->clear();
    dateEdit->setDate(Session().CurrentDay);
    if (sourceCombo->isEnabled())
        sourceCombo->setFocus();
    else
        targetCombo->setFocus();
}

void TFormDraw::focusField(TransferField field)
{
    switch (field) {
    case TransferField::Source:
        sourceCombo->setFocus();
        break;
    case TransferField::Target:
        targetCombo->setFocus();
        break;
    case TransferField::Amount:
        amountEdit->setFocus();
        break;
    case TransferField::None:
        break;
    }
}

void TFormDraw::BitBtn1Click()
{
    const QString sourceName = sourceCombo->currentIndex() < 0 ? QString() : sourceCombo->currentText();
    const QString targetName = targetCombo->currentIndex() < 0 ? QString() : targetCombo->currentText();
    const TransferCheck check = CheckTransferChoices(sourceName, targetName, amountEdit->text());
    if (!check.passed()) {
        Platform::ShowMessage(check.message);
        focusField(check.field);
        return;
    }

    TransferValues transfer;
    transfer.amount = ParseAmountText(amountEdit->text()).value_or(0);
    transfer.day = dateEdit->date();
    double sourceBase = 0;
    if (!lookUp(sourceName, TransferTexts::SourceNotFound, &transfer.source, &sourceBase))
        return;

    // The source's balance at the end of the transfer day, over the entries this user may see.
    const SessionValues &s = Session();
    Query sum;
    if (!RunQuery(sum, Accounts::AccountBalanceSql(transfer.source.index, transfer.day, s.MoneyOwnerFilter),
            TransferTexts::BalanceFailed))
        return;
    const double balance = sourceBase + sum.number(QStringLiteral("TotalMoney"));
    if (ExceedsBalance(transfer.amount, balance)
        && !Platform::AskYesNo(TransferTexts::Overdraft, QString::fromUtf8(Platform::CaptionNotice)))
        return;

    if (!lookUp(targetName, TransferTexts::TargetNotFound, &transfer.target))
        return;
    transfer.recordDay = Platform::Today();
    transfer.remark = remarkEdit->text();
    transfer.user = s.CurrentUser;
    if (!InsertTransfer(transfer))
        return;

    Platform::ShowMessage(TransferTexts::Done);
    ShareDataModule->RequestRefreshAll();
    accept();
}

bool OpenTransfer(TFormDraw *form)
{
    if (ReadSetting(Settings::AccountBook, QStringLiteral("1")) == TransferTexts::AllAccountsBook) {
        Platform::ShowMessage(TransferTexts::NotInAllAccounts);
        return false;
    }
    form->Request = {};
    return Platform::ShowModal(form) == QDialog::Accepted;
}
