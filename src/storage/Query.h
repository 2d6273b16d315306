#pragma once

// The result of one statement, read completely when it is opened, so that no statement stays
// open on the connection afterwards. Meant for look-ups and short lists; grids over large
// results use the lazily fetching model of the data grid instead.

#include "storage/Sql.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlDatabase;

class Query
{
public:
    bool isOpen() const { return m_open; }
    void close();
    // Runs sql on db and reads every row; on failure the query stays closed and *error is set.
    bool open(const Sql &sql, const QSqlDatabase &db, QString *error);

    int rowCount() const { return m_open ? int(m_rows.size()) : 0; }
    bool isEmpty() const { return rowCount() == 0; }

    // The current row. Opening stands on the first row.
    int position() const { return m_pos; }
    void first() { m_pos = 0; }
    bool next();
    void seek(int row) { m_pos = row; }
    bool eof() const { return m_pos >= rowCount(); }

    const QStringList &columns() const { return m_columns; }
    bool hasColumn(const QString &column) const;

    // Column access by name (letter case ignored) on the current row.
    QVariant value(const QString &column) const { return valueAt(m_pos, column); }
    QVariant valueAt(int row, const QString &column) const;
    bool isNull(const QString &column) const { return value(column).isNull(); }
    QString text(const QString &column) const { return value(column).toString(); }
    qint64 integer(const QString &column) const { return value(column).toLongLong(); }
    double number(const QString &column) const { return value(column).toDouble(); }
    QDate date(const QString &column) const;
    bool flag(const QString &column) const { return value(column).toLongLong() != 0; }

    const Sql &sql() const { return m_sql; }

private:
    bool m_open = false;
    int m_pos = 0;
    Sql m_sql;
    QStringList m_columns;
    QHash<QString, int> m_index; // lower-case name -> column
    QList<QVariantList> m_rows;
};

// Reads a stored date: ISO text, with or without a time of day.
QDate DateFromStored(const QVariant &value);
