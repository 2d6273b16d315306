#include "storage/PublicFunction.h"

#include "platform/FileOps.h"
#include "platform/IniProfile.h"
#include "platform/Seams.h"
#include "storage/Schema.h"
#include "storage/ShareDM.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace {
QSqlDatabase sharedConnection()
{
    return ShareDataModule->connection();
}

bool execute(const Sql &sql, int *affected, qint64 *insertId, QString *error = nullptr)
{
    QSqlQuery q(sharedConnection());
    bool ok = q.prepare(sql.text());
    if (ok) {
        for (const QVariant &v : sql.values())
            q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok && error)
        *error = q.lastError().databaseText();
    if (ok) {
        if (affected)
            *affected = q.numRowsAffected();
        if (insertId)
            *insertId = q.lastInsertId().toLongLong();
    }
    q.finish();
    return ok;
}

// Column and table names come from the program, never from the user; refuse anything else.
bool isIdentifier(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return pattern.match(name).hasMatch();
}
} // namespace

bool RunQuery(Query &query, const Sql &sql, const QString &failMessage)
{
    QString error;
    if (!ShareDataModule || !query.open(sql, sharedConnection(), &error)) {
        query.close();
        Platform::ShowMessage(failMessage);
        return false;
    }
    return true;
}

int ExecSql(const Sql &sql, bool *ok)
{
    int affected = 0;
    const bool done = ShareDataModule && execute(sql, &affected, nullptr);
    if (ok)
        *ok = done;
    if (!done) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return 0;
    }
    return affected;
}

bool TryExecSql(const Sql &sql, QString *error)
{
    if (!ShareDataModule) {
        if (error)
            *error = QStringLiteral("no connection");
        return false;
    }
    return execute(sql, nullptr, nullptr, error);
}

qint64 InsertRow(const QString &table, const ColumnValues &columns)
{
    Sql names(QStringLiteral("Insert Into ") + table + QStringLiteral(" ("));
    Sql values(" Values (");
    bool valid = isIdentifier(table) && !columns.isEmpty();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        valid = valid && isIdentifier(columns[i].first);
        if (i > 0) {
            names += Sql(",");
            values += Sql(",");
        }
        names += Sql(columns[i].first);
        values += Sql::value(columns[i].second);
    }
    qint64 id = -1;
    if (!valid || !ShareDataModule || !execute(names + Sql(")") + values + Sql(")"), nullptr, &id)) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return -1;
    }
    return id;
}

bool UpdateRow(
    const QString &table, const QString &keyColumn, const QVariant &key, const ColumnValues &columns)
{
    bool valid = isIdentifier(table) && isIdentifier(keyColumn) && !columns.isEmpty();
    Sql sql(QStringLiteral("Update ") + table + QStringLiteral(" Set "));
    for (qsizetype i = 0; i < columns.size(); ++i) {
        valid = valid && isIdentifier(columns[i].first);
        if (i > 0)
            sql += Sql(",");
        sql += Sql(columns[i].first + QStringLiteral(" = ")) + Sql::value(columns[i].second);
    }
    sql += Sql(QStringLiteral(" Where ") + keyColumn + QStringLiteral(" = ")) + Sql::value(key);
    if (!valid || !ShareDataModule || !execute(sql, nullptr, nullptr)) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return false;
    }
    return true;
}

bool IsNumericText(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.')))
            return false;
    return true;
}

