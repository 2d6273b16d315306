#pragma once

// The ask dialog: a title, a prompt and one plain text box preset with a given text. Callers
// use Ask(); the text typed comes back only on OK.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

struct AskRequest {
    QString Title;
    QString Prompt;
    QString Text; // the text the box starts with
};

class TFormAsk : public QDialog
{
    Q_OBJECT
public:
    explicit TFormAsk(QWidget *parent = nullptr);

    // Shows the dialog modally with text preset. True on OK, with the typed text in text;
    // on Cancel text is left as it was.
    bool Ask(const QString &title, const QString &prompt, QString &text);

    // Inputs read when the dialog is shown (Ask sets them).
    // What the shown dialog asks; Ask assigns it whole.
    AskRequest Request;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *promptLabel = nullptr; // Label1
    QLineEdit *textEdit = nullptr; // Edit1
    QPushButton *okButton = nullptr; // BitBtn1
    QPushButton *cancelButton = nullptr; // BitBtn2
};
