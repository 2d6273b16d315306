#pragma once

// The record dialog "应收应付管理": creates or edits one receivable ("应收") or payable ("应付")
// record, saves a customer name, and adds, changes and deletes the journal entries that settle
// the record, through the entry form.
//
// Created once and reused. A caller assigns a whole RecordRequest, shows the dialog with
// Platform::ShowModal and refreshes its grid when RecordChanged is set afterwards. A new record
// is provisional until 确定: the first 新增 of an entry stores it, and a cancel takes it back
// together with the entries added meanwhile.

#include <QDialog>
#include <QString>

class DataGrid;
class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;
class TFormGetPay;
struct GetPayRow;

struct RecordRequest {
    QString RecordMode; // "新增" (a new record) or "修改"
    QString RecordKind; // "应收" or "应付"
    // The record's GetPayIndex; in new mode 1 (the reserved row) until the record is stored.
    qint64 RecordIndex = 1;
};

class TFormGetPay2 : public QDialog
{
    Q_OBJECT
public:
    explicit TFormGetPay2(QWidget *parent = nullptr);

    // The entry form that 新增 and 修改 open.
    void setEntryForm(TFormGetPay *form) { entryForm = form; }

    RecordRequest Request;
    // Output: something was stored or deleted while the dialog was open.
    bool RecordChanged = false;

    // Shows the record's amounts and the entries that settle it.
    void ShowGetPayRecord();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool isNewMode() const;
    bool hasStoredRecord() const { return Request.RecordIndex != 1; }
    void FormShow();
    bool loadRecord();
    // The three figures and what a screen reader says of them.
    void showFigures(const QString &due, const QString &settled, const QString &outstanding);
    // The amount's checks; the amount when they pass (after the message and the focus when not).
    bool checkAmount(double *amount);
    GetPayRow rowFromControls(double amount, double settled) const;
    void ActionYesExecute();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void takeBackNewRecord();
    // The MoneyIndex of the entry list's current row, or 0.
    qint64 currentEntry() const;

    TFormGetPay *entryForm = nullptr;
    int showCount = 0;

    QLabel *banner = nullptr; // Image1
    QDateEdit *dateEdit = nullptr; // DateTimePicker1
    QComboBox *customerCombo = nullptr; // ComboBox1
    QPushButton *saveCustomerButton = nullptr; // Button1
    QLabel *amountLabel = nullptr; // Label1
    QLineEdit *amountEdit = nullptr; // Edit2
    QComboBox *reasonCombo = nullptr; // ComboBox2
    QLineEdit *remarkEdit = nullptr; // Edit3
    QComboBox *manCombo = nullptr; // ComboBox3
    // The box "统计信息": captions Label2 to Label4, values Label5 to Label7.
    QLabel *dueCaption = nullptr;
    QLabel *settledCaption = nullptr;
    QLabel *outstandingCaption = nullptr;
    QLabel *dueValue = nullptr;
    QLabel *settledValue = nullptr; // blue
    QLabel *outstandingValue = nullptr; // red
    DataGrid *entries = nullptr; // DBGridEh1, over ADOQueryGrid
    QAction *actionYes = nullptr;
    QAction *actionCancel = nullptr;
};
