#include "journal/GetPayForm.h"

#include "journal/EntryRules.h"
#include "journal/EntryStore.h"
#include "journal/MoneySerial.h"
#include "journal/ParameterLists.h"
#include "platform/Seams.h"
#include "printing/ReportEngine.h"
#include "receivables/GetPayForm4.h"
#include "storage/Capitals.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <cmath>
#include <iterator>

namespace {
const QString BatchEntryOn = QStringLiteral("开启");
const QString BillPrintAutomatic = QStringLiteral("开单时自动打印");
} // namespace

TFormGetPay::TFormGetPay(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormGetPay"));
    setWindowTitle(QStringLiteral("财务单据"));

    banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Image1"));
    banner->setAlignment(Qt::AlignCenter);

    serialEdit = MakeLineEdit(this, "Edit4");
    accountCombo = MakeComboBox(this, "ComboBox1", false);
    customerCombo = MakeComboBox(this, "ComboBox5", true);
    saveCustomerButton = MakeButton(this, "Button1", QStringLiteral("保存客户"));
    dateEdit = MakeDateBox(this, "DateTimePicker1");
    amountEdit = MakeLineEdit(this, "Edit2");
    amountEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    reasonCombo = MakeComboBox(this, "ComboBox2", false);
    manCombo = MakeComboBox(this, "ComboBox6", true);
    typeCombo = MakeComboBox(this, "ComboBox3", false);
    tokenCombo = MakeComboBox(this, "ComboBox4", false);
    remarkEdit = MakeLineEdit(this, "Edit3");

    auto *fields = new QGridLayout;
    auto addField = [this, fields](int row, int column, const QString &caption, QWidget *control,
                        QWidget *extra = nullptr) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(control);
        fields->addWidget(label, row, column * 2);
        if (!extra) {
            fields->addWidget(control, row, column * 2 + 1);
            return;
        }
        auto *pair = new QHBoxLayout;
        pair->addWidget(control, 1);
        pair->addWidget(extra);
        fields->addLayout(pair, row, column * 2 + 1);
    };
    addField(0, 0, QStringLiteral("单据编号"), serialEdit);
    addField(0, 1, QStringLiteral("帐户名称"), accountCombo);
    addField(1, 0, QStringLiteral("客户名称"), customerCombo, saveCustomerButton);
    addField(1, 1, QStringLiteral("录入时间"), dateEdit);
    addField(2, 0, QStringLiteral("金额"), amountEdit);
    addField(2, 1, QStringLiteral("收支种类"), reasonCombo);
    addField(3, 0, QStringLiteral("业务员"), manCombo);
    addField(3, 1, QStringLiteral("款项类别"), typeCombo);
    addField(4, 0, QStringLiteral("凭证"), tokenCombo);
    auto *remarkLabel = new QLabel(QStringLiteral("备注"), this);
    remarkLabel->setBuddy(remarkEdit);
    fields->addWidget(remarkLabel, 5, 0);
    fields->addWidget(remarkEdit, 5, 1, 1, 3);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    saveButton = MakeButton(this, "BitBtn1", QStringLiteral("保存"));
    saveButton->setDefault(true);
    cancelButton = MakeButton(this, "BitBtn2", QStringLiteral("取消"));
    deleteButton = MakeButton(this, "BitBtn3", QStringLiteral("删除"));
    nextButton = MakeButton(this, "BitBtn4", QStringLiteral("保存并继续"));
    printButton = MakeButton(this, "PrintButton", QStringLiteral("打印单据"));
    actionPrint = new QAction(QStringLiteral("打印单据"), this);
    actionPrint->setObjectName(QStringLiteral("ActionPrint"));
    addAction(actionPrint);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(printButton);
    buttons->addStretch();
    buttons->addWidget(saveButton);
    // The delete and the save-and-next buttons share one place: never both are shown.
    buttons->addWidget(deleteButton);
    buttons->addWidget(nextButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(520, 330);

    QWidget *order[] = {serialEdit, accountCombo, customerCombo, saveCustomerButton, dateEdit, amountEdit,
        reasonCombo, manCombo, typeCombo, tokenCombo, remarkEdit, saveButton, cancelButton, deleteButton,
        nextButton, printButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(saveButton, &QPushButton::clicked, this, &TFormGetPay::BitBtn1Click);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(deleteButton, &QPushButton::clicked, this, &TFormGetPay::BitBtn3Click);
    connect(nextButton, &QPushButton::clicked, this, &TFormGetPay::BitBtn4Click);
    connect(saveCustomerButton, &QPushButton::clicked, this, &TFormGetPay::Button1Click);
    connect(printButton, &QPushButton::clicked, actionPrint, &QAction::trigger);
    connect(actionPrint, &QAction::triggered, this, &TFormGetPay::ActionPrintExecute);
}

bool TFormGetPay::isNewMode() const
{
    return Request.EntryMode == EntryTexts::ModeNew;
}

QString TFormGetPay::MakeMoneySerial() const
{
    return ::MakeMoneySerial(
        Request.EntryKind, Session().CurrentDay, ReadSetting(Settings::SerialScheme, SerialTexts::ByDate));
}

void TFormGetPay::done(int result)
{
    QDialog::done(result);
    // A link chosen or preset for this show never carries over to the next one.
    Request.EntryGetPay = 0;
}

void TFormGetPay::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormGetPay::FormShow()
{
    ++showCount;
    const QString picture = BannerPicture(Request.EntryMode, Request.EntryKind);
    banner->setPixmap(picture.isEmpty() ? QPixmap() : QPixmap(Session().ProgramDir + picture));
    const QString title = (isNewMode() ? EntryTexts::ModeNew : EntryTexts::ModeEdit) + Request.EntryKind;
    banner->setAccessibleName(title);
    setWindowTitle(title);

    if (!Request.FixedAccountName.isEmpty()) {
        accountCombo->setEnabled(false);
        accountCombo->clear();
        accountCombo->addItem(Request.FixedAccountName);
        accountCombo->setCurrentIndex(0);
        Request.FixedAccountName.clear();
    } else {
        accountCombo->setEnabled(true);
        LoadCombo(accountCombo,
            Sql("Select * From Account Where (AccountIndex > 1)") + Session().AccountBookFilter
                + Sql(" Order By AccountIndex"),
            false, QStringLiteral("AccountName"));
    }
    loadLists();

    if (!isNewMode()) {
        if (!loadEntry()) {
            RejectAfterShow(this, &showCount);
            return;
        }
    } else {
        serialEdit->setText(MakeMoneySerial());
        customerCombo->setEditText(Request.PresetUser);
        dateEdit->setDate(Session().CurrentDay);
        amountEdit->setText(Request.PresetAmount);
        SelectComboText(reasonCombo, Request.PresetReason);
        SelectComboText(manCombo, Request.PresetMan);
        remarkEdit->setText(Request.PresetRemark);
        saveButton->setVisible(true);
        deleteButton->setVisible(false);
        printButton->setVisible(false);
        actionPrint->setEnabled(false);
        nextButton->setVisible(ReadSetting(Settings::BatchEntry, QStringLiteral("关闭")) == BatchEntryOn);
        Request.PresetUser.clear();
        Request.PresetAmount.clear();
        Request.PresetReason.clear();
        Request.PresetMan.clear();
        Request.PresetRemark.clear();
    }
    serialEdit->setFocus();
}

void TFormGetPay::loadLists()
{
    const QString column = QStringLiteral("ParameterValue");
    LoadCombo(reasonCombo, PickLists::ListStatement(ReasonListType(Request.EntryKind)), false, column);
    LoadCombo(typeCombo, PickLists::ListStatement(2), false, column);
    LoadCombo(tokenCombo, PickLists::ListStatement(3), false, column);
    LoadCombo(customerCombo, PickLists::ListStatement(4), false, column);
    LoadCombo(manCombo, PickLists::ListStatement(5), false, column);
}

bool TFormGetPay::loadEntry()
{
    Query entry;
    if (!RunQuery(entry,
            Sql("Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount) And (MoneyIndex = ")
                + Sql::value(Request.EntryIndex) + Sql(")"),
            QStringLiteral("帐款读入失败")))
        return false;
    if (entry.isEmpty()) {
        Platform::ShowMessage(EntryTexts::EditNotFound);
        return false;
    }
    Request.EntryGetPay = entry.integer(QStringLiteral("MoneyGetPay"));
    serialEdit->setText(entry.text(QStringLiteral("MoneySerial")));
    // An entry of an account the list does not offer (another book or user) stays on its own
    // account: a save must never move it to an account the user did not choose.
    KeepComboText(accountCombo, entry.text(QStringLiteral("AccountName")));
    customerCombo->setEditText(entry.text(QStringLiteral("MoneyUser")));
    dateEdit->setDate(entry.date(QStringLiteral("MoneyCreateTime")));
    amountEdit->setText(RoundMoney(std::fabs(entry.number(QStringLiteral("MoneySum")))));
    // Reason, category and voucher as stored, also when their list no longer offers them: a plain
    // save must not replace them with the first item.
    const QString reason = entry.text(QStringLiteral("MoneyReason"));
    KeepComboText(reasonCombo, reason);
    manCombo->setEditText(entry.text(QStringLiteral("MoneyMan")));
    KeepComboText(typeCombo, entry.text(QStringLiteral("MoneyType")));
    KeepComboText(tokenCombo, entry.text(QStringLiteral("MoneyToken")));
    remarkEdit->setText(entry.text(QStringLiteral("MoneyRemark")));

    const bool rightEdit = Session().RightEdit;
    // A transfer half is written by the transfer only; here it can be looked at and deleted.
    saveButton->setVisible(!IsTransferReason(reason) && rightEdit);
    deleteButton->setVisible(rightEdit);
    nextButton->setVisible(false);
    printButton->setVisible(true);
    actionPrint->setEnabled(true);
    return true;
}

void TFormGetPay::focusField(EntryField field)
{
    switch (field) {
    case EntryField::Account:
        accountCombo->setFocus();
        break;
    case EntryField::Reason:
        reasonCombo->setFocus();
        break;
    case EntryField::Amount:
        amountEdit->setFocus();
        break;
    case EntryField::Category:
        typeCombo->setFocus();
        break;
    case EntryField::Voucher:
        tokenCombo->setFocus();
        break;
    case EntryField::None:
        break;
    }
}

bool TFormGetPay::checkEntry(qint64 *accountIndex, double *amount)
{
    const EntryCheck check = CheckEntryChoices({accountCombo->currentText(), reasonCombo->currentText(),
        amountEdit->text(), typeCombo->currentText(), tokenCombo->currentText()});
    if (!check.passed()) {
        Platform::ShowMessage(check.message);
        focusField(check.field);
        return false;
    }
    Query account;
    if (!RunQuery(account,
            Sql("Select * From Account Where AccountName = ") + Sql::value(accountCombo->currentText()),
            Texts::DatabaseOpenFailed))
        return false;
    if (account.isEmpty()) {
        Platform::ShowMessage(EntryTexts::AccountNotFound);
        return false;
    }
    *accountIndex = account.integer(QStringLiteral("AccountIndex"));
    *amount = ParseAmountText(amountEdit->text()).value_or(0);
    return true;
}

bool TFormGetPay::insertEntry(qint64 accountIndex, double amount)
{
    const QString customer = customerCombo->currentText();
    if (Request.EntryGetPay == 0 && matchDialog) {
        const QString matchKind = MatchKindFor(Request.EntryKind);
        Query records;
        if (!RunQuery(records,
                Sql("Select * From GetPay Where (GetPayUser = ") + Sql::value(customer)
                    + Sql(") And (GetPayKind = ") + Sql::value(matchKind) + Sql(")"),
                Texts::DatabaseOpenFailed))
            return false;
        if (!records.isEmpty()) {
            matchDialog->Request = MatchRequest {.MatchUser = customer, .MatchKind = matchKind};
            if (Platform::ShowModal(matchDialog) == QDialog::Accepted)
                Request.EntryGetPay = matchDialog->MatchIndex;
        }
    }

    EntryRow row = rowFromControls(accountIndex, amount);
    row.kind = Request.EntryKind;
    row.getPay = Request.EntryGetPay;
    row.recordDay = Platform::Today();
    row.power = Session().CurrentUser;

    qint64 newIndex = -1;
    {
        // The entry and the sums of the record it settles are stored together or not at all.
        Transaction change;
        newIndex = InsertEntry(row);
        if (newIndex < 0 || !UpdateGetPaySums(Request.EntryGetPay))
            return false;
        if (!change.commit()) {
            Platform::ShowMessage(Texts::SqlCommandFailed);
            return false;
        }
    }
    Platform::ShowMessage(EntryTexts::Inserted);
    if (ReadSetting(Settings::BillPrint, QString()) == BillPrintAutomatic) {
        Request.EntryIndex = newIndex;
        ActionPrintExecute();
    }
    return true;
}

// The columns a save takes from the form's controls.
EntryRow TFormGetPay::rowFromControls(qint64 accountIndex, double amount) const
{
    EntryRow row;
    row.serial = serialEdit->text();
    row.account = accountIndex;
    row.user = customerCombo->currentText();
    row.createDay = dateEdit->date();
    row.amount = amount;
    row.reason = reasonCombo->currentText();
    row.man = manCombo->currentText();
    row.type = typeCombo->currentText();
    row.token = tokenCombo->currentText();
    row.remark = remarkEdit->text();
    return row;
}

void TFormGetPay::BitBtn1Click()
{
    qint64 accountIndex = 0;
    double amount = 0;
    if (!checkEntry(&accountIndex, &amount))
        return;
    if (isNewMode()) {
        if (!insertEntry(accountIndex, amount))
            return;
    } else {
        Query stored;
        if (!RunQuery(stored,
                Sql("Select * From MoneyTable Where MoneyIndex = ") + Sql::value(Request.EntryIndex),
                Texts::DatabaseOpenFailed))
            return;
        if (stored.isEmpty()) {
            Platform::ShowMessage(EntryTexts::EditNotFound);
            return;
        }
        EntryRow row = rowFromControls(accountIndex, amount);
        // The stored kind decides the sign, so MoneySum always agrees with MoneyKind.
        row.kind = stored.text(QStringLiteral("MoneyKind"));
        Transaction change;
        if (!UpdateEntry(Request.EntryIndex, row) || !UpdateGetPaySums(Request.EntryGetPay))
            return;
        if (!change.commit()) {
            Platform::ShowMessage(Texts::SqlCommandFailed);
            return;
        }
        Platform::ShowMessage(EntryTexts::Changed);
    }
    ShareDataModule->RequestRefreshAll();
    accept();
}

void TFormGetPay::BitBtn4Click()
{
    if (!isNewMode())
        return;
    qint64 accountIndex = 0;
    double amount = 0;
    if (!checkEntry(&accountIndex, &amount) || !insertEntry(accountIndex, amount))
        return;
    ShareDataModule->RequestRefreshAll();
    // The next entry keeps everything but number, amount and remark, and stays linked to the
    // record chosen for the first one.
    serialEdit->setText(MakeMoneySerial());
    amountEdit->setText(QStringLiteral("0"));
    remarkEdit->clear();
    amountEdit->setFocus();
}

void TFormGetPay::BitBtn3Click()
{
    Query stored;
    if (!RunQuery(stored,
            Sql("Select * From MoneyTable Where MoneyIndex = ") + Sql::value(Request.EntryIndex),
            Texts::DatabaseOpenFailed))
        return;
    if (stored.isEmpty()) {
        Platform::ShowMessage(EntryTexts::DeleteNotFound);
        return;
    }
    if (!Platform::AskYesNo(QStringLiteral("确实要删除该记录吗？"), QStringLiteral("删除警告")))
        return;
    {
        Transaction change;
        if (!DeleteEntry(Request.EntryIndex) || !UpdateGetPaySums(Request.EntryGetPay))
            return;
        if (!change.commit()) {
            Platform::ShowMessage(Texts::SqlCommandFailed);
            return;
        }
    }
    ShareDataModule->RequestRefreshAll();
    accept();
}

void TFormGetPay::Button1Click()
{
    SaveCustomerName(customerCombo);
}

void SaveCustomerName(QComboBox *customerCombo)
{
    const QString customer = customerCombo->currentText();
    if (customer.isEmpty()) {
        Platform::ShowMessage(QStringLiteral("客户名称不能为空"));
        return;
    }
    Query found;
    if (!RunQuery(found,
            Sql("Select * From Parameter Where (ParameterType =  4) And (ParameterValue = ")
                + Sql::value(customer) + Sql(")"),
            QStringLiteral("读入客户名称失败")))
        return;
    if (found.isEmpty()) {
        if (InsertRow(QStringLiteral("Parameter"),
                {{QStringLiteral("ParameterType"), 4}, {QStringLiteral("ParameterValue"), customer}})
            < 0)
            return;
        QStringList names;
        if (PickLists::ReadValues(4, QStringLiteral("参数读入失败"), &names)) {
            customerCombo->clear();
            customerCombo->addItems(names);
        }
        customerCombo->setEditText(customer);
    }
    Platform::ShowMessage(QStringLiteral("客户名称保存成功"));
}

void TFormGetPay::ActionPrintExecute()
{
    // The capitals follow the amount box as it stands, the rest of the bill the stored row.
    const std::optional<double> amount = ParseAmountText(amountEdit->text());
    if (!amount || !IsAmountInRange(*amount)) {
        Platform::ShowMessage(amount ? Texts::AmountOutOfRange : EntryTexts::AmountFormatWrong);
        amountEdit->setFocus();
        return;
    }
    AmountInCapitals = AmountToCapitals(BillAmountDigits(*amount));
    Query &bill = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(bill,
            Sql("Select ABS(MoneySum) As MSum,* From MoneyTable Where MoneyIndex = ")
                + Sql::value(Request.EntryIndex),
            Texts::DatabaseOpenFailed))
        return;
    const QString capitals = AmountInCapitals;
    const QString kindText = BillKindText(Request.EntryKind);
    PrintReport(
        ReportTemplatePath(QStringLiteral("Bill.frf")), bill,
        [capitals, kindText](const QString &name) -> std::optional<QVariant> {
            if (name == QLatin1String("MoneyCN"))
                return capitals;
            if (name == QLatin1String("MoneyKind"))
                return kindText;
            return std::nullopt;
        },
        this);
}
