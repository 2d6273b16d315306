#include "accounts/AccountForm.h"

#include "accounts/AccountOverview.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <cmath>

using namespace Accounts;

namespace {
const QString RemarkHint = QStringLiteral("备注信息：可填写帐户卡号，开户地址等");
} // namespace

namespace Accounts {
bool ParseOpeningAmount(const QString &text, double *amount)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return false;
    *amount = value;
    return true;
}
} // namespace Accounts

TFormAccount::TFormAccount(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormAccount"));
    setWindowTitle(QStringLiteral("新增帐户"));

    bankBox = new QCheckBox(QStringLiteral("银行帐户"), this);
    bankBox->setObjectName(QStringLiteral("CheckBox1"));
    cashBox = new QCheckBox(QStringLiteral("现金帐户"), this);
    cashBox->setObjectName(QStringLiteral("CheckBox2"));
    typeImage = new QLabel(this);
    typeImage->setObjectName(QStringLiteral("Image4"));
    typeImage->setFixedSize(72, 72);
    typeImage->setScaledContents(true);
    typeImage->setAccessibleName(QStringLiteral("帐户类型图片"));

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("Edit1"));
    KeepWholeText(nameEdit);
    amountEdit = new QLineEdit(this);
    amountEdit->setObjectName(QStringLiteral("Edit2"));
    remarkMemo = new QPlainTextEdit(this);
    remarkMemo->setObjectName(QStringLiteral("Memo1"));
    remarkMemo->setPlaceholderText(RemarkHint);
    remarkMemo->setToolTip(RemarkHint);
    remarkMemo->setTabChangesFocus(true);

    saveButton = new QPushButton(QStringLiteral("保存"), this);
    saveButton->setObjectName(QStringLiteral("SpeedButton1"));
    saveButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("取消"), this);
    cancelButton->setObjectName(QStringLiteral("SpeedButton2"));
    deleteButton = new QPushButton(QStringLiteral("删除"), this);
    deleteButton->setObjectName(QStringLiteral("SpeedButton3"));
    deleteButton->setVisible(false);

    auto *types = new QVBoxLayout;
    types->addWidget(bankBox);
    types->addWidget(cashBox);
    types->addStretch();
    auto *typeRow = new QHBoxLayout;
    typeRow->addLayout(types);
    typeRow->addStretch();
    typeRow->addWidget(typeImage);

    auto *form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("帐户名称："), nameEdit, this), nameEdit);
    form->addRow(BuddyLabel(QStringLiteral("期初金额："), amountEdit, this), amountEdit);
    form->addRow(BuddyLabel(QStringLiteral("备注信息："), remarkMemo, this), remarkMemo);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(deleteButton);
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(typeRow);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    setTabOrder(bankBox, cashBox);
    setTabOrder(cashBox, nameEdit);
    setTabOrder(nameEdit, amountEdit);
    setTabOrder(amountEdit, remarkMemo);
    setTabOrder(remarkMemo, saveButton);
    setTabOrder(saveButton, cancelButton);
    setTabOrder(cancelButton, deleteButton);

    // toggled also fires when ShowAccountType sets a box; the guard keeps that from counting
    // as a click.
    connect(bankBox, &QCheckBox::toggled, this, [this] { TypeBoxToggled(1); });
    connect(cashBox, &QCheckBox::toggled, this, [this] { TypeBoxToggled(2); });
    connect(saveButton, &QPushButton::clicked, this, &TFormAccount::SaveClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(deleteButton, &QPushButton::clicked, this, &TFormAccount::DeleteClick);
}

AccountValues TFormAccount::values() const
{
    return AccountValues {AccountType, AccountName, AccountBase, AccountRemark};
}

void TFormAccount::ShowAccountType()
{
    if (AccountType < 0 || AccountType > 2)
        return;
    pictureFile = BookPictureFile(QString::number(AccountType));
    typeImage->setPixmap(QPixmap(Session().ProgramDir + pictureFile));
    const bool saved = typeGuard;
    typeGuard = true;
    bankBox->setChecked(AccountType == 1);
    cashBox->setChecked(AccountType == 2);
    typeGuard = saved;
}

// Both boxes act as one pair of radio buttons: a click always leaves the clicked box checked.
void TFormAccount::TypeBoxToggled(int type)
{
    if (typeGuard)
        return;
    typeGuard = true;
    AccountType = type;
    ShowAccountType();
    typeGuard = false;
}

void TFormAccount::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        loadForShow();
}

