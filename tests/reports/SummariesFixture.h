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
using namespace ReportsTest;

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

// A user who sees only his own entries.
inline const QString Restricted = QStringLiteral("张三");

// The accounts and entries written, the restricted user added, the book of every account
// chosen, and the program started as user.
inline bool startOn(
    Run &run, const QList<Account> &accounts, const QList<Move> &moves, const QString &user = Cashier)
{
    {
        auto ledger = run.ledger();
        writeLedger(*ledger, accounts, moves);
        ledger->addUser(Restricted, QStringLiteral("财务收入，财务支出，财务平调，数据修改，财务报表"));
    }
    run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
    return run.startAs(user);
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
