#pragma once

// The administrator's "软件设置" tab: user management, the six pick lists and the setting groups.

#include "app/SettingChoices.h"
#include "widgets/MainPage.h"

#include <QList>

class ParameterLists;
class TFormAsk;
class TFormPower;

class SettingsPage : public MainPage
{
    Q_OBJECT
public:
    SettingsPage(TFormPower *userDialog, TFormAsk *askDialog, QWidget *parent = nullptr);

    ParameterLists *pickLists() const { return lists; }
    // The stored choices, selected in the setting groups.
    void LoadSettingsCombos();

private:
    ParameterLists *lists = nullptr;
    QList<SettingChoiceGroup *> groups;
};
