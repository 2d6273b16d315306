#include "accounts/AccountStore.h"

#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QSqlDatabase>

namespace Accounts {

Lookup FindAccount(Query &query, const QString &name, const QString &failMessage)
{
    if (!RunQuery(query, Sql("Select * From Account Where AccountName = ") + Sql::value(name), failMessage))
        return Lookup::Failed;
    return query.isEmpty() ? Lookup::Missing : Lookup::Found;
}

qint64 InsertAccount(const AccountValues &values, const QString &owner)
{
    return InsertRow(QStringLiteral("Account"),
        {{QStringLiteral("AccountName"), values.name}, {QStringLiteral("AccountBase"), values.base},
            {QStringLiteral("AccountRemark"), values.remark}, {QStringLiteral("AccountType"), values.type},
            {QStringLiteral("AccountPower"), owner}});
}

bool UpdateAccount(qint64 accountIndex, const AccountValues &values)
{
    return UpdateRow(QStringLiteral("Account"), QStringLiteral("AccountIndex"), accountIndex,
        {{QStringLiteral("AccountName"), values.name}, {QStringLiteral("AccountBase"), values.base},
            {QStringLiteral("AccountRemark"), values.remark}, {QStringLiteral("AccountType"), values.type}});
}

bool DeleteAccountWithEntries(qint64 accountIndex)
{
    Transaction transaction;
    if (!transaction.isActive()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return false;
    }
    bool ok = false;
    ExecSql(Sql("Delete From Account Where AccountIndex = ") + Sql::value(accountIndex), &ok);
    if (!ok)
        return false;
    ExecSql(Sql("Delete From MoneyTable Where MoneyAccount = ") + Sql::value(accountIndex), &ok);
    if (!ok)
        return false;
    if (!transaction.commit()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return false;
    }
    return true;
}

QString AccountMessage(const QString &name, const QString &outcome)
{
    return QStringLiteral("帐户\u3000") + name + QChar(0x3000) + outcome;
}

} // namespace Accounts
