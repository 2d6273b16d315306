#pragma once

// The choices of the settings page: each is a pick-only list of two texts stored under one key
// of section "Quillbrook3", with a 确定 button that stores it and confirms with a message.

#include <QList>
#include <QString>

struct SettingChoice {
    QString key;
    QString combo; // object name of the list
    QString button; // object name of its 确定 button
    QString group; // title of the group box that holds both
    QString item0; // also the reader's default
    QString item1;
    QString messagePrefix;
};

// In the order the page shows them; the last one sits on the maintenance tab.
const QList<SettingChoice> &SettingChoices();

// Item 0 when the stored value equals the default, item 1 for anything else.
int SettingComboIndex(const SettingChoice &choice, const QString &storedValue);

namespace SettingTexts {
inline const QString LoginModeChooser = QStringLiteral("软件启动时首先弹出帐套选择框");
inline const QString LoginModeAutomatic = QStringLiteral("自动登录到上次登录的软件帐套");
} // namespace SettingTexts
