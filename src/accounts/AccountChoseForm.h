#pragma once

// The statistics scope: a set of accounts and a date range for the month summary. Both check
// boxes and both dates keep their state between shows (the dates start at the month of the day
// the program started); the list is rebuilt at every show from the accounts in view, with
// nothing selected. The caller reads the choice after OK.

#include <QDate>
#include <QDialog>
#include <QStringList>

class QCheckBox;
class QDateEdit;
class QListWidget;
class QShowEvent;

class TFormAccountChose : public QDialog
{
    Q_OBJECT
public:
    explicit TFormAccountChose(QWidget *parent = nullptr);

    // "帐户范围" ticked: only the selected accounts count.
    bool accountRange() const;
    // The selected names in list order.
    QStringList selectedAccounts() const;
    // "日期范围" ticked: the two dates give the range.
    bool dateRange() const;
    QDate startDate() const;
    QDate endDate() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    QCheckBox *accountBox = nullptr; // CheckBox1
    QListWidget *accountList = nullptr; // ListBox1
    QCheckBox *dateBox = nullptr; // CheckBox2
    QDateEdit *startEdit = nullptr; // DateTimePicker1
    QDateEdit *endEdit = nullptr; // DateTimePicker2
};
