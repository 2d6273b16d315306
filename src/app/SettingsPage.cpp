#include "app/SettingsPage.h"

#include "journal/ParameterLists.h"
#include "ledgers/PowerForm.h"
#include "platform/Seams.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QGroupBox>

SettingsPage::SettingsPage(TFormPower *userDialog, TFormAsk *askDialog, QWidget *parent)
    : MainPage(QStringLiteral("软件设置"), QStringLiteral("TabSheet5"), parent)
{
    // Left: user management above the six pick lists; right: the setting groups.
    auto *users = new QGroupBox(QStringLiteral("用户管理权限设置"), this);
    users->setGeometry(8, 8, 424, 60);
    QAction *actionPower = NewAction(this, "ActionPower", QStringLiteral("权限设置"));
    connect(actionPower, &QAction::triggered, this, [userDialog] { Platform::ShowModal(userDialog); });
    MakeToolButton(users, "PowerButton", actionPower, QRect(12, 22, 120, 26));
    int top = 8;
    for (const SettingChoice &choice : SettingChoices()) {
        if (choice.setting.key == Settings::LoginMode.key)
            continue;
        auto *group = new SettingChoiceGroup(choice, this);
        group->setGeometry(440, top, 224, 60);
        groups.append(group);
        top += 66;
    }
    lists = new ParameterLists(this, QRect(8, 80, 424, 436), [askDialog] { return askDialog; });
}

void SettingsPage::LoadSettingsCombos()
{
    for (SettingChoiceGroup *group : groups)
        group->LoadStoredChoice();
}
