#pragma once

// The account action dialog, opened by a click on an account panel: the account's name and
// balance, and for that one account a new income or expense, a transfer from it, its entries of
// the current month on the report tab, or its editing. Which actions show follows the user's
// rights at every show.
//
// Created once and reused. A caller assigns a whole Request, then shows the dialog with
// Platform::ShowModal; it always closes with Cancel.

#include <QDate>
#include <QDialog>
#include <QString>

class QAction;
class QLabel;
class QShowEvent;
class TFormAccount;
class TFormDraw;
class TFormGetPay;
struct SessionValues;

struct AccountActionRequest {
    QString AccountName; // the panel's name label
    QString BalanceText; // the panel's balance label, " 元" included
};

class TFormAccount2 : public QDialog
{
    Q_OBJECT
public:
    TFormAccount2(TFormGetPay *entryForm, TFormDraw *transferForm, TFormAccount *accountDialog,
        QWidget *parent = nullptr);

    AccountActionRequest Request;

signals:
    // 当月记录 has set the report conditions: the report grid is to be refreshed and its tab
    // brought to the front.
    void monthRecordsRequested();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void newEntry(const QString &kind);
    void transfer();
    void monthRecords();
    void editAccount();

    TFormGetPay *entryForm;
    TFormDraw *transferForm;
    TFormAccount *accountDialog;
    QLabel *nameLabel = nullptr;
    QLabel *balanceLabel = nullptr;
    QAction *actionGet = nullptr;
    QAction *actionPay = nullptr;
    QAction *actionDraw = nullptr;
    QAction *actionSearch = nullptr;
    QAction *actionEditAccount = nullptr;
};

namespace Accounts {
// The report conditions of one account's entries in the month of day: the month's range, the
// account by name, and the month's first day as the start date.
void SetMonthRecordConditions(SessionValues &session, const QString &accountName, const QDate &day);
} // namespace Accounts
