#include "ledgers/DBChoseForm.h"

#include "ledgers/DBForm.h"
#include "ledgers/LedgerRegistry.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include <iterator>

namespace {
const ListColumn Columns[] = {
    {"SoftDataTime", "创建日期", 75},
    {"SoftDataName", "帐套名称", 95},
    {"SoftDataRemark", "帐套介绍", 250},
    {"SoftDataState", "状态", 40},
};
} // namespace

TFormDBChose::TFormDBChose(TFormDB *ledgerDialog, QWidget *parent) : QDialog(parent), formDB(ledgerDialog)
{
    setObjectName(QStringLiteral("TFormDBChose"));
    setWindowTitle(QStringLiteral("翎溪财务软件 → 帐套选择"));

    banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Image1"));
    banner->setAccessibleName(QStringLiteral("帐套选择"));

    grid = NewListGrid(this, "DBGridEh1", QStringLiteral("帐套列表"), Columns);
    grid->horizontalHeader()->setStretchLastSection(true);

    actionNew = NewAction(this, "ActionNew", QStringLiteral("帐套新增"));
    actionEdit = NewAction(this, "ActionEdit", QStringLiteral("帐套修改"));
    actionDelete = NewAction(this, "ActionDelete", QStringLiteral("帐套删除"));
    actionLogin = NewAction(this, "ActionLogin", QStringLiteral("登录软件"));
    QPushButton *newButton = ActionButton(actionNew, this);
    QPushButton *editButton = ActionButton(actionEdit, this);
    QPushButton *deleteButton = ActionButton(actionDelete, this);
    QPushButton *loginButton = ActionButton(actionLogin, this);
    loginButton->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(newButton);
    buttons->addWidget(editButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch();
    buttons->addWidget(loginButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);

    setTabOrder(grid, newButton);
    setTabOrder(newButton, editButton);
    setTabOrder(editButton, deleteButton);
    setTabOrder(deleteButton, loginButton);

    connect(actionNew, &QAction::triggered, this, &TFormDBChose::ActionNewExecute);
    connect(actionEdit, &QAction::triggered, this, &TFormDBChose::ActionEditExecute);
    connect(actionDelete, &QAction::triggered, this, &TFormDBChose::ActionDeleteExecute);
    connect(actionLogin, &QAction::triggered, this, &TFormDBChose::ActionLoginExecute);
    connect(grid, &QTableWidget::cellDoubleClicked, actionEdit, &QAction::trigger);
}

void TFormDBChose::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    LoadBanner(banner, QStringLiteral("Res/DBChose.bmp"));
    ListLedgers();
    grid->setFocus();
}

void TFormDBChose::ListLedgers()
{
    const qint64 previous = selectedIndex();
    grid->setRowCount(0);
    ADOQueryGrid.close();
    if (!Ledgers::RefreshLedgerStates())
        return;
    if (!RunQuery(ADOQueryGrid, Ledgers::ListingSql(), Texts::DatabaseOpenFailed))
        return;

    FillListGrid(grid, ADOQueryGrid, Columns, QStringLiteral("SoftDataIndex"),
        previous > 0 ? QVariant(previous) : QVariant(), [](int column, const QVariant &value) {
            return column == 0 ? ShortDateText(DateFromStored(value)) : value.toString();
        });
    // The state as the files are now, also when the registry could not store it.
    for (int row = 0; row < grid->rowCount(); ++row)
        grid->item(row, 3)->setText(
            Ledgers::LedgerStateText(ADOQueryGrid.valueAt(row, QStringLiteral("SoftDataPath")).toString()));
}

int TFormDBChose::selectedRow() const
{
    return SelectedListRow(grid, ADOQueryGrid, QStringLiteral("SoftDataIndex"));
}

qint64 TFormDBChose::selectedIndex() const
{
    const int row = selectedRow();
    return row < 0 ? 0 : ADOQueryGrid.valueAt(row, QStringLiteral("SoftDataIndex")).toLongLong();
}

void TFormDBChose::ActionNewExecute()
{
    formDB->Request = LedgerRequest {.Mode = Ledgers::ModeNew};
    if (Platform::ShowModal(formDB) == QDialog::Accepted)
        ListLedgers();
}

void TFormDBChose::ActionEditExecute()
{
    const qint64 index = selectedIndex();
    if (index == 0) {
        Platform::ShowMessage(QStringLiteral("请先选中要修改的记录"));
        return;
    }
    formDB->Request = LedgerRequest {.Mode = Ledgers::ModeEdit, .LedgerIndex = index};
    if (Platform::ShowModal(formDB) == QDialog::Accepted)
        ListLedgers();
}

void TFormDBChose::ActionDeleteExecute()
{
    const qint64 index = selectedIndex();
    if (index == 0) {
        Platform::ShowMessage(QStringLiteral("请先选中要删除的记录"));
        return;
    }
    if (Ledgers::DeleteLedger(index))
        ListLedgers();
}

void TFormDBChose::ActionLoginExecute()
{
    const int row = selectedRow();
    if (row < 0) {
        Platform::ShowMessage(QStringLiteral("请选择要登录的帐套"));
        return;
    }
    const Ledgers::LedgerEntry entry {selectedIndex(),
        ADOQueryGrid.valueAt(row, QStringLiteral("SoftDataName")).toString(),
        ADOQueryGrid.valueAt(row, QStringLiteral("SoftDataPath")).toString(),
        ADOQueryGrid.valueAt(row, QStringLiteral("SoftDataTips")).toString()};
    if (Ledgers::LoginLedger(entry))
        accept();
}
