#pragma once

// Every key of the settings file, named once with its section. Readers still pass their own
// default and read at the moment of use: two readers of one key may rightly differ in default.

#include <QString>

struct SettingKey {
    QString section;
    QString key;
};

namespace SettingSections {
inline const QString Main = QStringLiteral("Quillbrook3");
// Column widths of the daily journal grid and of the report grid, keyed by field name.
inline const QString JournalGrid = QStringLiteral("日记帐簿");
inline const QString ReportGrid = QStringLiteral("报表中心");
// Addresses of the online service.
inline const QString Service = QStringLiteral("Quillbrook");
} // namespace SettingSections

namespace Settings {
inline const SettingKey ScreenPixel {SettingSections::Main, QStringLiteral("ScreenPixel")};
inline const SettingKey BillPrint {SettingSections::Main, QStringLiteral("BillPrint")};
inline const SettingKey PrintType {SettingSections::Main, QStringLiteral("PrintType")};
inline const SettingKey SerialScheme {SettingSections::Main, QStringLiteral("MoneyIndex")};
inline const SettingKey BatchEntry {SettingSections::Main, QStringLiteral("批量开单功能")};
inline const SettingKey LoginMode {SettingSections::Main, QStringLiteral("LoginMode")};
inline const SettingKey LoginDatabase {SettingSections::Main, QStringLiteral("LoginDatabase")};
inline const SettingKey UserName {SettingSections::Main, QStringLiteral("UserName")};
inline const SettingKey AccountBook {SettingSections::Main, QStringLiteral("AccountType")};
inline const SettingKey AccountSortBy {SettingSections::Main, QStringLiteral("帐户排序方式")};
inline const SettingKey AccountSortDirection {SettingSections::Main, QStringLiteral("帐户排序方向")};
// "1" or "0": a copy of the ledger at the first login of a day; and how many to keep.
inline const SettingKey AutoBackup {SettingSections::Main, QStringLiteral("AutoBackup")};
inline const SettingKey AutoBackupCopies {SettingSections::Main, QStringLiteral("AutoBackupCopies")};
inline const SettingKey SaleLink {SettingSections::Service, QStringLiteral("SaleLink")};

// The stored width of a grid column: the grid's section, the column's field name.
inline SettingKey ColumnWidth(const QString &gridSection, const QString &field)
{
    return {gridSection, field};
}
} // namespace Settings
