#pragma once

// The journal entry form: records a new income or expense entry, shows, changes or deletes an
// existing one, saves a customer name into the customer list, links a new entry to a
// receivable or payable of the same customer and prints the entry's bill.
//
// Created once and reused. A caller assigns a whole EntryRequest, then shows the form with
// Platform::ShowModal; the result is Accepted after a save or a delete. The form clears
// FixedAccountName and the five presets after the show that used them, and sets EntryGetPay to 0
// whenever it closes.

#include "journal/EntryStore.h"

#include <QDialog>
#include <QString>

class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;
class TFormGetPay4;

// The inputs of one show of the entry form:
//
//   main window 收入/支出   EntryMode "新增", EntryKind
//   daily journal, report   EntryMode "修改", EntryKind = the row's MoneyKind, EntryIndex
//   account dialog          "新增", kind, FixedAccountName = its account
//   receivable dialog       "新增", kind of the record, EntryGetPay = its GetPayIndex,
//                           PresetUser/PresetReason/PresetMan from it; or "修改" with EntryIndex
struct EntryRequest {
    QString EntryMode {}; // "新增" for a new entry; anything else ("修改") opens EntryIndex
    QString EntryKind {}; // "财务收入" or "财务支出"
    qint64 EntryIndex = 0; // MoneyIndex of the entry shown, changed, deleted or printed
    qint64 EntryGetPay = 0; // GetPayIndex of the linked record, 0 = none
    QString FixedAccountName {}; // when set: the only account offered, list disabled
    QString PresetUser {};
    QString PresetAmount {};
    QString PresetReason {};
    QString PresetMan {};
    QString PresetRemark {};
};
enum class EntryField;

// 保存客户 of the entry form and the receivable dialog: stores the customer typed in the combo in
// the customer list unless it is there already, refills the list keeping the text, and says so.
void SaveCustomerName(QComboBox *customerCombo);

class TFormGetPay : public QDialog
{
    Q_OBJECT
public:
    explicit TFormGetPay(QWidget *parent = nullptr);

    // The matching dialog offered when a new entry's customer has records to settle.
    void setMatchDialog(TFormGetPay4 *dialog) { matchDialog = dialog; }

    // What the form is asked to do; a caller assigns a whole request before each show.
    EntryRequest Request;

    // The amount of the last bill printed, in capitals ("MoneyCN" of the bill).
    QString AmountInCapitals;

    // The document number proposed for EntryKind on the main window's current day.
    QString MakeMoneySerial() const;
    // Prints the bill of EntryIndex, with the amount of the amount box in capitals.
    void ActionPrintExecute();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool isNewMode() const;
    void FormShow();
    bool loadEntry();
    void loadLists();
    // The checks of a save; the account's index and the amount when they pass.
    bool checkEntry(qint64 *accountIndex, double *amount);
    void focusField(EntryField field);
    // Offers the matching dialog, writes the row and prints the bill if the settings say so.
    bool insertEntry(qint64 accountIndex, double amount);
    EntryRow rowFromControls(qint64 accountIndex, double amount) const;
    void BitBtn1Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void Button1Click();

    TFormGetPay4 *matchDialog = nullptr;
    int showCount = 0;

    QLabel *banner = nullptr; // Image1
    QLineEdit *serialEdit = nullptr; // Edit4
    QComboBox *accountCombo = nullptr; // ComboBox1
    QComboBox *customerCombo = nullptr; // ComboBox5
    QPushButton *saveCustomerButton = nullptr; // Button1
    QDateEdit *dateEdit = nullptr; // DateTimePicker1
    QLineEdit *amountEdit = nullptr; // Edit2
    QComboBox *reasonCombo = nullptr; // ComboBox2
    QComboBox *manCombo = nullptr; // ComboBox6
    QComboBox *typeCombo = nullptr; // ComboBox3
    QComboBox *tokenCombo = nullptr; // ComboBox4
    QLineEdit *remarkEdit = nullptr; // Edit3
    QPushButton *saveButton = nullptr; // BitBtn1
    QPushButton *cancelButton = nullptr; // BitBtn2
    QPushButton *deleteButton = nullptr; // BitBtn3
    QPushButton *nextButton = nullptr; // BitBtn4
    QPushButton *printButton = nullptr; // PrintButton
    QAction *actionPrint = nullptr;
};
