#pragma once

// The user list: shows the users of the open ledger with their passwords and rights, changes
// one through the user dialog and deletes one. The 新增用户 button belongs to the multi-user
// edition and stays hidden in this one.

#include "storage/Query.h"

#include <QDialog>

class QAction;
class QShowEvent;
class QTableWidget;
class TFormPower2;

class TFormPower : public QDialog
{
    Q_OBJECT
public:
    explicit TFormPower(QWidget *parent = nullptr);

    // The dialog 修改用户 opens (created after this one).
    void setUserDialog(TFormPower2 *dialog) { formPower2 = dialog; }

    // Requeries the users and refills the grid, keeping the selected user where possible.
    void ListUsers();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The selected row of the grid query, or -1 when no user is selected.
    int selectedRow() const;
    void ActionEditExecute();
    void ActionDeleteExecute();

    TFormPower2 *formPower2 = nullptr;
    Query ADOQueryGrid;
    QTableWidget *grid = nullptr; // DBGridEh3
    QAction *actionNew = nullptr;
    QAction *actionEdit = nullptr;
    QAction *actionDelete = nullptr;
    QAction *actionCancel = nullptr;
};
