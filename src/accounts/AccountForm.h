#pragma once

// The account dialog: type, name, opening amount and remark of one account. It writes nothing
// itself except on delete; its two operations, NewAccount and EditAccount, show it and write
// the row.
//
// AccountName doubles as the key: empty shows the dialog for a new account, a name edits that
// account. A successful save overwrites it with the name typed.

#include "accounts/AccountStore.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;

class TFormAccount : public QDialog
{
    Q_OBJECT
public:
    explicit TFormAccount(QWidget *parent = nullptr);

    // The dialog's values (and AccountName its key), read and preset by the callers.
    int AccountType = 0; // 0 none chosen yet, 1 bank, 2 cash
    QString AccountName;
    double AccountBase = 0;
    QString AccountRemark;

    Accounts::AccountValues values() const;

    // The new-account command: shows the dialog for a new account and inserts it under the
    // current user. True when an account was created (RefreshAll has run).
    bool NewAccount();

    enum class EditOutcome {
        Cancelled, // the dialog was cancelled: nothing changed
        NameTaken, // the new name belongs to another account: nothing written
        Failed, // a lookup or the update failed (its message shown)
        Saved, // the account was changed
        Deleted, // the dialog deleted the account and its entries
    };
    // The edit command of the account action dialog for the account of this name. After Saved
    // or Deleted, RefreshAll has run and the account action dialog should close; otherwise it
    // stays open.
    EditOutcome EditAccount(const QString &name);

    // Shows the picture of the dialog's type and sets the two check boxes to match it.
    void ShowAccountType();
    // The picture shown beside the type boxes, relative to ProgramDir.
    QString typePicture() const { return pictureFile; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadForShow();
    void TypeBoxToggled(int type);
    void SaveClick();
    void DeleteClick();

    bool typeGuard = false;
    QString pictureFile;

    QCheckBox *bankBox = nullptr; // CheckBox1
    QCheckBox *cashBox = nullptr; // CheckBox2
    QLabel *typeImage = nullptr; // Image4
    QLineEdit *nameEdit = nullptr; // Edit1
    QLineEdit *amountEdit = nullptr; // Edit2
    QPlainTextEdit *remarkMemo = nullptr; // Memo1
    QPushButton *saveButton = nullptr; // SpeedButton1
    QPushButton *cancelButton = nullptr; // SpeedButton2
    QPushButton *deleteButton = nullptr; // SpeedButton3
};

namespace Accounts {
// The opening amount typed, in the locale's decimal form; false when it is not a number.
bool ParseOpeningAmount(const QString &text, double *amount);
} // namespace Accounts
