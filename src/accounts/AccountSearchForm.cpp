#include "accounts/AccountSearchForm.h"

#include "widgets/FormParts.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>

TFormAccountSearch::TFormAccountSearch(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormAccountSearch"));
    setWindowTitle(QStringLiteral("帐户记录搜索"));

    nameEdit = MakeLineEdit(this, "Edit1");
    remarkEdit = MakeLineEdit(this, "Edit2");
    auto *fields = new QGridLayout;
    fields->addWidget(BuddyLabel(QStringLiteral("帐户名称："), nameEdit, this), 0, 0);
    fields->addWidget(nameEdit, 0, 1);
    fields->addWidget(BuddyLabel(QStringLiteral("帐户备注："), remarkEdit, this), 1, 0);
    fields->addWidget(remarkEdit, 1, 1);

    QAction *actionYes = nullptr;
    QAction *actionCancel = nullptr;
    QHBoxLayout *buttons = YesCancelButtons(this, &actionYes, &actionCancel);
    connect(actionYes, &QAction::triggered, this, &TFormAccountSearch::ActionYesExecute);
    connect(actionCancel, &QAction::triggered, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(300, 120);
}

void TFormAccountSearch::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    nameEdit->clear();
    remarkEdit->clear();
    nameEdit->setFocus();
}

void TFormAccountSearch::ActionYesExecute()
{
    AccountSearchFragment = Accounts::AccountSearchCondition(nameEdit->text(), remarkEdit->text());
    accept();
}

namespace Accounts {
Sql AccountSearchCondition(const QString &name, const QString &remark)
{
    Sql condition;
    if (!name.isEmpty())
        condition += Sql(" And (instr(AccountName, ") + Sql::value(name) + Sql(") > 0)");
    if (!remark.isEmpty())
        condition += Sql(" And (instr(AccountRemark, ") + Sql::value(remark) + Sql(") > 0)");
    return condition;
}
} // namespace Accounts
