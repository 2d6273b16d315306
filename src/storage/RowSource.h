#pragma once

// Rows that a report, a grid or an export reads without knowing where they come from: a read
// Query, a data grid's statement, or rows held in memory.

#include "storage/Query.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class RowSource
{
public:
    virtual ~RowSource() = default;
    // Every column of the rows, in statement order.
    virtual QStringList columnNames() const = 0;
    virtual int rowCount() const = 0;
    // Column names ignore letter case; an unknown column or row gives a null value.
    virtual QVariant value(int row, const QString &column) const = 0;

    bool hasColumn(const QString &column) const
    {
        return columnNames().contains(column, Qt::CaseInsensitive);
    }

    // The sum of each field's values (read as numbers) over every row, or of their magnitudes
    // when absolute. This walks the rows in order; a source over a statement asks SQL instead.
    virtual QList<double> fieldSums(const QStringList &fields, bool absolute) const;
};

// A read query's rows. The query is copied (its rows are shared, not duplicated), so the rows
// stay as they were when the caller reruns the query afterwards.
class QueryRows : public RowSource
{
public:
    explicit QueryRows(const Query &query) : query(query) { }
    QStringList columnNames() const override { return query.columns(); }
    int rowCount() const override { return query.rowCount(); }
    QVariant value(int row, const QString &column) const override { return query.valueAt(row, column); }

private:
    Query query;
};

// Rows held in memory: fixtures and sample rows.
class TableRows : public RowSource
{
public:
    TableRows() = default;
    TableRows(QStringList columns, QList<QVariantList> rows)
        : columns(std::move(columns)), rows(std::move(rows))
    {
    }
    void append(const QVariantList &row) { rows.append(row); }

    QStringList columnNames() const override { return columns; }
    int rowCount() const override { return int(rows.size()); }
    QVariant value(int row, const QString &column) const override;

private:
    QStringList columns;
    QList<QVariantList> rows;
};
