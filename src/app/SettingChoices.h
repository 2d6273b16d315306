#pragma once

// The choices of the settings and maintenance pages: each is a pick-only list of two texts stored
// under one settings key, with a 确定 button that stores it and confirms with a message.

#include "storage/SettingKeys.h"

#include <QGroupBox>
#include <QList>
#include <QString>

class QComboBox;

struct SettingChoice {
    SettingKey setting;
    QString combo; // object name of the list
    QString button; // object name of its 确定 button
    QString group; // title of the group box that holds both
    QString item0; // also the reader's default
    QString item1;
    QString messagePrefix;
};

// In the order the page shows them; the last one, LoginMode, sits on the maintenance tab.
const QList<SettingChoice> &SettingChoices();

// Item 0 when the stored value equals the default, item 1 for anything else.
int SettingComboIndex(const SettingChoice &choice, const QString &storedValue);

namespace SettingTexts {
inline const QString LoginModeChooser = QStringLiteral("软件启动时首先弹出帐套选择框");
inline const QString LoginModeAutomatic = QStringLiteral("自动登录到上次登录的软件帐套");
} // namespace SettingTexts

// The group box of one choice: its list and its 确定 button.
class SettingChoiceGroup : public QGroupBox
{
    Q_OBJECT
public:
    SettingChoiceGroup(const SettingChoice &choice, QWidget *parent);

    // Selects the stored value: item 0 when it equals the default, item 1 for anything else.
    void LoadStoredChoice();

private:
    // Stores the list's text and confirms it.
    void StoreChoice();

    SettingChoice choice;
    QComboBox *combo = nullptr;
};
