#pragma once

// Reading and writing account rows. Names are bound values, so a name with a quote is found and
// stored as typed. Lookups compare names exactly; uniqueness holds across every account book
// and user of the ledger.

#include "storage/Query.h"

#include <QString>

namespace Accounts {

inline const QString LookupFailedText = QStringLiteral("无法打开数据库");
inline const QString NameTakenText = QStringLiteral("该帐户名已经存在，请重新操作");

// What the account dialog hands to its callers.
struct AccountValues {
    int type = 0; // 1 bank, 2 cash
    QString name;
    double base = 0; // opening amount, stored as typed
    QString remark;
};

enum class Lookup { Found, Missing, Failed };
// Reads the account of this exact name into query; on a failed query shows failMessage.
Lookup FindAccount(Query &query, const QString &name, const QString &failMessage);

// Inserts the account with owner as AccountPower; its new AccountIndex, or -1 after
// "SQL命令执行出错".
qint64 InsertAccount(const AccountValues &values, const QString &owner);
// Sets name, opening amount, remark and type; index and owner stay, and so do the entries.
bool UpdateAccount(qint64 accountIndex, const AccountValues &values);
// Removes the account row and all of its journal entries together: after a failure both are
// still there ("SQL命令执行出错" shown).
bool DeleteAccountWithEntries(qint64 accountIndex);

// "帐户　" + name + "　新增成功" and the like; the gaps are full-width spaces.
QString AccountMessage(const QString &name, const QString &outcome);

} // namespace Accounts
