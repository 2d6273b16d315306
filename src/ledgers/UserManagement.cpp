#include "ledgers/UserManagement.h"

#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

namespace Users {

namespace {
Sql byIndex(qint64 index)
{
    return Sql("Select * From Power Where PowerIndex = ") + Sql::value(index);
}
} // namespace

QString RightsRange(const UserRights &rights)
{
    const bool held[]
        = {rights.Income, rights.Expense, rights.Transfer, rights.Overview, rights.Edit, rights.Reports};
    const QStringList names = Rights::AllNames();
    QStringList range;
    for (int i = 0; i < names.size(); ++i)
        if (held[i])
            range.append(names[i]);
    return range.join(QStringLiteral("，"));
}

bool DeleteUser(qint64 index, const QString &name, bool multiUserEdition)
{
    if (name == Administrator) {
        Platform::ShowMessage(QStringLiteral("管理员帐号不能删除"));
        return false;
    }
    if (!multiUserEdition && name == Cashier) {
        Platform::ShowMessage(QStringLiteral("单机用户版，出纳帐号不能删除"));
        return false;
    }
    if (!Platform::AskYesNo(QStringLiteral("确实要删除该用户吗？"), QStringLiteral("删除警告")))
        return false;
    Query row;
    if (!RunQuery(row, byIndex(index), Texts::DatabaseOpenFailed) || row.isEmpty())
        return false;
    // The user's accounts, entries and receivables keep his name as their owner.
    bool ok = false;
    ExecSql(Sql("Delete From Power Where PowerIndex = ") + Sql::value(index), &ok);
    return ok;
}

StoreResult StoreUser(const UserChange &change)
{
    if (change.name.isEmpty()) {
        Platform::ShowMessage(QStringLiteral("用户名称不能为空"));
        return StoreResult::NameRefused;
    }
    Query row;
    if (!RunQuery(row, byIndex(change.index), Texts::DatabaseOpenFailed) || row.isEmpty())
        return StoreResult::Refused;
    const QString storedName = row.text(QStringLiteral("PowerName"));
    if (storedName == Administrator && change.name != storedName) {
        Platform::ShowMessage(QStringLiteral("管理员帐号不能修改"));
        return StoreResult::Refused;
    }
    if (change.name != storedName) {
        Query sameName;
        if (!RunQuery(sameName, Sql("Select * From Power Where PowerName = ") + Sql::value(change.name),
                Texts::DatabaseOpenFailed))
            return StoreResult::Refused;
        if (!sameName.isEmpty()) {
            Platform::ShowMessage(QStringLiteral("该用户名称已经存在，请重新操作"));
            return StoreResult::NameRefused;
        }
    }
    if (!RunQuery(row, byIndex(change.index), Texts::DatabaseOpenFailed))
        return StoreResult::Refused;
    if (row.isEmpty()) {
        Platform::ShowMessage(QStringLiteral("找不到要修改的用户"));
        return StoreResult::Refused;
    }

    ColumnValues columns {
        {QStringLiteral("PowerName"), change.name}, {QStringLiteral("PowerKey"), change.key}};
    // The administrator's window does not follow a rights list, so his stays as stored.
    if (change.name != Administrator)
        columns.append({QStringLiteral("PowerRange"), RightsRange(change.rights)});
    if (!UpdateRow(QStringLiteral("Power"), QStringLiteral("PowerIndex"), change.index, columns))
        return StoreResult::Refused;
    Platform::ShowMessage(QStringLiteral("用户权限修改成功"));
    return StoreResult::Stored;
}

} // namespace Users
