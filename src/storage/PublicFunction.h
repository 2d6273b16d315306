#pragma once

// The shared routines every window uses to reach the database and the settings file, and the
// small money, text and path helpers that go with them.

#include "storage/Query.h"
#include "storage/SettingKeys.h"
#include "storage/Sql.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlError;

#include <utility>

// Texts used by many callers.
namespace Texts {
inline const QString DatabaseOpenFailed = QStringLiteral("数据库打开失败");
inline const QString SqlCommandFailed = QStringLiteral("SQL命令执行出错");
inline const QString LoadComboFailed = QStringLiteral("LoadCombo失败");
inline const QString AllItems = QStringLiteral("所有");
inline const QString RunPathPlaceholder = QStringLiteral("[RunPath]\\");
inline const QString AmountOutOfRange = QStringLiteral("金额超出范围，请重新输入");
} // namespace Texts

// Runs sql into query; on any error shows failMessage and leaves the query closed.
bool RunQuery(Query &query, const Sql &sql, const QString &failMessage);
// Executes a statement that returns no rows; the number of rows it changed. On an error shows
// "SQL命令执行出错" and returns 0 (and *ok false).
int ExecSql(const Sql &sql, bool *ok = nullptr);

// Executes a statement and shows nothing: for writes whose failure the caller handles itself.
// False with the database's reason in *error.
bool TryExecSql(const Sql &sql, QString *error = nullptr);

using ColumnValues = QList<QPair<QString, QVariant>>;
// Inserts one row and returns its new auto-number key, or -1 after "SQL命令执行出错".
qint64 InsertRow(const QString &table, const ColumnValues &columns);
// Sets the columns of the row whose keyColumn equals key; false after "SQL命令执行出错".
bool UpdateRow(
    const QString &table, const QString &keyColumn, const QVariant &key, const ColumnValues &columns);

// Digits 0-9 and full stops only, not empty.
bool IsNumericText(const QString &text);
// The amount rounded to cents (halves to even) in its shortest form: 10, 3.14, -7.5.
QString RoundMoney(double value);
// The largest amount an entry, a record, an opening amount or a report bound may carry. No cash
// journal comes near it, and the totals of a million such entries, counted in whole fen, still
// fit a 64-bit integer exactly. The ledger refuses a larger MoneySum itself.
inline constexpr double MaxAmount = 9999999999.99;
// |amount| <= MaxAmount (a NaN or an infinity is not in range).
bool IsAmountInRange(double amount);
// False when the name holds any of / \ : * ? " < > | . or a control character.
bool IsValidLedgerName(const QString &name);

// What a failure of the database engine means, in words for the user: the engine's own text is
// English, so only its result code is used.
QString DatabaseFailureText(const QSqlError &error);

enum class DatabaseKind { Master, Ledger };
// Tables a database of each kind must hold.
QStringList RequiredTables(DatabaseKind kind);
// The connection target for a database file: a URI that opens an existing file for reading
// and writing and never creates one. SQLite files carry no password.
QString BuildConnectionString(const QString &path);
// Connects the shared connection to the file after checking that it is a database of the kind
// asked for. On failure nothing is written, the connection is closed and *error says why.
bool OpenLedgerConnection(
    const QString &path, DatabaseKind kind = DatabaseKind::Ledger, QString *error = nullptr);

QString ReadSetting(
    const QString &section, const QString &key, const QString &defaultValue, const QString &filePath);
// False, after an error message with the system's error number, when the file could not be
// written; the file is then as it was.
bool WriteSetting(const QString &section, const QString &key, const QString &value, const QString &filePath);
// The same for a named key in the session's settings file.
QString ReadSetting(const SettingKey &key, const QString &defaultValue);
bool WriteSetting(const SettingKey &key, const QString &value);
// Several keys of one section of the session's settings file in one write: all are stored, or
// none and one error message.
bool WriteSettings(const QString &section, const QList<std::pair<QString, QString>> &values);

// The program's short date, e.g. 2006-6-15.
QString ShortDateText(const QDate &date);
// Replaces every "[RunPath]\" (any letter case) by the program folder and turns "\" into "/".
QString ResolveRunPath(const QString &storedPath, const QString &programDir);
QString ResolveRunPath(const QString &storedPath);
