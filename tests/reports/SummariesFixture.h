#pragma once

// The month summary and the daily statistics as a user runs them: accounts and entries written
// into the ledger, the program started, the command triggered; what the pool tables hold and
// what the preview was handed.

#include "ReportsFixture.h"
#include "support/ReportRecorder.h"

#include <QDate>
#include <QList>
#include <QStringList>

namespace SummariesTest {
using namespace TestSupport;

struct Account {
    QString name;
    double base = 0;
    QString owner = Cashier;
};

struct Move {
    QString account;
    double amount = 0;
    QDate day;
    QString owner = Cashier;
};

// Writes the accounts (cash accounts) and their entries.
inline void writeLedger(LedgerFile &ledger, const QList<Account> &accounts, const QList<Move> &moves)
{
    QHash<QString, qint64> keys;
    for (const Account &a : accounts)
        keys[a.name] = ledger.addAccount(a.name, 2, a.base, a.owner);
    for (const Move &m : moves)
        ledger.addEntry(keys.value(m.account), m.amount, m.day, m.owner);
}

// The texts of every row of a pool table, in key order.
inline QList<QStringList> poolTexts(LedgerFile &ledger, const QString &sql)
{
    QList<QStringList> out;
    for (const QVariantList &row : ledger.rows(sql)) {
        QStringList texts;
        for (const QVariant &v : row)
            texts.append(v.toString());
        out.append(texts);
    }
    return out;
}

} // namespace SummariesTest

Q_DECLARE_METATYPE(SummariesTest::Account)
Q_DECLARE_METATYPE(SummariesTest::Move)
