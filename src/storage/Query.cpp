#include "storage/Query.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

QDate DateFromStored(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return QDate::fromString(value.toString().left(10), QStringLiteral("yyyy-MM-dd"));
}

void Query::close()
{
    m_open = false;
    m_pos = 0;
    m_sql = Sql();
    m_columns.clear();
    m_index.clear();
    m_rows.clear();
}

bool Query::open(const Sql &sql, const QSqlDatabase &db, QString *error)
{
    close();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql.text())) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    for (const QVariant &v : sql.values())
        q.addBindValue(v);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    const QSqlRecord record = q.record();
    for (int c = 0; c < record.count(); ++c) {
        const QString name = record.fieldName(c);
        m_columns.append(name);
        // With "Select X As Y, *" the first column of a name wins, as a reader expects.
        if (!m_index.contains(name.toLower()))
            m_index.insert(name.toLower(), c);
    }
    while (q.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int c = 0; c < record.count(); ++c)
            row.append(q.value(c));
        m_rows.append(std::move(row));
    }
    if (q.lastError().isValid()) {
        const QString text = q.lastError().text();
        close();
        if (error)
            *error = text;
        return false;
    }
    m_sql = sql;
    m_open = true;
    return true;
}

bool Query::next()
{
    if (m_pos < rowCount())
        ++m_pos;
    return !eof();
}

bool Query::hasColumn(const QString &column) const
{
    return m_index.contains(column.toLower());
}

QVariant Query::valueAt(int row, const QString &column) const
{
    if (!m_open || row < 0 || row >= m_rows.size())
        return {};
    const auto it = m_index.constFind(column.toLower());
    if (it == m_index.constEnd())
        return {};
    return m_rows[row][*it];
}

QDate Query::date(const QString &column) const
{
    return DateFromStored(value(column));
}
