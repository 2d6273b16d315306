#pragma once

// The six rights a user may hold. A user's PowerRange names the rights held, joined with "，";
// each flag is set when its name occurs anywhere in that text.

#include <QString>
#include <QStringList>

struct SessionValues;

namespace Rights {
inline const QString Income = QStringLiteral("财务收入");
inline const QString Expense = QStringLiteral("财务支出");
inline const QString Transfer = QStringLiteral("财务平调");
inline const QString Overview = QStringLiteral("数据总览");
inline const QString Edit = QStringLiteral("数据修改");
inline const QString Reports = QStringLiteral("财务报表");
// In the order of the flags.
QStringList AllNames();
} // namespace Rights

struct UserRights {
    bool Income = false;
    bool Expense = false;
    bool Transfer = false;
    bool Overview = false;
    bool Edit = false;
    bool Reports = false;
    friend bool operator==(const UserRights &, const UserRights &) = default;
};

UserRights ParseRights(const QString &powerRange);
// Sets the six Right… flags of the session.
void ApplyRights(SessionValues &session, const UserRights &rights);