void TFormAccount::loadForShow()
{
    if (!AccountName.isEmpty()) {
        setWindowTitle(QStringLiteral("修改帐户"));
        nameEdit->setText(AccountName);
        amountEdit->setText(QStringLiteral("0"));
        remarkMemo->clear();
        Query &query = ShareDataModule->ADOQueryTemp;
        if (FindAccount(query, AccountName, Texts::DatabaseOpenFailed) == Lookup::Found) {
            AccountType = int(query.integer(QStringLiteral("AccountType")));
            nameEdit->setText(query.text(QStringLiteral("AccountName")));
            amountEdit->setText(RoundMoney(query.number(QStringLiteral("AccountBase"))));
            remarkMemo->setPlainText(query.text(QStringLiteral("AccountRemark")));
        }
        deleteButton->setVisible(true);
    } else {
        setWindowTitle(QStringLiteral("新增帐户"));
        AccountBase = 0;
        AccountType = 0;
        nameEdit->clear();
        amountEdit->setText(QStringLiteral("0"));
        remarkMemo->clear();
        deleteButton->setVisible(false);
    }
    ShowAccountType();
    nameEdit->setFocus();
}

void TFormAccount::SaveClick()
{
    if (AccountType == 0) {
        Platform::ShowMessage(QStringLiteral("请先选择帐户类型"));
        return;
    }
    // Only emptiness counts: a name of blanks is a name.
    if (nameEdit->text().isEmpty()) {
        Platform::ShowMessage(QStringLiteral("帐户名称不得为空"));
        nameEdit->setFocus();
        return;
    }
    if (amountEdit->text().isEmpty()) {
        Platform::ShowMessage(QStringLiteral("起初金额不得为空"));
        amountEdit->setFocus();
        return;
    }
    double amount = 0;
    if (!ParseOpeningAmount(amountEdit->text(), &amount)) {
        Platform::ShowMessage(QStringLiteral("期初金额格式有误，请重新输入"));
        amountEdit->setFocus();
        amountEdit->selectAll();
        return;
    }
    if (!IsAmountInRange(amount)) {
        Platform::ShowMessage(Texts::AmountOutOfRange);
        amountEdit->setFocus();
        amountEdit->selectAll();
        return;
    }
    AccountName = nameEdit->text();
    AccountBase = amount;
    AccountRemark = remarkMemo->toPlainText();
    accept();
}

void TFormAccount::DeleteClick()
{
    // AccountName is still the name the dialog was opened with, whatever has been typed since.
    Query query;
    if (FindAccount(query, AccountName, Texts::DatabaseOpenFailed) != Lookup::Found)
        return;
    if (!Platform::AskYesNo(
            QStringLiteral("删除帐户将删除该帐户下所有记录，确实要删除吗？"), QStringLiteral("删除警告")))
        return;
    if (!DeleteAccountWithEntries(query.integer(QStringLiteral("AccountIndex"))))
        return;
    accept();
}

bool TFormAccount::NewAccount()
{
    AccountType = 0;
    AccountName.clear();
    AccountRemark.clear();
    if (Platform::ShowModal(this) != QDialog::Accepted)
        return false;
    Query query;
    switch (FindAccount(query, AccountName, LookupFailedText)) {
    case Lookup::Failed:
        return false;
    case Lookup::Found:
        Platform::ShowMessage(NameTakenText);
        return false;
    case Lookup::Missing:
        break;
    }
    if (InsertAccount(values(), Session().CurrentUser) < 0)
        return false;
    Platform::ShowMessage(AccountMessage(AccountName, QStringLiteral("新增成功")));
    ShareDataModule->RequestRefreshAll();
    return true;
}

TFormAccount::EditOutcome TFormAccount::EditAccount(const QString &name)
{
    Query query;
    const Lookup found = FindAccount(query, name, LookupFailedText);
    if (found == Lookup::Failed)
        return EditOutcome::Failed;
    if (found == Lookup::Found)
        AccountType = int(query.integer(QStringLiteral("AccountType")));
    AccountName = name;
    if (Platform::ShowModal(this) != QDialog::Accepted)
        return EditOutcome::Cancelled;

    if (AccountName != name) {
        switch (FindAccount(query, AccountName, LookupFailedText)) {
        case Lookup::Failed:
            return EditOutcome::Failed;
        case Lookup::Found:
            Platform::ShowMessage(NameTakenText);
            return EditOutcome::NameTaken;
        case Lookup::Missing:
            break;
        }
    }

    EditOutcome outcome = EditOutcome::Saved;
    switch (FindAccount(query, name, LookupFailedText)) {
    case Lookup::Failed:
        return EditOutcome::Failed;
    case Lookup::Missing:
        // The dialog deleted it; its name is still the old one.
        Platform::ShowMessage(AccountMessage(AccountName, QStringLiteral("删除成功")));
        outcome = EditOutcome::Deleted;
        break;
    case Lookup::Found:
        if (!UpdateAccount(query.integer(QStringLiteral("AccountIndex")), values()))
            return EditOutcome::Failed;
        Platform::ShowMessage(AccountMessage(AccountName, QStringLiteral("修改成功")));
        break;
    }
    ShareDataModule->RequestRefreshAll();
    return outcome;
}
