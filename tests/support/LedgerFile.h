#pragma once

// A database file of the program folder (a ledger or the master database) read and written
// through a private connection, apart from the program's shared one: rows written the way
// another program would, and what a stored file holds.

#include "storage/PublicFunction.h"
#include "support/TestSupport.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

namespace TestSupport {

class LedgerFile
{
public:
    enum Access { ReadWrite, ReadOnly };

    explicit LedgerFile(const QString &path, Access access = ReadWrite)
        : name(QStringLiteral("fixture%1").arg(++counter))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (access == ReadOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        opened = db.open();
        if (!opened)
            qWarning("%s", qPrintable(db.lastError().text()));
    }
    ~LedgerFile()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    LedgerFile(const LedgerFile &) = delete;
    LedgerFile &operator=(const LedgerFile &) = delete;

    bool isOpen() const { return opened; }

    // Runs one statement with its "?" values; a failure is logged with the statement.
    bool exec(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(QSqlDatabase::database(name, false));
        return run(q, sql, values);
    }
    // Runs an insert; the new row's key, or -1.
    qint64 insert(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(QSqlDatabase::database(name, false));
        return run(q, sql, values) ? q.lastInsertId().toLongLong() : -1;
    }
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {})
    {
        QList<QVariantList> out;
        QSqlQuery q(QSqlDatabase::database(name, false));
        if (run(q, sql, values))
            while (q.next()) {
                QVariantList row;
                for (int i = 0; i < q.record().count(); ++i)
                    row.append(q.value(i));
                out.append(row);
            }
        return out;
    }
    // The first column of the first row, or null.
    QVariant value(const QString &sql, const QVariantList &values = {})
    {
        const auto all = rows(sql, values);
        return all.isEmpty() ? QVariant() : all.constFirst().value(0);
    }
    // One column of every row.
    QVariantList column(const QString &sql, int index = 0)
    {
        QVariantList values;
        for (const QVariantList &row : rows(sql))
            values.append(row.value(index));
        return values;
    }

    qint64 addAccount(const QString &accountName, int type, double base, const QString &owner = Cashier)
    {
        return insert(QStringLiteral("Insert Into Account (AccountName, AccountBase, AccountRemark, "
                                     "AccountType, AccountPower) Values (?, ?, '', ?, ?)"),
            {accountName, base, type, owner});
    }
    // An income (amount > 0) or expense entry on the day.
    qint64 addEntry(qint64 account, double amount, const QDate &day, const QString &owner = Cashier)
    {
        const bool income = amount >= 0;
        return insert(QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyUser, "
                                     "MoneyRecordTime, MoneyCreateTime, MoneyIn, MoneyOut, MoneySum, "
                                     "MoneyReason, MoneyPower) Values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {income ? QStringLiteral("财务收入") : QStringLiteral("财务支出"), account, owner, IsoDate(day),
                IsoDate(day), income ? amount : 0.0, income ? 0.0 : -amount, amount, QStringLiteral("测试"),
                owner});
    }
    // A user with no password and these rights.
    void addUser(const QString &user, const QString &range)
    {
        exec(QStringLiteral("Insert Into Power (PowerName, PowerKey, PowerRange) Values (?, '', ?)"),
            {user, range});
    }

private:
    bool run(QSqlQuery &q, const QString &sql, const QVariantList &values)
    {
        bool ok = q.prepare(sql);
        for (const QVariant &v : values)
            q.addBindValue(v);
        ok = ok && q.exec();
        if (!ok)
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return ok;
    }

    QString name;
    bool opened = false;
    static inline int counter = 0;
};

// Runs statements on a database file of the program folder, outside the program's connection;
// the values are bound in order, each statement taking as many as it has "?".
inline void execOn(const QString &path, const QStringList &statements, const QVariantList &values = {})
{
    LedgerFile file(path);
    int next = 0;
    for (const QString &statement : statements) {
        QVariantList bound;
        for (int i = 0; i < statement.count(QLatin1Char('?')); ++i)
            bound.append(values.value(next++));
        file.exec(statement, bound);
    }
}

} // namespace TestSupport
