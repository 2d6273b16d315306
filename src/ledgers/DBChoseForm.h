#pragma once

// The ledger chooser: lists the registered ledgers with their file state, creates, edits and
// deletes registry entries, and logs into one. It closes with Accepted only after a successful
// login: the shared connection is then on that ledger, Session().LedgerCaption is set and the
// setting LoginDatabase written.

#include "storage/Query.h"

#include <QDialog>

class QAction;
class QLabel;
class QShowEvent;
class QTableWidget;
class TFormDB;

class TFormDBChose : public QDialog
{
    Q_OBJECT
public:
    TFormDBChose(TFormDB *ledgerDialog, QWidget *parent = nullptr);

    // Refreshes every entry's state (正常/丢失) and refills the grid.
    void ListLedgers();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The selected row of the grid query, or -1 when none is selected.
    int selectedRow() const;
    // SoftDataIndex of the selected row, or 0 when no row is selected.
    qint64 selectedIndex() const;
    void ActionNewExecute();
    void ActionEditExecute();
    void ActionDeleteExecute();
    void ActionLoginExecute();

    TFormDB *formDB;
    Query ADOQueryGrid;
    QTableWidget *grid = nullptr; // DBGridEh1
    QLabel *banner = nullptr;
    QAction *actionNew = nullptr;
    QAction *actionEdit = nullptr;
    QAction *actionDelete = nullptr;
    QAction *actionLogin = nullptr;
};
