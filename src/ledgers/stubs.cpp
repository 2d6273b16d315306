#include "ledgers/DBChoseForm.h"
#include "ledgers/DBForm.h"
#include "ledgers/LoginForm.h"

#include <QShowEvent>

TFormDB::TFormDB(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormDB"));
    setWindowTitle(QStringLiteral("软件帐套管理"));
}
void TFormDB::showEvent(QShowEvent *event) { QDialog::showEvent(event); }
void TFormDB::ActionYesExecute() {}
void TFormDB::NameChanged(const QString &) {}

TFormDBChose::TFormDBChose(TFormDB *ledgerDialog, QWidget *parent)
    : QDialog(parent), formDB(ledgerDialog)
{
    setObjectName(QStringLiteral("TFormDBChose"));
    setWindowTitle(QStringLiteral("翎溪财务软件 → 帐套选择"));
}
void TFormDBChose::ListLedgers() {}
void TFormDBChose::showEvent(QShowEvent *event) { QDialog::showEvent(event); }
qint64 TFormDBChose::selectedIndex() const { return 0; }
void TFormDBChose::ActionNewExecute() {}
void TFormDBChose::ActionEditExecute() {}
void TFormDBChose::ActionDeleteExecute() {}
void TFormDBChose::ActionLoginExecute() {}

TFormLogin::TFormLogin(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormLogin"));
    setWindowTitle(QStringLiteral("使用软件请用出纳登录，设置软件请用管理员登录，初始密码均不用输"));
}
void TFormLogin::setOnlineServiceDialog(QDialog *dialog) { onlineService = dialog; }
void TFormLogin::showEvent(QShowEvent *event) { QDialog::showEvent(event); }
void TFormLogin::ActionLoginExecute() {}
void TFormLogin::ActionInstructionExecute() {}
void TFormLogin::OpenOnlineService() {}
