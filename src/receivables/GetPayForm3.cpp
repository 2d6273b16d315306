#include "receivables/GetPayForm3.h"

#include "journal/EntryRules.h"
#include "journal/ParameterLists.h"
#include "receivables/GetPayRules.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TFormGetPay3::TFormGetPay3(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormGetPay3"));
    setWindowTitle(QStringLiteral("应收应付记录筛选"));

    customerCombo = MakeComboBox(this, "ComboBox1", true);
    reasonCombo = MakeComboBox(this, "ComboBox2", true);
    manCombo = MakeComboBox(this, "ComboBox3", true);
    dateRange = new QCheckBox(QStringLiteral("时间范围"), this);
    dateRange->setObjectName(QStringLiteral("CheckBox1"));
    fromDate = MakeDateBox(this, "DateTimePicker1");
    toDate = MakeDateBox(this, "DateTimePicker2");
    fromDate->setAccessibleName(QStringLiteral("时间范围起始日期"));
    toDate->setAccessibleName(QStringLiteral("时间范围截止日期"));
    fromDate->setEnabled(false);
    toDate->setEnabled(false);
    remarkEdit = MakeLineEdit(this, "Edit3");

    auto *fields = new QGridLayout;
    fields->addWidget(BuddyLabel(QStringLiteral("客户名称"), customerCombo, this), 0, 0);
    fields->addWidget(customerCombo, 0, 1, 1, 3);
    fields->addWidget(dateRange, 1, 0);
    fields->addWidget(fromDate, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("至"), this), 1, 2);
    fields->addWidget(toDate, 1, 3);
    fields->addWidget(BuddyLabel(QStringLiteral("收支种类"), reasonCombo, this), 2, 0);
    fields->addWidget(reasonCombo, 2, 1, 1, 3);
    fields->addWidget(BuddyLabel(QStringLiteral("业 务 员"), manCombo, this), 3, 0);
    fields->addWidget(manCombo, 3, 1, 1, 3);
    fields->addWidget(BuddyLabel(QStringLiteral("备注信息"), remarkEdit, this), 4, 0);
    fields->addWidget(remarkEdit, 4, 1, 1, 3);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    actionYes = NewAction(this, "ActionYes", QStringLiteral(" 确定"));
    actionNo = NewAction(this, "ActionNo", QStringLiteral(" 取消"));
    QPushButton *yesButton = ActionButton(actionYes, this);
    yesButton->setDefault(true);
    QPushButton *noButton = ActionButton(actionNo, this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yesButton);
    buttons->addWidget(noButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(380, 220);

    connect(dateRange, &QCheckBox::toggled, this, [this](bool on) {
        fromDate->setEnabled(on);
        toDate->setEnabled(on);
    });
    connect(actionYes, &QAction::triggered, this, &TFormGetPay3::ActionYesExecute);
    connect(actionNo, &QAction::triggered, this, &QDialog::reject);
}

const Sql &TFormGetPay3::filterFor(const QString &kind) const
{
    return kind == EntryTexts::Payable ? PayFilter : GetFilter;
}

void TFormGetPay3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    const QString column = QStringLiteral("ParameterValue");
    LoadCombo(customerCombo, PickLists::ListStatement(4), false, column);
    LoadCombo(reasonCombo, PickLists::ListStatement(RecordReasonList(Request.FilterKind)), false, column);
    LoadCombo(manCombo, PickLists::ListStatement(5), false, column);
    customerCombo->setEditText(QString());
    reasonCombo->setEditText(QString());
    manCombo->setEditText(QString());
    // The main window's current month; the check box and the remark keep what they held.
    const QDate day = Session().CurrentDay;
    fromDate->setDate(QDate(day.year(), day.month(), 1));
    toDate->setDate(QDate(day.year(), day.month(), day.daysInMonth()));
    customerCombo->setFocus();
}

void TFormGetPay3::ActionYesExecute()
{
    const Sql filter = BuildGetPayFilter({.customer = customerCombo->currentText(),
        .dateRange = dateRange->isChecked(),
        .from = fromDate->date(),
        .to = toDate->date(),
        .reason = reasonCombo->currentText(),
        .man = manCombo->currentText(),
        .remark = remarkEdit->text()});
    if (Request.FilterKind == EntryTexts::Payable)
        PayFilter = filter;
    else
        GetFilter = filter;
    accept();
}
