#pragma once

// The ledger and master database schemas, as built into the program from schema.sql and
// master.sql.

#include <QString>
#include <QStringList>

QStringList LedgerSchemaStatements();
QStringList MasterSchemaStatements();

// The version of the ledger schema this program writes, kept in the ledger's user_version.
inline constexpr int LedgerSchemaVersion = 1;
inline const QString NewerLedgerText = QStringLiteral("该帐套由更新版本的软件创建，请升级本软件后再打开");

// Brings an opened ledger up to the schema, on the shared connection and in one transaction:
// adds any index or trigger it lacks (and replaces a trigger of ours that differs), builds the
// money totals with their triggers (from the entries already stored) when any of them is missing
// or differs from the schema's, and marks the ledger with LedgerSchemaVersion. A ledger of a
// newer version is refused with NewerLedgerText and left untouched.
bool EnsureLedgerSchema(QString *error);

// The tables the ledger derives from MoneyTable; the schema statements that name one of them
// (their tables, fill statements and triggers) are rebuilt together.
const QStringList &LedgerTotalsTables();

// Splits SQL text into statements (no statement of ours holds a ";" inside a literal; a
// trigger ends at its "END;" line).
QStringList SplitSqlStatements(const QString &text);
