#pragma once

// The ledger dialog: creates a registry entry with its file, or edits one (renaming its file
// when the name changes). Shown by the ledger chooser, which sets Mode and LedgerIndex first.

#include <QDialog>
#include <QString>

class QAction;
class QDateEdit;
class QLineEdit;
class QShowEvent;

struct LedgerRequest {
    QString Mode; // "新增" or "修改"
    qint64 LedgerIndex = 0; // SoftDataIndex of the entry in edit mode
};

class TFormDB : public QDialog
{
    Q_OBJECT
public:
    explicit TFormDB(QWidget *parent = nullptr);

    // What the dialog is asked to do; a caller assigns a whole request before each show.
    LedgerRequest Request;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ActionYesExecute();
    void NameChanged(const QString &name);

    QLineEdit *nameEdit = nullptr; // Edit1
    QLineEdit *pathEdit = nullptr; // Edit2
    QLineEdit *remarkEdit = nullptr; // Edit3
    QLineEdit *tipsEdit = nullptr; // Edit4
    QDateEdit *dateEdit = nullptr; // DateTimePicker1
    QAction *actionYes = nullptr;
    QAction *actionCancel = nullptr;
};
