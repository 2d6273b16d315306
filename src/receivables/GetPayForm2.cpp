#include "receivables/GetPayForm2.h"

#include "journal/EntryRules.h"
#include "journal/GetPayForm.h"
#include "journal/ParameterLists.h"
#include "platform/Seams.h"
#include "receivables/GetPayRules.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/DataGrid.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <iterator>

namespace {
const QString ValueColumn = QStringLiteral("ParameterValue");

QLabel *valueLabel(QWidget *parent, const char *name, const QColor &color)
{
    QLabel *label = MakeLabel(parent, QStringLiteral("0"), name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(90);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

GridColumn entryColumn(const char *field, const char *caption, int width)
{
    return GridColumn::make(
        QString::fromLatin1(field), QString::fromUtf8(caption), width, {}, Qt::AlignCenter);
}
} // namespace

TFormGetPay2::TFormGetPay2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormGetPay2"));
    setWindowTitle(QStringLiteral("应收应付管理"));

    banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Image1"));
    banner->setAlignment(Qt::AlignCenter);

    dateEdit = MakeDateBox(this, "DateTimePicker1");
    customerCombo = MakeComboBox(this, "ComboBox1", true);
    saveCustomerButton = MakeButton(this, "Button1", QStringLiteral("保存客户"));
    amountEdit = MakeLineEdit(this, "Edit2");
    amountEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    reasonCombo = MakeComboBox(this, "ComboBox2", false);
    remarkEdit = MakeLineEdit(this, "Edit3");
    manCombo = MakeComboBox(this, "ComboBox3", true);

    auto *fields = new QGridLayout;
    auto addField
        = [this, fields](int row, int column, QLabel *label, QWidget *control, QWidget *extra = nullptr) {
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
    amountLabel = MakeLabel(this, QStringLiteral("应收金额"), "Label1");
    addField(0, 0, new QLabel(QStringLiteral("录入时间"), this), dateEdit);
    addField(0, 1, new QLabel(QStringLiteral("客户名称"), this), customerCombo, saveCustomerButton);
    addField(1, 0, amountLabel, amountEdit);
    addField(1, 1, new QLabel(QStringLiteral("收支种类"), this), reasonCombo);
    addField(2, 0, new QLabel(QStringLiteral("业 务 员"), this), manCombo);
    addField(2, 1, new QLabel(QStringLiteral("备注信息"), this), remarkEdit);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto *figures = new QGroupBox(QStringLiteral("统计信息"), this);
    dueCaption = MakeLabel(figures, QString(), "Label2");
    settledCaption = MakeLabel(figures, QString(), "Label3");
    outstandingCaption = MakeLabel(figures, QString(), "Label4");
    dueValue = valueLabel(figures, "Label5", Qt::black);
    settledValue = valueLabel(figures, "Label6", Qt::blue);
    outstandingValue = valueLabel(figures, "Label7", Qt::red);
    auto *figureRows = new QGridLayout(figures);
    figureRows->addWidget(dueCaption, 0, 0);
    figureRows->addWidget(dueValue, 0, 1);
    figureRows->addWidget(settledCaption, 1, 0);
    figureRows->addWidget(settledValue, 1, 1);
    figureRows->addWidget(outstandingCaption, 2, 0);
    figureRows->addWidget(outstandingValue, 2, 1);
    figureRows->setRowStretch(3, 1);

    auto *bills = new QGroupBox(QStringLiteral("财务单据"), this);
    entries = new DataGrid(bills);
    entries->setObjectName(QStringLiteral("DBGridEh1"));
    entries->setAccessibleName(QStringLiteral("财务单据"));
    entries->setFooterVisible(false);
    GridColumn day = entryColumn("MoneyCreateTime", "开单时间", 80);
    day.format = ShortDateCell;
    entries->setColumns({day, entryColumn("MoneySerial", "单据编号", 90), entryColumn("MoneyIn", "收入", 65),
        entryColumn("MoneyOut", "支出", 65), entryColumn("MoneySum", "合计", 65)});
    auto *addButton = MakeButton(bills, "Button2", QStringLiteral("新增"));
    auto *editButton = MakeButton(bills, "Button3", QStringLiteral("修改"));
    auto *deleteButton = MakeButton(bills, "Button4", QStringLiteral("删除"));
    auto *billButtons = new QVBoxLayout;
    billButtons->addWidget(addButton);
    billButtons->addWidget(editButton);
    billButtons->addWidget(deleteButton);
    billButtons->addStretch();
    auto *billRow = new QHBoxLayout(bills);
    billRow->addWidget(entries, 1);
    billRow->addLayout(billButtons);

    figures->setMinimumWidth(180);
    auto *middle = new QHBoxLayout;
    middle->addWidget(figures);
    middle->addWidget(bills, 1);

    actionYes = NewAction(this, "ActionYes", QStringLiteral("确定"));
    actionCancel = NewAction(this, "ActionCancel", QStringLiteral("取消"));
    QPushButton *yesButton = ActionButton(actionYes, this);
    yesButton->setObjectName(QStringLiteral("SpeedButton1"));
    yesButton->setAutoDefault(false);
    QPushButton *cancelButton = ActionButton(actionCancel, this);
    cancelButton->setObjectName(QStringLiteral("SpeedButton2"));
    cancelButton->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yesButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addLayout(fields);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(720, 460);

    QWidget *order[] = {dateEdit, customerCombo, saveCustomerButton, amountEdit, reasonCombo, remarkEdit,
        manCombo, entries, addButton, editButton, deleteButton, yesButton, cancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(actionYes, &QAction::triggered, this, &TFormGetPay2::ActionYesExecute);
    connect(actionCancel, &QAction::triggered, this, &QDialog::reject);
    connect(saveCustomerButton, &QPushButton::clicked, this, [this] { SaveCustomerName(customerCombo); });
    connect(addButton, &QPushButton::clicked, this, &TFormGetPay2::Button2Click);
    connect(editButton, &QPushButton::clicked, this, &TFormGetPay2::Button3Click);
    connect(deleteButton, &QPushButton::clicked, this, &TFormGetPay2::Button4Click);
    connect(entries, &DataGrid::gridDoubleClicked, this, &TFormGetPay2::Button3Click);
}

bool TFormGetPay2::isNewMode() const
{
    return Request.RecordMode == EntryTexts::ModeNew;
}

void TFormGetPay2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormGetPay2::FormShow()
{
    ++showCount;
    RecordChanged = false;
    const QString &kind = Request.RecordKind;
    const QString picture = RecordBanner(Request.RecordMode, kind);
    banner->setPixmap(QPixmap(Session().ProgramDir + picture));
    banner->setAccessibleName((isNewMode() ? EntryTexts::ModeNew : EntryTexts::ModeEdit) + kind);
    const RecordCaptions captions = RecordCaptionsFor(kind);
    amountLabel->setText(captions.amount);
    dueCaption->setText(captions.due);
    settledCaption->setText(captions.settled);
    outstandingCaption->setText(captions.outstanding);

    LoadCombo(customerCombo, PickLists::ListStatement(4), false, ValueColumn);
    LoadCombo(reasonCombo, PickLists::ListStatement(RecordReasonList(kind)), false, ValueColumn);
    LoadCombo(manCombo, PickLists::ListStatement(5), false, ValueColumn);

    if (!isNewMode()) {
        if (!loadRecord()) {
            RejectAfterShow(this, &showCount);
            return;
        }
    } else {
        dateEdit->setDate(Session().CurrentDay);
        customerCombo->setEditText(QString());
        amountEdit->setText(QStringLiteral("0"));
        remarkEdit->clear();
        manCombo->setEditText(QString());
        Request.RecordIndex = 1;
        actionYes->setVisible(true);
        actionYes->setEnabled(true);
    }
    ShowGetPayRecord();
    dateEdit->setFocus();
}

bool TFormGetPay2::loadRecord()
{
    Query record;
    if (!RunQuery(record, Sql("Select * From GetPay Where GetPayIndex = ") + Sql::value(Request.RecordIndex),
            QStringLiteral("记录读入失败")))
        return false;
    if (record.isEmpty()) {
        Platform::ShowMessage(GetPayTexts::RecordNotFound);
        return false;
    }
    dateEdit->setDate(record.date(QStringLiteral("GetPayTime")));
    // Customer, reason and salesman as stored, also when their lists no longer offer them: a
    // 确定 that did not change them must not replace them.
    KeepComboText(customerCombo, record.text(QStringLiteral("GetPayUser")));
    // The amount as stored, not rounded.
    amountEdit->setText(QString::number(record.number(QStringLiteral("GetPaySum")), 'g', 15));
    KeepComboText(reasonCombo, record.text(QStringLiteral("GetPayReason")));
    remarkEdit->setText(record.text(QStringLiteral("GetPayRemark")));
    KeepComboText(manCombo, record.text(QStringLiteral("GetPayMan")));
    const bool rightEdit = Session().RightEdit;
    actionYes->setVisible(rightEdit);
    actionYes->setEnabled(rightEdit);
    return true;
}

void TFormGetPay2::showFigures(const QString &due, const QString &settled, const QString &outstanding)
{
    // A screen reader hears each figure with its caption ("应收：120"), as a person reads the pair.
    const RecordCaptions captions = RecordCaptionsFor(Request.RecordKind);
    const std::pair<QLabel *, QString> figures[] = {{dueValue, captions.due + due},
        {settledValue, captions.settled + settled}, {outstandingValue, captions.outstanding + outstanding}};
    for (const auto &[label, spoken] : figures)
        label->setAccessibleName(spoken);
    dueValue->setText(due);
    settledValue->setText(settled);
    outstandingValue->setText(outstanding);
}

void TFormGetPay2::ShowGetPayRecord()
{
    if (!hasStoredRecord()) {
        // Nothing stored yet: the reserved row 1 is no record, and no entry settles it.
        showFigures(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"));
        entries->close();
        return;
    }
    Query record;
    if (!RunQuery(record, Sql("Select * From GetPay Where GetPayIndex = ") + Sql::value(Request.RecordIndex),
            Texts::DatabaseOpenFailed))
        return;
    if (!record.isEmpty())
        showFigures(RoundMoney(record.number(QStringLiteral("GetPaySum"))),
            RoundMoney(record.number(QStringLiteral("GetPaySum2"))),
            RoundMoney(record.number(QStringLiteral("GetPaySum3"))));
    RunGridQuery(entries,
        Sql("Select * From MoneyTable Where MoneyGetPay = ") + Sql::value(Request.RecordIndex)
            + Sql(" Order By MoneyIndex"),
        Texts::DatabaseOpenFailed);
}

bool TFormGetPay2::checkAmount(double *amount)
{
    const EntryCheck check = CheckAmountText(amountEdit->text());
    if (!check.passed()) {
        Platform::ShowMessage(check.message);
        amountEdit->setFocus();
        return false;
    }
    *amount = ParseAmountText(amountEdit->text()).value_or(0);
    return true;
}

GetPayRow TFormGetPay2::rowFromControls(double amount, double settled) const
{
    GetPayRow row;
    row.time = dateEdit->date();
    row.user = customerCombo->currentText();
    row.kind = Request.RecordKind;
    row.due = amount;
    row.settled = settled;
    row.reason = reasonCombo->currentText();
    row.remark = remarkEdit->text();
    row.man = manCombo->currentText();
    row.power = Session().CurrentUser;
    return row;
}

void TFormGetPay2::ActionYesExecute()
{
    double amount = 0;
    if (!checkAmount(&amount))
        return;
    // The settled amount as shown, which the entries added meanwhile have brought up to date.
    const GetPayRow row = rowFromControls(amount, settledValue->text().toDouble());
    if (hasStoredRecord()) {
        Query stored;
        if (!RunQuery(stored,
                Sql("Select * From GetPay Where GetPayIndex = ") + Sql::value(Request.RecordIndex),
                Texts::DatabaseOpenFailed))
            return;
        if (stored.isEmpty()) {
            Platform::ShowMessage(GetPayTexts::RecordNotFound);
            return;
        }
        // A record that 新增 stored is still new: 确定 gives it its kind and owner as an insert would.
        if (!UpdateGetPayRecord(Request.RecordIndex, row, isNewMode()))
            return;
    } else {
        const qint64 index = InsertGetPayRecord(row);
        if (index < 0)
            return;
        Request.RecordIndex = index;
    }
    Platform::ShowMessage(isNewMode() ? GetPayTexts::RecordInserted : GetPayTexts::RecordChanged);
    RecordChanged = true;
    accept();
}

void TFormGetPay2::Button2Click()
{
    if (!entryForm)
        return;
    if (!hasStoredRecord()) {
        // The entry needs a record to settle: store it now, provisionally until 确定.
        double amount = 0;
        if (!checkAmount(&amount))
            return;
        const qint64 index = InsertGetPayRecord(rowFromControls(amount, 0));
        if (index < 0)
            return;
        Request.RecordIndex = index;
    }
    EntryRequest entry;
    entry.EntryMode = EntryTexts::ModeNew;
    entry.EntryKind = SettlingEntryKind(Request.RecordKind);
    entry.EntryGetPay = Request.RecordIndex;
    entry.PresetUser = customerCombo->currentText();
    entry.PresetReason = reasonCombo->currentText();
    entry.PresetMan = manCombo->currentText();
    entryForm->Request = entry;
    if (Platform::ShowModal(entryForm) == QDialog::Accepted) {
        ShowGetPayRecord();
        RecordChanged = true;
    }
}

qint64 TFormGetPay2::currentEntry() const
{
    return entries->isOpen() ? entries->value(QStringLiteral("MoneyIndex")).toLongLong() : 0;
}

void TFormGetPay2::Button3Click()
{
    const qint64 index = currentEntry();
    if (index == 0 || !entryForm)
        return;
    EntryRequest entry;
    entry.EntryMode = EntryTexts::ModeEdit;
    entry.EntryKind = entries->value(QStringLiteral("MoneyKind")).toString();
    entry.EntryIndex = index;
    entryForm->Request = entry;
    if (Platform::ShowModal(entryForm) == QDialog::Accepted) {
        ShowGetPayRecord();
        RecordChanged = true;
    }
}

void TFormGetPay2::Button4Click()
{
    const qint64 index = currentEntry();
    if (index == 0)
        return;
    Query stored;
    if (!RunQuery(stored, Sql("Select * From MoneyTable Where MoneyIndex = ") + Sql::value(index),
            Texts::DatabaseOpenFailed))
        return;
    if (stored.isEmpty()) {
        Platform::ShowMessage(GetPayTexts::EntryNotFound);
        return;
    }
    if (!Platform::AskYesNo(GetPayTexts::DeleteQuestion, GetPayTexts::DeleteCaption))
        return;
    if (!DeleteSettlingEntry(index, Request.RecordIndex))
        return;
    ShowGetPayRecord();
    ShareDataModule->RequestRefreshAll();
    RecordChanged = true;
}

void TFormGetPay2::done(int result)
{
    if (result == QDialog::Rejected && isNewMode() && hasStoredRecord())
        takeBackNewRecord();
    QDialog::done(result);
}

// A new record is provisional until 确定: cancelled, it goes with the entries added meanwhile.
void TFormGetPay2::takeBackNewRecord()
{
    Query record;
    if (!RunQuery(record, Sql("Select * From GetPay Where GetPayIndex = ") + Sql::value(Request.RecordIndex),
            Texts::DatabaseOpenFailed))
        return;
    if (record.isEmpty()) {
        Request.RecordIndex = 1;
        return;
    }
    int entriesDeleted = 0;
    if (!DeleteGetPayRecord(Request.RecordIndex, true, &entriesDeleted)) {
        // Record and entries stay together; the caller's grid shows them.
        RecordChanged = true;
        return;
    }
    Request.RecordIndex = 1;
    if (entriesDeleted > 0)
        ShareDataModule->RequestRefreshAll();
}
