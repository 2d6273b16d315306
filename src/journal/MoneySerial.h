#pragma once

// Document numbers: the next number the entry form proposes for an entry, counted afresh
// from the rows already in MoneyTable. They help the user; nothing enforces their uniqueness.

#include <QDate>
#include <QString>

namespace SerialTexts {
// The default; any other value of the setting selects the number scheme.
inline const QString ByDate = QStringLiteral("按日期生成编号");
inline const QString ByNumber = QStringLiteral("按数字生成编号");
} // namespace SerialTexts

// "SR" for income, "ZC" for expense, empty for any other kind.
QString MoneySerialPrefix(const QString &kind);

// The number proposed for a new entry of kind on day (the main window's current day).
// Date scheme: prefix + "yyMMdd" + (entries whose number contains that text, anywhere) + 1,
// at least two digits. Number scheme: prefix + (entries of the kind, transfer halves
// included) + 1, at least six digits. Empty after the count failed (its message shown).
QString MakeMoneySerial(const QString &kind, const QDate &day, const QString &scheme);
