#include "storage/Schema.h"

#include "storage/ShareDM.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QStringList statementsOf(const QString &resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return SplitSqlStatements(QString::fromUtf8(file.readAll()));
}

struct SchemaObject {
    QString type; // "table", "index", "trigger"; empty for a statement that creates nothing
    QString name;
    QString key() const { return type + QLatin1Char(':') + name.toLower(); }
};

SchemaObject createdObject(const QString &statement)
{
    static const QRegularExpression create(
        QStringLiteral(
            "^CREATE\\s+(?:UNIQUE\\s+)?(TABLE|INDEX|TRIGGER|VIEW)\\s+(?:IF\\s+NOT\\s+EXISTS\\s+)?(\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = create.match(statement);
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toLower(), m.captured(2)};
}

// The statement as the database keeps it in sqlite_master: without "IF NOT EXISTS", and with
// runs of white space made one, so that a layout change alone does not count as a change.
QString storedForm(const QString &statement)
{
    static const QRegularExpression ifNotExists(
        QStringLiteral("^(CREATE\\s+(?:UNIQUE\\s+)?\\w+\\s+)IF\\s+NOT\\s+EXISTS\\s+"),
        QRegularExpression::CaseInsensitiveOption);
    QString text = statement;
    text.replace(ifNotExists, QStringLiteral("\\1"));
    return text.simplified();
}

bool namesTotalsTable(const QString &statement)
{
    for (const QString &table : LedgerTotalsTables()) {
        const QRegularExpression word(
            QStringLiteral("\\b") + table + QStringLiteral("\\b"), QRegularExpression::CaseInsensitiveOption);
        if (word.match(statement).hasMatch())
            return true;
    }
    return false;
}
} // namespace

QStringList SplitSqlStatements(const QString &text)
{
    static const QRegularExpression triggerStart(
        QStringLiteral("^CREATE\\s+(TEMP\\s+|TEMPORARY\\s+)?TRIGGER\\b"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression triggerEnd(
        QStringLiteral("^END\\s*;$"), QRegularExpression::CaseInsensitiveOption);
    QStringList statements;
    QString current;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("--")))
            continue;
        current += line + QLatin1Char('\n');
        // The statements of a trigger's body end with ";" too; the trigger ends with its END.
        const bool ends = triggerStart.match(current.trimmed()).hasMatch()
            ? triggerEnd.match(trimmed).hasMatch()
            : trimmed.endsWith(QLatin1Char(';'));
        if (ends) {
            QString statement = current.trimmed();
            statement.chop(1);
            statements.append(statement);
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements.append(current.trimmed());
    return statements;
}

QStringList LedgerSchemaStatements()
{
    return statementsOf(QStringLiteral(":/storage/schema.sql"));
}
QStringList MasterSchemaStatements()
{
    return statementsOf(QStringLiteral(":/storage/master.sql"));
}

const QStringList &LedgerTotalsTables()
{
    static const QStringList tables = {QStringLiteral("MoneyYearTotal"), QStringLiteral("MoneyMonthTotal")};
    return tables;
}

bool EnsureLedgerSchema(QString *error)
{
    QSqlDatabase db = ShareDataModule->connection();
    QSqlQuery q(db);
    auto fail = [&](const QString &why) {
        q.finish();
        if (error)
            *error = why;
        return false;
    };

    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return fail(q.lastError().text());
    const int version = q.value(0).toInt();
    q.finish();
    // A newer program may count or guard differently; changing its ledger could break it.
    if (version > LedgerSchemaVersion)
        return fail(NewerLedgerText);

    if (!q.exec(QStringLiteral("Select type, name, sql From sqlite_master")))
        return fail(q.lastError().text());
    QHash<QString, QString> stored; // object key -> its CREATE statement
    QStringList totalsTriggers; // triggers to drop before a rebuild: ours, and any that writes the totals
    while (q.next()) {
        const SchemaObject object {q.value(0).toString(), q.value(1).toString()};
        const QString sql = q.value(2).toString();
        stored.insert(object.key(), sql);
        if (object.type == QLatin1String("trigger") && namesTotalsTable(sql))
            totalsTriggers.append(object.name);
    }
    q.finish();

    QStringList missingIndexes;
    QStringList changedTriggers; // names of the other triggers of ours to make again
    QStringList triggers;
    QStringList totals;
    bool totalsCurrent = true;
    for (const QString &statement : LedgerSchemaStatements()) {
        const SchemaObject object = createdObject(statement);
        if (namesTotalsTable(statement)) {
            totals.append(statement);
            // A trigger of this name makes way for ours, whatever it does now.
            if (object.type == QLatin1String("trigger")
                && !totalsTriggers.contains(object.name, Qt::CaseInsensitive))
                totalsTriggers.append(object.name);
            if (!object.type.isEmpty()) {
                const auto it = stored.constFind(object.key());
                totalsCurrent
                    = totalsCurrent && it != stored.constEnd() && storedForm(*it) == storedForm(statement);
            }
        } else if (object.type == QLatin1String("index") && !stored.contains(object.key())) {
            missingIndexes.append(statement);
        } else if (object.type == QLatin1String("trigger")) {
            const auto it = stored.constFind(object.key());
            if (it == stored.constEnd() || storedForm(*it) != storedForm(statement)) {
                changedTriggers.append(object.name);
                triggers.append(statement);
            }
        }
    }
    if (missingIndexes.isEmpty() && triggers.isEmpty() && totalsCurrent && version == LedgerSchemaVersion)
        return true;

    Transaction transaction;
    if (!transaction.isActive())
        return fail(db.lastError().text());
    QString failure;
    auto run = [&](const QString &statement) {
        const bool ok = q.exec(statement);
        if (!ok)
            failure = q.lastError().text();
        q.finish();
        return ok;
    };
    for (const QString &statement : missingIndexes)
        if (!run(statement))
            return fail(failure);
    for (const QString &trigger : changedTriggers)
        if (!run(QStringLiteral("DROP TRIGGER IF EXISTS \"%1\"").arg(trigger)))
            return fail(failure);
    for (const QString &statement : triggers)
        if (!run(statement))
            return fail(failure);
    if (!totalsCurrent) {
        // Part of a set, or an older one, would count wrong: build all of it again from the entries.
        for (const QString &trigger : totalsTriggers)
            if (!run(QStringLiteral("DROP TRIGGER IF EXISTS \"%1\"").arg(trigger)))
                return fail(failure);
        for (const QString &table : LedgerTotalsTables())
            if (!run(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table)))
                return fail(failure);
        for (const QString &statement : totals)
            if (!run(statement))
                return fail(failure);
    }
    if (version < LedgerSchemaVersion
        && !run(QStringLiteral("PRAGMA user_version = %1").arg(LedgerSchemaVersion)))
        return fail(failure);
    if (!transaction.commit())
        return fail(db.lastError().text());
    return true;
}
