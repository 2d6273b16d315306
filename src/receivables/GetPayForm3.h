#pragma once

// The filter dialog "应收应付记录筛选": narrows the receivables or the payables grid by customer,
// a date range, reason, salesman and remark. Each grid keeps its own filter for the whole run;
// an OK rebuilds the filter of the dialog's kind from scratch, so an OK with every input empty
// removes it. Cancel leaves both filters alone.

#include "storage/Sql.h"

#include <QDialog>
#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QShowEvent;

struct FilterRequest {
    QString FilterKind; // "应收" or "应付"
};

class TFormGetPay3 : public QDialog
{
    Q_OBJECT
public:
    explicit TFormGetPay3(QWidget *parent = nullptr);

    FilterRequest Request;

    // Outputs: the conditions of the receivables and of the payables, each beginning with
    // " And " or empty.
    Sql GetFilter;
    Sql PayFilter;
    const Sql &filterFor(const QString &kind) const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ActionYesExecute();

    QComboBox *customerCombo = nullptr; // ComboBox1
    QComboBox *reasonCombo = nullptr; // ComboBox2
    QComboBox *manCombo = nullptr; // ComboBox3
    QCheckBox *dateRange = nullptr; // CheckBox1
    QDateEdit *fromDate = nullptr; // DateTimePicker1
    QDateEdit *toDate = nullptr; // DateTimePicker2
    QLineEdit *remarkEdit = nullptr; // Edit3
    QAction *actionYes = nullptr;
    QAction *actionNo = nullptr;
};
