#include "app/SettingsPage.h"

const QList<SettingChoice> &SettingChoices()
{
    static const QList<SettingChoice> choices = {
        {QStringLiteral("ScreenPixel"), QStringLiteral("ComboBox1"), QStringLiteral("Button10"),
            QStringLiteral("软件显示模式设置"), QStringLiteral("1024 * 768"), QStringLiteral("1440 * 900"),
            QStringLiteral("显示模式设置为：")},
        {QStringLiteral("BillPrint"), QStringLiteral("ComboBox8"), QStringLiteral("Button11"),
            QStringLiteral("财务单据打印设置"), QStringLiteral("开单后手动打印"),
            QStringLiteral("开单时自动打印"), QStringLiteral("单据打印模式设置为：")},
        {QStringLiteral("PrintType"), QStringLiteral("ComboBox4"), QStringLiteral("Button12"),
            QStringLiteral("报表打印方式设置"), QStringLiteral("纵向打印"), QStringLiteral("横向打印"),
            QStringLiteral("报表打印方式设置为：")},
        {QStringLiteral("MoneyIndex"), QStringLiteral("ComboBox7"), QStringLiteral("Button26"),
            QStringLiteral("财务单据编号生成"), QStringLiteral("按日期生成编号"),
            QStringLiteral("按数字生成编号"), QStringLiteral("编号自动生成方式设置为：")},
        {QStringLiteral("批量开单功能"), QStringLiteral("ComboBox9"), QStringLiteral("Button19"),
            QStringLiteral("财务批量开单功能"), QStringLiteral("关闭"), QStringLiteral("开启"),
            QStringLiteral("财务批量开单功能设置为：")},
        {QStringLiteral("LoginMode"), QStringLiteral("ComboBox5"), QStringLiteral("Button21"),
            QStringLiteral("帐套登录设置"), SettingTexts::LoginModeChooser, SettingTexts::LoginModeAutomatic,
            QStringLiteral("登录方式设置为：")},
    };
    return choices;
}

int SettingComboIndex(const SettingChoice &choice, const QString &storedValue)
{
    return storedValue == choice.item0 ? 0 : 1;
}
