#include "app/MaintenancePage.h"

#include "app/SettingChoices.h"
#include "ledgers/AutoBackup.h"
#include "ledgers/LedgerBackup.h"
#include "platform/Seams.h"
#include "printing/DesignerForm.h"
#include "storage/PublicFunction.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

MaintenancePage::MaintenancePage(QAction *actionSave, QWidget *parent)
    : MainPage(QStringLiteral("数据维护"), QStringLiteral("TabSheet6"), parent)
{
    auto *ledgerData = new QGroupBox(QStringLiteral("帐套数据操作"), this);
    ledgerData->setGeometry(8, 80, 400, 60);
    QAction *actionLoad = NewAction(this, "ActionLoad", QStringLiteral("恢复数据"));
    // A restored ledger is read afresh at the next start.
    connect(actionLoad, &QAction::triggered, this, [this] {
        if (Ledgers::RestoreLedger(window()))
            window()->close();
    });
    MakeToolButton(ledgerData, "SaveButton", actionSave, QRect(12, 22, 120, 26));
    MakeToolButton(ledgerData, "LoadButton", actionLoad, QRect(140, 22, 120, 26));
    for (const SettingChoice &choice : SettingChoices())
        if (choice.setting.key == Settings::LoginMode.key) {
            loginMode = new SettingChoiceGroup(choice, this);
            loginMode->setGeometry(8, 150, 400, 60);
        }

    buildAutoBackupGroup();

    auto *design = new QGroupBox(QStringLiteral("单据设计"), this);
    design->setGeometry(8, 290, 400, 60);
    QAction *actionDesign = NewAction(this, "ActionDesign", QStringLiteral("单据设计"));
    connect(actionDesign, &QAction::triggered, this, [this] { OpenTemplateDesigner(window()); });
    MakeToolButton(design, "DesignButton", actionDesign, QRect(12, 22, 120, 26));
}

// The check box is stored as it changes; the number of copies with its 确定, as the lists are.
void MaintenancePage::buildAutoBackupGroup()
{
    auto *group = new QGroupBox(QStringLiteral("自动备份"), this);
    group->setGeometry(8, 220, 400, 60);
    autoBackup = new QCheckBox(QStringLiteral("登录时自动备份"), group);
    autoBackup->setObjectName(QStringLiteral("CheckBoxAutoBackup"));
    auto *copiesLabel = MakeLabel(group, QStringLiteral("保留份数："));
    backupCopies = new QSpinBox(group);
    backupCopies->setObjectName(QStringLiteral("SpinEditBackupCopies"));
    backupCopies->setRange(Ledgers::MinAutoBackupCopies, Ledgers::MaxAutoBackupCopies);
    copiesLabel->setBuddy(backupCopies);
    auto *ok = MakeButton(group, "ButtonBackupCopies", QStringLiteral("确定"));
    ok->setAccessibleDescription(QStringLiteral("自动备份保留份数"));
    auto *row = new QHBoxLayout(group);
    row->addWidget(autoBackup);
    row->addStretch(1);
    row->addWidget(copiesLabel);
    row->addWidget(backupCopies);
    row->addWidget(ok);
    connect(autoBackup, &QCheckBox::clicked, this, [this](bool on) {
        // A failed write has shown its reason; the box goes back to what is stored.
        if (!WriteSetting(Settings::AutoBackup, on ? QStringLiteral("1") : QStringLiteral("0"))) {
            autoBackup->setChecked(Ledgers::AutoBackupSwitchedOn());
            return;
        }
        Platform::ShowMessage(QStringLiteral("登录时自动备份设置为：")
            + (on ? QStringLiteral("开启") : QStringLiteral("关闭")));
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        const QString copies = QString::number(backupCopies->value());
        if (!WriteSetting(Settings::AutoBackupCopies, copies))
            return;
        Platform::ShowMessage(QStringLiteral("自动备份保留份数设置为：") + copies);
    });
}

void MaintenancePage::LoadSettingsCombos()
{
    if (loginMode)
        loginMode->LoadStoredChoice();
    autoBackup->setChecked(Ledgers::AutoBackupSwitchedOn());
    backupCopies->setValue(Ledgers::AutoBackupCopiesToKeep());
}
