#include "storage/Schema.h"

#include "storage/ShareDM.h"

#include <QFile>
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
} // namespace

QStringList SplitSqlStatements(const QString &text)
{
    QStringList statements;
    QString current;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        current += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
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

bool EnsureLedgerIndexes(QString *error)
{
    QSqlQuery q(ShareDataModule->connection());
    for (const QString &statement : LedgerSchemaStatements()) {
        if (!statement.startsWith(QLatin1String("CREATE INDEX IF NOT EXISTS"), Qt::CaseInsensitive))
            continue;
        if (!q.exec(statement)) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
        q.finish();
    }
    return true;
}
