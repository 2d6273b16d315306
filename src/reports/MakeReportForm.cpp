#include "reports/MakeReportForm.h"

#include "accounts/AccountOverview.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
QComboBox *makeCombo(QWidget *parent, const char *name, bool editable = false)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(editable);
    return combo;
}

QDateEdit *makeDateBox(QWidget *parent, const char *name, const QString &accessibleName)
{
    QDateEdit *box = MakeDateBox(parent, name);
    box->setAccessibleName(accessibleName);
    return box;
}

// A click selects or unselects an item and makes it the current one; the builder reads both.
QListWidget *makeList(QWidget *parent, const char *name)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    return list;
}

QStringList selectedTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            texts.append(list->item(i)->text());
    return texts;
}

QString currentText(const QListWidget *list)
{
    return list->currentItem() ? list->currentItem()->text() : QString();
}

// Only "所有", current, nothing selected.
void resetList(QListWidget *list)
{
    list->clear();
    list->addItem(Texts::AllItems);
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
}
} // namespace

TFormMakeReport::TFormMakeReport(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormMakeReport"));
    setWindowTitle(QStringLiteral("生成报表"));

    bookImage = MakeLabel(this, QString(), "Image1");
    bookImage->setFixedSize(96, 72);
    bookImage->setScaledContents(true);
    bookImage->setAccessibleName(QStringLiteral("当前帐簿"));

    documentKind = makeCombo(this, "ComboBox5");
    documentKind->addItems(
        {ReportTexts::AllDocuments, ReportTexts::IncomeDocuments, ReportTexts::ExpenseDocuments});
    transferKind = makeCombo(this, "ComboBox1");
    transferKind->addItems({ReportTexts::AllTransfers, ReportTexts::NoTransfers, ReportTexts::OnlyTransfers});
    transferKind->setAccessibleName(QStringLiteral("平调单据"));
    auto *kindGroup = new QGroupBox(this);
    auto *kindLayout = new QHBoxLayout(kindGroup);
    kindLayout->addWidget(BuddyLabel(QStringLiteral("单据类型"), documentKind, kindGroup));
    kindLayout->addWidget(documentKind, 1);
    kindLayout->addWidget(transferKind, 1);

    timeRange = new QCheckBox(QStringLiteral("时间范围"), this);
    timeRange->setObjectName(QStringLiteral("CheckBox1"));
    startDate = makeDateBox(this, "DateTimePicker1", QStringLiteral("开始日期"));
    endDate = makeDateBox(this, "DateTimePicker2", QStringLiteral("结束日期"));
    amountRange = new QCheckBox(QStringLiteral("金额范围"), this);
    amountRange->setObjectName(QStringLiteral("CheckBox2"));
    lowerBound = MakeLineEdit(this, "Edit2");
    lowerBound->setAccessibleName(QStringLiteral("金额下限"));
    upperBound = MakeLineEdit(this, "Edit4");
    upperBound->setAccessibleName(QStringLiteral("金额上限"));
    connect(timeRange, &QCheckBox::toggled, this, [this](bool on) {
        startDate->setEnabled(on);
        endDate->setEnabled(on);
    });
    connect(amountRange, &QCheckBox::toggled, this, [this](bool on) {
        lowerBound->setEnabled(on);
        upperBound->setEnabled(on);
    });

    serialEdit = MakeLineEdit(this, "Edit5");
    accountList = makeList(this, "ListBox1");
    reasonList = makeList(this, "ListBox2");
    customerCombo = makeCombo(this, "ComboBox6", true);
    typeCombo = makeCombo(this, "ComboBox3");
    voucherCombo = makeCombo(this, "ComboBox4");
    salesmanCombo = makeCombo(this, "ComboBox7");
    remarkEdit = MakeLineEdit(this, "Edit3");

    auto *fields = new QGridLayout;
    fields->addWidget(kindGroup, 0, 0, 1, 3);
    fields->addWidget(bookImage, 0, 3, Qt::AlignRight);
    fields->addWidget(timeRange, 1, 0);
    fields->addWidget(startDate, 1, 1);
    fields->addWidget(MakeLabel(this, QStringLiteral("至")), 1, 2, Qt::AlignCenter);
    fields->addWidget(endDate, 1, 3);
    fields->addWidget(amountRange, 2, 0);
    fields->addWidget(lowerBound, 2, 1);
    fields->addWidget(MakeLabel(this, QStringLiteral("至")), 2, 2, Qt::AlignCenter);
    fields->addWidget(upperBound, 2, 3);
    fields->addWidget(BuddyLabel(QStringLiteral("单据编号"), serialEdit, this), 3, 0);
    fields->addWidget(serialEdit, 3, 1, 1, 3);
    fields->addWidget(BuddyLabel(QStringLiteral("帐户名称"), accountList, this), 4, 0, 1, 2);
    fields->addWidget(BuddyLabel(QStringLiteral("收支种类"), reasonList, this), 4, 2, 1, 2);
    fields->addWidget(accountList, 5, 0, 1, 2);
    fields->addWidget(reasonList, 5, 2, 1, 2);
    int row = 6;
    for (auto [caption, control] : {std::pair<QString, QWidget *> {QStringLiteral("客户名称"), customerCombo},
             {QStringLiteral("类别"), typeCombo}, {QStringLiteral("凭证"), voucherCombo},
             {QStringLiteral("业务员"), salesmanCombo}, {QStringLiteral("备注"), remarkEdit}}) {
        fields->addWidget(BuddyLabel(caption, control, this), row, 0);
        fields->addWidget(control, row, 1, 1, 3);
        ++row;
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    okButton = MakeButton(this, "BitBtn1", QStringLiteral("确定"));
    okButton->setDefault(true);
    cancelButton = MakeButton(this, "BitBtn2", QStringLiteral("取消"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(460, 560);

    connect(okButton, &QPushButton::clicked, this, &TFormMakeReport::BitBtn1Click);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormMakeReport::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormMakeReport::FormShow()
{
    const QString picture
        = Accounts::BookPictureFile(ReadSetting(Settings::AccountBook, QStringLiteral("1")));
    if (!picture.isEmpty()) {
        pictureFile = picture;
        bookImage->setPixmap(QPixmap(Session().ProgramDir + picture));
    }

    for (QLineEdit *box : {lowerBound, remarkEdit, upperBound, serialEdit})
        box->clear();
    const QDate today = Platform::Today();
    startDate->setDate(Accounts::FirstDayOfMonth(today));
    endDate->setDate(Accounts::LastDayOfMonth(today));
    // Unticking disables the boxes; set them too in case the boxes were unticked already.
    timeRange->setChecked(false);
    amountRange->setChecked(false);
    for (QWidget *box : std::initializer_list<QWidget *> {startDate, endDate, lowerBound, upperBound})
        box->setEnabled(false);

    resetList(accountList);
    resetList(reasonList);
    if (!fillList(accountList,
            Sql("Select * From Account Where (AccountIndex > 1)") + Session().AccountBookFilter,
            QStringLiteral("AccountName"), QStringLiteral("帐户读入失败")))
        return;
    if (!fillList(reasonList,
            Sql("Select * From Parameter Where (ParameterType = 0) Or (ParameterType = 1) Order By "
                "ParameterType, ParameterIndex"),
            QStringLiteral("ParameterValue"), QStringLiteral("收支种类读入失败")))
        return;

    const QString column = QStringLiteral("ParameterValue");
    LoadCombo(typeCombo, Sql("Select * From Parameter Where ParameterType = 2"), true, column);
    LoadCombo(voucherCombo, Sql("Select * From Parameter Where ParameterType = 3"), true, column);
    LoadCombo(customerCombo, Sql("Select * From Parameter Where ParameterType = 4"), true, column);
    LoadCombo(salesmanCombo, Sql("Select * From Parameter Where ParameterType = 5"), true, column);
    documentKind->setFocus();
}

bool TFormMakeReport::fillList(
    QListWidget *list, const Sql &sql, const QString &column, const QString &failMessage)
{
    Query rows;
    if (!RunQuery(rows, sql, failMessage))
        return false;
    for (rows.first(); !rows.eof(); rows.next())
        list->addItem(rows.text(column));
    return true;
}

ReportChoices TFormMakeReport::choices() const
{
    ReportChoices c;
    c.documentKind = documentKind->currentText();
    c.transferKind = transferKind->currentText();
    c.timeRange = timeRange->isChecked();
    c.startDate = startDate->date();
    c.endDate = endDate->date();
    c.amountRange = amountRange->isChecked();
    c.lowerBound = lowerBound->text();
    c.upperBound = upperBound->text();
    c.serial = serialEdit->text();
    c.currentAccount = currentText(accountList);
    c.selectedAccounts = selectedTexts(accountList);
    c.currentReason = currentText(reasonList);
    c.selectedReasons = selectedTexts(reasonList);
    c.type = typeCombo->currentText();
    c.voucher = voucherCombo->currentText();
    c.customer = customerCombo->currentText();
    c.salesman = salesmanCombo->currentText();
    c.remark = remarkEdit->text();
    return c;
}

void TFormMakeReport::BitBtn1Click()
{
    // The condition is emptied before the amounts are checked: after a refused amount the
    // statistics and the charts count every entry until the next report is made, while the
    // other two texts and the report grid keep what they have.
    SessionValues &s = Session();
    s.ReportCondition = Sql();
    const AmountBoundsCheck amounts = CheckAmountBounds(lowerBound->text(), upperBound->text());
    if (amounts.box != AmountBox::None) {
        Platform::ShowMessage(amounts.message);
        (amounts.box == AmountBox::Lower ? lowerBound : upperBound)->setFocus();
        return;
    }
    const ReportConditions built = BuildReportConditions(choices());
    s.ReportCondition = built.condition;
    s.ReportAccountCondition = built.accountCondition;
    s.ReportStartDate = built.startDate;
    accept();
}
