#pragma once

// The account search: a part of the name and a part of the remark that the accounts shown on
// the panels must contain. OK builds the condition from the two boxes (both must hold; two
// empty boxes remove the narrowing) and closes; Cancel changes nothing.

#include "storage/Sql.h"

#include <QDialog>

class QLineEdit;
class QShowEvent;

class TFormAccountSearch : public QDialog
{
    Q_OBJECT
public:
    explicit TFormAccountSearch(QWidget *parent = nullptr);

    // The condition of the last OK (" And …" or empty), for the account query of the panels.
    Sql AccountSearchFragment;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ActionYesExecute();

    QLineEdit *nameEdit = nullptr; // Edit1
    QLineEdit *remarkEdit = nullptr; // Edit2
};

namespace Accounts {
// The accounts whose name contains name and whose remark contains remark; an empty text puts no
// condition on its column.
Sql AccountSearchCondition(const QString &name, const QString &remark);
} // namespace Accounts
