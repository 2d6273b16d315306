#pragma once

// The ledger and master database schemas, as built into the program from schema.sql and
// master.sql.

#include <QString>
#include <QStringList>

QStringList LedgerSchemaStatements();
QStringList MasterSchemaStatements();

// Brings an opened ledger up to the schema, on the shared connection and in one transaction:
// adds any index it lacks, and builds the money totals with their triggers (from the entries
// already stored) when any of them is missing or differs from the schema's.
bool EnsureLedgerSchema(QString *error);

// The tables the ledger derives from MoneyTable; the schema statements that name one of them
// (their tables, fill statements and triggers) are rebuilt together.
const QStringList &LedgerTotalsTables();

// Splits SQL text into statements (no statement of ours holds a ";" inside a literal; a
// trigger ends at its "END;" line).
QStringList SplitSqlStatements(const QString &text);
