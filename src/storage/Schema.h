#pragma once

// The ledger and master database schemas, as built into the program from schema.sql and
// master.sql.

#include <QString>
#include <QStringList>

QStringList LedgerSchemaStatements();
QStringList MasterSchemaStatements();

// Adds any index of the schema that an older ledger lacks, on the shared connection.
bool EnsureLedgerIndexes(QString *error);

// Splits SQL text into statements (no statement of ours holds a ";" inside a literal).
QStringList SplitSqlStatements(const QString &text);
