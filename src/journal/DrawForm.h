#pragma once

// The transfer form: moves an amount from one account to another on a chosen day, written as
// an expense on the source and an income on the target, after asking when the source would be
// overdrawn at the end of that day.
//
// Created once and reused. A caller assigns a whole Request, then shows the form with
// Platform::ShowModal; the result is Accepted after a transfer. The form clears the request at
// the show that used it:
//
//   main window 平调        OpenTransfer(form), which assigns an empty request
//   account dialog 平调     form->Request = DrawRequest{that account's name}

#include <QDialog>
#include <QString>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QShowEvent;
enum class TransferField;

struct DrawRequest {
    // When set: the only source offered, its list disabled.
    QString FixedOutAccountName;
};

class TFormDraw : public QDialog
{
    Q_OBJECT
public:
    explicit TFormDraw(QWidget *parent = nullptr);

    DrawRequest Request;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void focusField(TransferField field);
    void BitBtn1Click();

    QComboBox *sourceCombo = nullptr; // ComboBox1
    QComboBox *targetCombo = nullptr; // ComboBox2
    QLineEdit *amountEdit = nullptr; // Edit2
    QDateEdit *dateEdit = nullptr; // DateTimePicker1
    QLineEdit *remarkEdit = nullptr; // Edit3
    QPushButton *transferButton = nullptr; // BitBtn1
    QPushButton *cancelButton = nullptr; // BitBtn2
};

// The main window's 平调: refused while the account book reads "all accounts" ("AccountType"
// "7", whose lists mix every type); otherwise the form is shown with an empty request. True
// when a transfer was made.
bool OpenTransfer(TFormDraw *form);
