#pragma once

// The login dialog: picks a user of the open ledger and checks the password. Accepted after a
// successful login: Session().CurrentUser and the six rights flags are set and the setting
// UserName is written.

#include <QDialog>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QShowEvent;
class QTextBrowser;

class TFormLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TFormLogin(QWidget *parent = nullptr);

    // The window the 在线服务 link opens.
    void setOnlineServiceDialog(QDialog *dialog);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ActionLoginExecute();
    void ActionInstructionExecute();
    void OpenOnlineService();

    QDialog *onlineService = nullptr;
    QComboBox *userCombo = nullptr; // ComboBox1
    QLineEdit *passwordEdit = nullptr; // Edit1
    QTextBrowser *noticeView = nullptr; // WebBrowser1
    QLabel *banner = nullptr;
    QLabel *onlineLink = nullptr;
    QAction *actionLogin = nullptr;
    QAction *actionCancel = nullptr;
    QAction *actionInstruction = nullptr;
    QAction *actionOnlineService = nullptr;
};
