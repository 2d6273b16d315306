#pragma once

// The report builder: document kind and transfers, a time range, an amount range, a document
// number, accounts and reasons chosen from lists, type, voucher, customer, salesman and remark.
// OK turns the choices into the session's report conditions (ReportCondition,
// ReportAccountCondition, ReportStartDate) and closes; Cancel leaves them as they were.
//
// Created once and reused; every show starts from the current month with nothing chosen, except
// the two document lists, which keep their last choice.

#include "reports/ReportQuery.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QShowEvent;

class TFormMakeReport : public QDialog
{
    Q_OBJECT
public:
    explicit TFormMakeReport(QWidget *parent = nullptr);

    // What the controls hold now.
    ReportChoices choices() const;
    // The account-book picture shown, relative to ProgramDir (empty before the first show).
    QString bookPicture() const { return pictureFile; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    bool fillList(QListWidget *list, const Sql &sql, const QString &column, const QString &failMessage);
    void BitBtn1Click();

    QString pictureFile;

    QLabel *bookImage = nullptr; // Image1
    QComboBox *documentKind = nullptr; // ComboBox5
    QComboBox *transferKind = nullptr; // ComboBox1
    QCheckBox *timeRange = nullptr; // CheckBox1
    QDateEdit *startDate = nullptr; // DateTimePicker1
    QDateEdit *endDate = nullptr; // DateTimePicker2
    QCheckBox *amountRange = nullptr; // CheckBox2
    QLineEdit *lowerBound = nullptr; // Edit2
    QLineEdit *upperBound = nullptr; // Edit4
    QLineEdit *serialEdit = nullptr; // Edit5
    QListWidget *accountList = nullptr; // ListBox1
    QListWidget *reasonList = nullptr; // ListBox2
    QComboBox *customerCombo = nullptr; // ComboBox6
    QComboBox *typeCombo = nullptr; // ComboBox3
    QComboBox *voucherCombo = nullptr; // ComboBox4
    QComboBox *salesmanCombo = nullptr; // ComboBox7
    QLineEdit *remarkEdit = nullptr; // Edit3
    QPushButton *okButton = nullptr; // BitBtn1
    QPushButton *cancelButton = nullptr; // BitBtn2
};
