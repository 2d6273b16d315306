#pragma once

// Maintaining the users of the open ledger (table Power). In this single-user edition the
// users are the two the ledger template brings; the administrator keeps his name and rights
// list, and neither he nor the cashier can be deleted.

#include "ledgers/Rights.h"

#include <QString>

namespace Users {
inline const QString Administrator = QStringLiteral("管理员");
inline const QString Cashier = QStringLiteral("出纳");
// The mode TFormPower2 is shown in to change an existing user.
inline const QString ModeEdit = QStringLiteral("修改");

// The names of the rights held, in the fixed order, joined with "，"; empty with none.
QString RightsRange(const UserRights &rights);

// Deletes the user shown in the list as name after the edition's refusals and the question.
// True when a row was deleted.
bool DeleteUser(qint64 index, const QString &name, bool multiUserEdition);

struct UserChange {
    qint64 index = 0;
    QString name;
    QString key;
    UserRights rights;
};
enum class StoreResult {
    Stored, // the row was written and "用户权限修改成功" shown
    NameRefused, // the typed name was refused; the name field should get the focus
    Refused, // nothing stored (a message may have said why)
};
// Checks the change in order and writes it; the administrator's rights list is never written.
StoreResult StoreUser(const UserChange &change);

} // namespace Users
