#include "journal/AskForm.h"

#include "platform/Seams.h"
#include "widgets/FormParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TFormAsk::TFormAsk(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormAsk"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    promptLabel = new QLabel(this);
    promptLabel->setObjectName(QStringLiteral("Label1"));
    textEdit = new QLineEdit(this);
    textEdit->setObjectName(QStringLiteral("Edit1"));
    KeepWholeText(textEdit);
    // Names are typed here, never passwords: shown as typed.
    textEdit->setEchoMode(QLineEdit::Normal);
    promptLabel->setBuddy(textEdit);

    okButton = new QPushButton(QStringLiteral("确定"), this);
    okButton->setObjectName(QStringLiteral("BitBtn1"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("取消"), this);
    cancelButton->setObjectName(QStringLiteral("BitBtn2"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addWidget(textEdit);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    setTabOrder(textEdit, okButton);
    setTabOrder(okButton, cancelButton);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormAsk::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    setWindowTitle(Request.Title);
    promptLabel->setText(Request.Prompt);
    textEdit->setText(Request.Text);
    textEdit->selectAll();
    textEdit->setFocus();
}

bool TFormAsk::Ask(const QString &title, const QString &prompt, QString &text)
{
    Request = AskRequest {.Title = title, .Prompt = prompt, .Text = text};
    if (Platform::ShowModal(this) != QDialog::Accepted)
        return false;
    text = textEdit->text();
    return true;
}
