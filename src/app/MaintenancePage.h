#pragma once

// The administrator's "数据维护" tab: backup and restore of the ledger, the automatic backup,
// the login mode and the template designer.

#include "widgets/MainPage.h"

class QAction;
class QCheckBox;
class QSpinBox;
class SettingChoiceGroup;

class MaintenancePage : public MainPage
{
    Q_OBJECT
public:
    // actionSave is the work panel's 备份数据, which this page offers too.
    explicit MaintenancePage(QAction *actionSave, QWidget *parent = nullptr);

    // The stored login mode and automatic backup, shown in their groups.
    void LoadSettingsCombos();

private:
    void buildAutoBackupGroup();

    SettingChoiceGroup *loginMode = nullptr;
    QCheckBox *autoBackup = nullptr; // CheckBoxAutoBackup
    QSpinBox *backupCopies = nullptr; // SpinEditBackupCopies
};
