#include "ledgers/PowerForm2.h"

#include "ledgers/Rights.h"
#include "ledgers/UserManagement.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
struct RightRow {
    const char *box;
    const char *caption;
    const char *explanation;
};
// In the order of Rights::AllNames().
const RightRow RightRows[6] = {
    {"CheckBox1", "【财务收入】：", "能够新增与管理财务收入单据，能够新增与管理帐务应收单据"},
    {"CheckBox2", "【财务支出】：", "能够新增与管理财务支出单据，能够新增与管理帐务应付单据"},
    {"CheckBox3", "【财务平调】：", "能够新增与管理财务平调单据"},
    {"CheckBox4", "【数据总览】：", "能够看见软件中所有的财务数据，包括其他用户所录入的数据"},
    {"CheckBox5", "【数据修改】：", "能够对软件中的财务收支单据，应收应付单据进行修改和保存"},
    {"CheckBox6", "【财务报表】：", "能够使用软件的财务报表模块，通过报表生成器查询财务单据"},
};
} // namespace

TFormPower2::TFormPower2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormPower2"));
    setWindowTitle(QStringLiteral("用户权限设置"));

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("Edit1"));
    KeepWholeText(nameEdit);
    // Passwords are kept and shown in plain text.
    keyEdit = new QLineEdit(this);
    keyEdit->setObjectName(QStringLiteral("Edit2"));
    KeepWholeText(keyEdit);

    auto *grid = new QGridLayout;
    grid->addWidget(BuddyLabel(QStringLiteral("用户名称："), nameEdit, this), 0, 0);
    grid->addWidget(nameEdit, 0, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("用户密码："), keyEdit, this), 1, 0);
    grid->addWidget(keyEdit, 1, 1);
    auto *rightsCaption = new QLabel(QStringLiteral("权限设置："), this);
    grid->addWidget(rightsCaption, 2, 0, 1, 2);
    for (int i = 0; i < 6; ++i) {
        const RightRow &r = RightRows[i];
        auto *box = new QCheckBox(QString::fromUtf8(r.caption), this);
        box->setObjectName(QString::fromLatin1(r.box));
        auto *explanation = new QLabel(QString::fromUtf8(r.explanation), this);
        // A screen reader reads the explanation with its box.
        explanation->setBuddy(box);
        box->setAccessibleDescription(explanation->text());
        grid->addWidget(box, 3 + i, 0);
        grid->addWidget(explanation, 3 + i, 1);
        rightBoxes[i] = box;
    }
    rightsCaption->setBuddy(rightBoxes[0]);

    QHBoxLayout *buttons = YesCancelButtons(this, &actionYes, &actionCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(nameEdit, keyEdit);
    setTabOrder(keyEdit, rightBoxes[0]);
    for (int i = 1; i < 6; ++i)
        setTabOrder(rightBoxes[i - 1], rightBoxes[i]);

    connect(actionYes, &QAction::triggered, this, &TFormPower2::ActionYesExecute);
    connect(actionCancel, &QAction::triggered, this, &QDialog::reject);
}

void TFormPower2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    nameEdit->clear();
    keyEdit->clear();
    for (QCheckBox *box : rightBoxes)
        box->setChecked(false);
    Query row;
    if (RunQuery(row, Sql("Select * From Power Where PowerIndex = ") + Sql::value(Request.PowerIndex),
            Texts::DatabaseOpenFailed)
        && !row.isEmpty()) {
        nameEdit->setText(row.text(QStringLiteral("PowerName")));
        keyEdit->setText(row.text(QStringLiteral("PowerKey")));
        const UserRights held = ParseRights(row.text(QStringLiteral("PowerRange")));
        const bool flags[]
            = {held.Income, held.Expense, held.Transfer, held.Overview, held.Edit, held.Reports};
        for (int i = 0; i < 6; ++i)
            rightBoxes[i]->setChecked(flags[i]);
    }
    nameEdit->setFocus();
}

void TFormPower2::ActionYesExecute()
{
    Users::UserChange change;
    change.index = Request.PowerIndex;
    change.name = nameEdit->text();
    change.key = keyEdit->text();
    change.rights = {rightBoxes[0]->isChecked(), rightBoxes[1]->isChecked(), rightBoxes[2]->isChecked(),
        rightBoxes[3]->isChecked(), rightBoxes[4]->isChecked(), rightBoxes[5]->isChecked()};
    switch (Users::StoreUser(change)) {
    case Users::StoreResult::Stored:
        accept();
        break;
    case Users::StoreResult::NameRefused:
        nameEdit->setFocus();
        break;
    case Users::StoreResult::Refused:
        break;
    }
}
