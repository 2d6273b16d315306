#pragma once

// The user list and the user dialog as the users tests drive them, and the stored user rows.

#include "storage/PublicFunction.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QDialog>
#include <QTableWidget>
#include <QTest>

namespace UsersTest {
using namespace TestSupport;

inline QTableWidget *userGrid(QDialog *list)
{
    return child<QTableWidget>(list, QStringLiteral("DBGridEh3"));
}

inline void selectUser(QDialog *list, const QString &name)
{
    const auto found = userGrid(list)->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    userGrid(list)->selectRow(found.first()->row());
}

// The stored row of a user, read through the open ledger: "key|range", or empty when gone.
inline QString storedUser(const QString &name)
{
    Query q;
    if (!RunQuery(q, Sql("Select * From Power Where PowerName = ") + Sql::value(name), QStringLiteral("peek"))
        || q.isEmpty())
        return QString();
    return q.text(QStringLiteral("PowerKey")) + QLatin1Char('|') + q.text(QStringLiteral("PowerRange"));
}

inline QCheckBox *rightBox(QDialog *d, int i)
{
    return d->findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(i + 1));
}

// Sets the six boxes from the bits of mask (bit 0 = 财务收入 … bit 5 = 财务报表).
inline void setBoxes(QDialog *d, int mask)
{
    for (int i = 0; i < 6; ++i)
        rightBox(d, i)->setChecked(mask & (1 << i));
}

} // namespace UsersTest
