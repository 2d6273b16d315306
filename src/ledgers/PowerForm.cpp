#include "ledgers/PowerForm.h"

#include "ledgers/PowerForm2.h"
#include "ledgers/UserManagement.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include <iterator>

namespace {
const ListColumn Columns[] = {
    {"PowerName", "用户名称", 80},
    {"PowerKey", "用户密码", 80},
    {"PowerRange", "用户权限", 360},
};
} // namespace

TFormPower::TFormPower(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormPower"));
    setWindowTitle(QStringLiteral("用户权限管理"));

    grid = NewListGrid(this, "DBGridEh3", QStringLiteral("用户列表"), Columns);

    actionNew = NewAction(this, "ActionNew", QStringLiteral("新增用户"));
    actionEdit = NewAction(this, "ActionEdit", QStringLiteral("修改用户"));
    actionDelete = NewAction(this, "ActionDelete", QStringLiteral("删除用户"));
    actionCancel = NewAction(this, "ActionCancel", QStringLiteral("关闭窗口"));
    QPushButton *newButton = ActionButton(actionNew, this);
    QPushButton *editButton = ActionButton(actionEdit, this);
    QPushButton *deleteButton = ActionButton(actionDelete, this);
    QPushButton *closeButton = ActionButton(actionCancel, this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(newButton);
    buttons->addWidget(editButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    resize(grid->minimumWidth() + 24, 300);

    setTabOrder(grid, newButton);
    setTabOrder(newButton, editButton);
    setTabOrder(editButton, deleteButton);
    setTabOrder(deleteButton, closeButton);

    // Adding users is a command of the multi-user edition; this edition cannot add one.
    actionNew->setEnabled(false);
    actionNew->setVisible(false);

    connect(actionEdit, &QAction::triggered, this, &TFormPower::ActionEditExecute);
    connect(actionDelete, &QAction::triggered, this, &TFormPower::ActionDeleteExecute);
    connect(actionCancel, &QAction::triggered, this, &QDialog::reject);
    connect(grid, &QTableWidget::cellDoubleClicked, actionEdit, &QAction::trigger);
}

void TFormPower::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    actionNew->setVisible(Session().MultiUserEdition);
    ListUsers();
    grid->setFocus();
}

void TFormPower::ListUsers()
{
    const int previousRow = selectedRow();
    const QVariant previous
        = previousRow < 0 ? QVariant() : ADOQueryGrid.valueAt(previousRow, QStringLiteral("PowerIndex"));
    grid->setRowCount(0);
    if (!RunQuery(ADOQueryGrid, Sql("Select * From Power"), Texts::DatabaseOpenFailed))
        return;
    FillListGrid(grid, ADOQueryGrid, Columns, QStringLiteral("PowerIndex"), previous);
}

int TFormPower::selectedRow() const
{
    return SelectedListRow(grid, ADOQueryGrid, QStringLiteral("PowerIndex"));
}

void TFormPower::ActionEditExecute()
{
    const int row = selectedRow();
    if (row < 0 || !formPower2) {
        Platform::ShowMessage(QStringLiteral("请先选中要修改的用户"));
        return;
    }
    formPower2->Request = UserRequest {.Mode = Users::ModeEdit,
        .PowerIndex = ADOQueryGrid.valueAt(row, QStringLiteral("PowerIndex")).toLongLong()};
    if (Platform::ShowModal(formPower2) == QDialog::Accepted)
        ListUsers();
}

void TFormPower::ActionDeleteExecute()
{
    const int row = selectedRow();
    if (row < 0) {
        Platform::ShowMessage(QStringLiteral("请先选中要删除的用户"));
        return;
    }
    if (Users::DeleteUser(ADOQueryGrid.valueAt(row, QStringLiteral("PowerIndex")).toLongLong(),
            ADOQueryGrid.valueAt(row, QStringLiteral("PowerName")).toString(), Session().MultiUserEdition))
        ListUsers();
}
