#include "app/MaintenancePage.h"

#include "app/SettingChoices.h"
#include "ledgers/LedgerBackup.h"
#include "printing/DesignerForm.h"
#include "widgets/FormParts.h"

#include <QAction>
#include <QGroupBox>

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

    auto *design = new QGroupBox(QStringLiteral("单据设计"), this);
    design->setGeometry(8, 220, 400, 60);
    QAction *actionDesign = NewAction(this, "ActionDesign", QStringLiteral("单据设计"));
    connect(actionDesign, &QAction::triggered, this, [this] { OpenTemplateDesigner(window()); });
    MakeToolButton(design, "DesignButton", actionDesign, QRect(12, 22, 120, 26));
}

void MaintenancePage::LoadSettingsCombos()
{
    if (loginMode)
        loginMode->LoadStoredChoice();
}
