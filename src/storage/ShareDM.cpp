#include "storage/ShareDM.h"

#include "storage/PublicFunction.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

TShareDataModule *ShareDataModule = nullptr;

TShareDataModule::TShareDataModule(QObject *parent)
    : QObject(parent),
      connectionName(QStringLiteral("ADOConnection1-") + QUuid::createUuid().toString(QUuid::Id128).left(8))
{
    setObjectName(QStringLiteral("TShareDataModule"));
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    ShareDataModule = this;
}

TShareDataModule::~TShareDataModule()
{
    closeConnection();
    QSqlDatabase::removeDatabase(connectionName);
    if (ShareDataModule == this)
        ShareDataModule = nullptr;
}

QSqlDatabase TShareDataModule::connection() const
{
    return QSqlDatabase::database(connectionName, false);
}

bool TShareDataModule::isConnected() const
{
    return connection().isOpen();
}

bool TShareDataModule::openDatabase(const QString &path, QString *error)
{
    closeConnection();
    QSqlDatabase db = connection();
    // The connection string opens an existing file only: a missing ledger is never created.
    db.setDatabaseName(BuildConnectionString(path));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open()) {
        if (error)
            *error = DatabaseFailureText(db.lastError());
        return false;
    }
    QSqlQuery q(db);
    // DELETE journal: a closed ledger is one self-contained file that may be copied.
    for (const char *pragma : {"PRAGMA journal_mode=DELETE", "PRAGMA synchronous=FULL"}) {
        if (!q.exec(QString::fromLatin1(pragma))) {
            if (error)
                *error = DatabaseFailureText(q.lastError());
            q.finish();
            db.close();
            return false;
        }
        q.finish();
    }
    openPath = path;
    return true;
}

void TShareDataModule::closeConnection()
{
    ADOQueryTemp.close();
    ADOQueryTemp2.close();
    QSqlDatabase db = connection();
    if (db.isOpen())
        db.close();
    openPath.clear();
    transactionDepth = 0;
}

Transaction::Transaction()
{
    if (!ShareDataModule || !ShareDataModule->isConnected())
        return;
    if (ShareDataModule->transactionDepth == 0) {
        QSqlDatabase db = ShareDataModule->connection();
        if (!db.transaction())
            return;
        outermost = true;
    }
    ++ShareDataModule->transactionDepth;
    active = true;
}

Transaction::~Transaction()
{
    if (!active || !ShareDataModule)
        return;
    --ShareDataModule->transactionDepth;
    if (outermost)
        ShareDataModule->connection().rollback();
}

bool Transaction::commit()
{
    if (!active || !ShareDataModule)
        return false;
    active = false;
    --ShareDataModule->transactionDepth;
    if (!outermost)
        return true;
    QSqlDatabase db = ShareDataModule->connection();
    if (db.commit())
        return true;
    // A failed commit leaves the transaction open; undo it so the next change starts clean.
    db.rollback();
    return false;
}