QString RoundMoney(double value)
{
    // Whole cents, an exact half going to the even cent (the processor's default rounding).
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double cents = std::nearbyint(value / 0.01);
    std::fesetround(savedMode);
    double rounded = cents * 0.01;
    if (rounded == 0.0)
        rounded = 0.0; // no "-0"
    // Fifteen digits hold every amount up to 10^13 with its cents; a larger sum is written out
    // in full too, never with an exponent.
    if (std::fabs(rounded) < 1e13)
        return QString::number(rounded, 'g', 15);
    QString text = QString::number(rounded, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

bool IsAmountInRange(double amount)
{
    return std::fabs(amount) <= MaxAmount;
}

bool IsValidLedgerName(const QString &name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|.");
    for (QChar c : forbidden)
        if (name.contains(c))
            return false;
    // A tab or a line break would end up in the file name and in the registry's lists.
    return std::none_of(
        name.cbegin(), name.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

QStringList RequiredTables(DatabaseKind kind)
{
    if (kind == DatabaseKind::Master)
        return {QStringLiteral("SoftData")};
    return {QStringLiteral("Account"), QStringLiteral("MoneyTable"), QStringLiteral("GetPay"),
        QStringLiteral("Parameter"), QStringLiteral("Power"), QStringLiteral("PrintTable"),
        QStringLiteral("PrintDay")};
}

QString BuildConnectionString(const QString &path)
{
    QUrl url = QUrl::fromLocalFile(path);
    url.setQuery(QStringLiteral("mode=rw"));
    return url.toString(QUrl::FullyEncoded);
}

QString DatabaseFailureText(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    switch (ok ? code : -1) {
    case 3: // SQLITE_PERM
    case 23: // SQLITE_AUTH
        return QStringLiteral("没有读写该文件的权限");
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("数据库文件正被其他程序使用");
    case 7: // SQLITE_NOMEM
        return QStringLiteral("内存不足");
    case 8: // SQLITE_READONLY
        return QStringLiteral("数据库文件只读，不能写入");
    case 10: // SQLITE_IOERR
        return QStringLiteral("读写数据库文件时出错");
    case 11: // SQLITE_CORRUPT
        return QStringLiteral("数据库文件已损坏");
    case 13: // SQLITE_FULL
        return QStringLiteral("磁盘空间已满");
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("文件无法打开");
    case 26: // SQLITE_NOTADB
        return QStringLiteral("文件不是数据库文件");
    default:
        return ok ? QStringLiteral("数据库出错（错误号：%1）").arg(code) : QStringLiteral("数据库出错");
    }
}

bool OpenLedgerConnection(const QString &path, DatabaseKind kind, QString *error)
{
    QString reason;
    auto fail = [&](const QString &why) {
        ShareDataModule->closeConnection();
        if (error)
            *error = why;
        return false;
    };
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("文件不存在：") + path);
    if (!ShareDataModule->openDatabase(path, &reason))
        return fail(reason);

    // A file that is not a database fails here, before anything is written.
    QSqlQuery q(ShareDataModule->connection());
    if (!q.exec(QStringLiteral("Select name From sqlite_master Where type = 'table'")))
        return fail(DatabaseFailureText(q.lastError()));
    QStringList tables;
    while (q.next())
        tables.append(q.value(0).toString().toLower());
    q.finish();
    for (const QString &table : RequiredTables(kind))
        if (!tables.contains(table.toLower()))
            return fail(QStringLiteral("数据库中缺少数据表：") + table);

    if (kind == DatabaseKind::Ledger && !EnsureLedgerSchema(&reason)) {
        // The engine's English is no reason to show; a reason of the program's own is.
        static const QRegularExpression chinese(QStringLiteral("\\p{Han}"));
        return fail(reason.contains(chinese) ? reason : QStringLiteral("帐套数据库结构无法更新"));
    }
    return true;
}

QString ReadSetting(
    const QString &section, const QString &key, const QString &defaultValue, const QString &filePath)
{
    return Platform::ReadProfileString(section, key, defaultValue, filePath);
}

namespace {
bool reportSettingsWrite(bool written, int error, const QString &filePath)
{
    if (written)
        return true;
    // The file is as it was; the user must know that the setting did not stick.
    Platform::ShowError(QStringLiteral("设置文件保存失败，失败号为：") + Platform::ErrorNumberText(error)
        + QLatin1Char('\n') + filePath);
    return false;
}
} // namespace

bool WriteSetting(const QString &section, const QString &key, const QString &value, const QString &filePath)
{
    int error = 0;
    const bool written = Platform::WriteProfileString(section, key, value, filePath, &error);
    return reportSettingsWrite(written, error, filePath);
}

bool WriteSettings(const QString &section, const QList<std::pair<QString, QString>> &values)
{
    int error = 0;
    const QString filePath = Session().SettingsPath;
    const bool written = Platform::WriteProfileStrings(section, values, filePath, &error);
    return reportSettingsWrite(written, error, filePath);
}

QString ReadSetting(const SettingKey &key, const QString &defaultValue)
{
    return ReadSetting(key.section, key.key, defaultValue, Session().SettingsPath);
}

bool WriteSetting(const SettingKey &key, const QString &value)
{
    return WriteSetting(key.section, key.key, value, Session().SettingsPath);
}

QString ShortDateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-M-d"));
}

QString ResolveRunPath(const QString &storedPath, const QString &programDir)
{
    QString path = storedPath;
    path.replace(Texts::RunPathPlaceholder, programDir, Qt::CaseInsensitive);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

QString ResolveRunPath(const QString &storedPath)
{
    return ResolveRunPath(storedPath, Session().ProgramDir);
}
