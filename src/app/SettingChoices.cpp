#include "app/SettingChoices.h"

#include "platform/Seams.h"
#include "storage/PublicFunction.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

const QList<SettingChoice> &SettingChoices()
{
    static const QList<SettingChoice> choices = {
        {Settings::ScreenPixel, QStringLiteral("ComboBox1"), QStringLiteral("Button10"),
            QStringLiteral("软件显示模式设置"), QStringLiteral("1024 * 768"), QStringLiteral("1440 * 900"),
            QStringLiteral("显示模式设置为：")},
        {Settings::BillPrint, QStringLiteral("ComboBox8"), QStringLiteral("Button11"),
            QStringLiteral("财务单据打印设置"), QStringLiteral("开单后手动打印"),
            QStringLiteral("开单时自动打印"), QStringLiteral("单据打印模式设置为：")},
        {Settings::PrintType, QStringLiteral("ComboBox4"), QStringLiteral("Button12"),
            QStringLiteral("报表打印方式设置"), QStringLiteral("纵向打印"), QStringLiteral("横向打印"),
            QStringLiteral("报表打印方式设置为：")},
        {Settings::SerialScheme, QStringLiteral("ComboBox7"), QStringLiteral("Button26"),
            QStringLiteral("财务单据编号生成"), QStringLiteral("按日期生成编号"),
            QStringLiteral("按数字生成编号"), QStringLiteral("编号自动生成方式设置为：")},
        {Settings::BatchEntry, QStringLiteral("ComboBox9"), QStringLiteral("Button19"),
            QStringLiteral("财务批量开单功能"), QStringLiteral("关闭"), QStringLiteral("开启"),
            QStringLiteral("财务批量开单功能设置为：")},
        {Settings::LoginMode, QStringLiteral("ComboBox5"), QStringLiteral("Button21"),
            QStringLiteral("帐套登录设置"), SettingTexts::LoginModeChooser, SettingTexts::LoginModeAutomatic,
            QStringLiteral("登录方式设置为：")},
    };
    return choices;
}

int SettingComboIndex(const SettingChoice &choice, const QString &storedValue)
{
    return storedValue == choice.item0 ? 0 : 1;
}

SettingChoiceGroup::SettingChoiceGroup(const SettingChoice &choice, QWidget *parent)
    : QGroupBox(choice.group, parent), choice(choice)
{
    combo = new QComboBox(this);
    combo->setObjectName(choice.combo);
    combo->setEditable(false);
    combo->addItems({choice.item0, choice.item1});
    combo->setAccessibleName(choice.group);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(choice.button);
    ok->setAccessibleDescription(choice.group);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(combo, 1);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &SettingChoiceGroup::StoreChoice);
}

void SettingChoiceGroup::LoadStoredChoice()
{
    combo->setCurrentIndex(SettingComboIndex(choice, ReadSetting(choice.setting, choice.item0)));
}

void SettingChoiceGroup::StoreChoice()
{
    const QString text = combo->currentText();
    // A failed write has shown its reason; the list goes back to what is stored.
    if (!WriteSetting(choice.setting, text)) {
        LoadStoredChoice();
        return;
    }
    Platform::ShowMessage(choice.messagePrefix + text);
}
