#include "ledgers/LoginForm.h"

#include "ledgers/UserLogin.h"
#include "platform/DesktopOpener.h"
#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

TFormLogin::TFormLogin(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormLogin"));
    setWindowTitle(QStringLiteral("使用软件请用出纳登录，设置软件请用管理员登录，初始密码均不用输"));

    banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Image1"));
    banner->setAccessibleName(QStringLiteral("软件登录"));

    userCombo = new QComboBox(this);
    userCombo->setObjectName(QStringLiteral("ComboBox1"));
    userCombo->setEditable(false);
    passwordEdit = new HashPasswordEdit(this);
    passwordEdit->setObjectName(QStringLiteral("Edit1"));

    auto *form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("用户名称："), userCombo, this), userCombo);
    form->addRow(BuddyLabel(QStringLiteral("登录密码："), passwordEdit, this), passwordEdit);

    actionLogin = NewAction(this, "ActionLogin", QStringLiteral("软件登录"));
    actionCancel = NewAction(this, "ActionCancel", QStringLiteral("关闭窗口"));
    actionInstruction = NewAction(this, "ActionInstruction", QStringLiteral("使用说明"));
    actionOnlineService = NewAction(this, "ActionOnlineService", QStringLiteral("在线服务"));
    actionOnlineService->setVisible(false);
    QPushButton *loginButton = ActionButton(actionLogin, this);
    QPushButton *cancelButton = ActionButton(actionCancel, this);
    QPushButton *helpButton = ActionButton(actionInstruction, this);
    loginButton->setDefault(true);

    onlineLink = new QLabel(QStringLiteral("<a href=\"online\">在线服务</a>"), this);
    onlineLink->setObjectName(QStringLiteral("LabelOnlineService"));
    onlineLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    onlineLink->setAccessibleName(QStringLiteral("在线服务"));
    onlineLink->setVisible(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(loginButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    buttons->addStretch();
    buttons->addWidget(onlineLink);

    noticeView = new QTextBrowser(this);
    noticeView->setObjectName(QStringLiteral("WebBrowser1"));
    noticeView->setAccessibleName(QStringLiteral("软件公告"));
    // Web addresses go to the desktop's browser; local pages open in place.
    noticeView->setOpenLinks(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(noticeView, 1);
    resize(560, 480);

    setTabOrder(userCombo, passwordEdit);
    setTabOrder(passwordEdit, loginButton);
    setTabOrder(loginButton, cancelButton);
    setTabOrder(cancelButton, helpButton);
    setTabOrder(helpButton, onlineLink);
    setTabOrder(onlineLink, noticeView);

    connect(actionLogin, &QAction::triggered, this, &TFormLogin::ActionLoginExecute);
    connect(actionCancel, &QAction::triggered, this, &QDialog::reject);
    connect(actionInstruction, &QAction::triggered, this, &TFormLogin::ActionInstructionExecute);
    connect(actionOnlineService, &QAction::triggered, this, &TFormLogin::OpenOnlineService);
    connect(onlineLink, &QLabel::linkActivated, actionOnlineService, &QAction::trigger);
    connect(noticeView, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        if (url.isRelative() || url.isLocalFile())
            noticeView->setSource(noticeView->source().resolved(url));
        else
            Platform::OpenWithDesktop(url.toString());
    });
}

void TFormLogin::setOnlineServiceDialog(QDialog *dialog)
{
    onlineService = dialog;
    actionOnlineService->setVisible(dialog != nullptr);
    onlineLink->setVisible(dialog != nullptr);
}

void TFormLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    const QString programDir = Session().ProgramDir;
    LoadBanner(banner, QStringLiteral("Res/Login.bmp"));

    const QString page = NoticePagePath(programDir);
    if (Platform::FileExists(page))
        noticeView->setSource(QUrl::fromLocalFile(page));
    else
        noticeView->setHtml(
            QStringLiteral("<p>找不到网页：") + page.toHtmlEscaped() + QStringLiteral("</p>"));

    LoadCombo(userCombo, Sql("Select * From Power"), false, QStringLiteral("PowerName"));
    SelectComboText(userCombo, ReadSetting(Settings::UserName, QStringLiteral("出纳")));
    passwordEdit->clear();
    passwordEdit->setFocus();
}

void TFormLogin::ActionLoginExecute()
{
    if (!LogInUser(userCombo->currentText(), passwordEdit->text()))
        return;
    accept();
    passwordEdit->clear();
}

void TFormLogin::ActionInstructionExecute()
{
    const QString page = HelpPagePath(Session().ProgramDir);
    if (!Platform::FileExists(page)) {
        Platform::ShowError(HelpOpenFailedText(page, HelpOpenFailure::PageMissing));
        return;
    }
    if (!Platform::OpenWithDesktop(page))
        Platform::ShowError(HelpOpenFailedText(page,
            Platform::DesktopOpenerFound() ? HelpOpenFailure::NotOpened : HelpOpenFailure::NoDesktopOpener));
}

void TFormLogin::OpenOnlineService()
{
    if (onlineService)
        Platform::ShowModal(onlineService);
}
