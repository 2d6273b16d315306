#include "accounts/AccountChoseForm.h"

#include "accounts/AccountOverview.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
QDateEdit *makeDateBox(QWidget *parent, const char *name, const QString &accessibleName, const QDate &date)
{
    QDateEdit *box = MakeDateBox(parent, name);
    box->setDate(date);
    box->setAccessibleName(accessibleName);
    box->setEnabled(false);
    return box;
}
} // namespace

TFormAccountChose::TFormAccountChose(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormAccountChose"));
    setWindowTitle(QStringLiteral("统计范围选择"));

    accountBox = new QCheckBox(QStringLiteral("帐户范围"), this);
    accountBox->setObjectName(QStringLiteral("CheckBox1"));
    accountList = new QListWidget(this);
    accountList->setObjectName(QStringLiteral("ListBox1"));
    accountList->setSelectionMode(QAbstractItemView::MultiSelection);
    accountList->setAccessibleName(QStringLiteral("统计帐户"));
    accountList->setEnabled(false);
    dateBox = new QCheckBox(QStringLiteral("日期范围"), this);
    dateBox->setObjectName(QStringLiteral("CheckBox2"));
    // The month of the day the program started; kept as the user changes it.
    const QDate started = Platform::Today();
    startEdit = makeDateBox(
        this, "DateTimePicker1", QStringLiteral("开始日期"), Accounts::FirstDayOfMonth(started));
    endEdit
        = makeDateBox(this, "DateTimePicker2", QStringLiteral("结束日期"), Accounts::LastDayOfMonth(started));
    connect(accountBox, &QCheckBox::toggled, accountList, &QWidget::setEnabled);
    connect(dateBox, &QCheckBox::toggled, this, [this](bool on) {
        startEdit->setEnabled(on);
        endEdit->setEnabled(on);
    });

    auto *fields = new QGridLayout;
    fields->addWidget(accountBox, 0, 0, 1, 3);
    fields->addWidget(accountList, 1, 0, 1, 3);
    fields->addWidget(dateBox, 2, 0, 1, 3);
    fields->addWidget(startEdit, 3, 0);
    fields->addWidget(MakeLabel(this, QStringLiteral("至")), 3, 1, Qt::AlignCenter);
    fields->addWidget(endEdit, 3, 2);

    QAction *actionYes = nullptr;
    QAction *actionCancel = nullptr;
    QHBoxLayout *buttons = YesCancelButtons(this, &actionYes, &actionCancel);
    connect(actionYes, &QAction::triggered, this, &QDialog::accept);
    connect(actionCancel, &QAction::triggered, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(280, 340);
}

void TFormAccountChose::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormAccountChose::FormShow()
{
    accountList->clear();
    Query accounts;
    if (!RunQuery(accounts,
            Sql("Select * From Account Where (AccountIndex > 1)") + Session().AccountBookFilter,
            QStringLiteral("帐户读入失败")))
        return;
    for (accounts.first(); !accounts.eof(); accounts.next())
        accountList->addItem(accounts.text(QStringLiteral("AccountName")));
}

bool TFormAccountChose::accountRange() const
{
    return accountBox->isChecked();
}

QStringList TFormAccountChose::selectedAccounts() const
{
    QStringList names;
    for (int i = 0; i < accountList->count(); ++i)
        if (accountList->item(i)->isSelected())
            names.append(accountList->item(i)->text());
    return names;
}

bool TFormAccountChose::dateRange() const
{
    return dateBox->isChecked();
}

QDate TFormAccountChose::startDate() const
{
    return startEdit->date();
}

QDate TFormAccountChose::endDate() const
{
    return endEdit->date();
}
