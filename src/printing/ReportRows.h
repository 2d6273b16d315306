#pragma once

// The rows a report prints: one query's result, seen through a small interface so that any
// row holder (a read query, a grid's model, sample rows) can feed the engine.

#include "storage/Query.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

struct ReportTemplate;

class ReportRows
{
public:
    virtual ~ReportRows() = default;
    virtual QStringList columnNames() const = 0;
    virtual int rowCount() const = 0;
    // Column names are matched without regard to letter case; an unknown column gives null.
    virtual QVariant value(int row, const QString &column) const = 0;

    bool hasColumn(const QString &column) const
    {
        return columnNames().contains(column, Qt::CaseInsensitive);
    }
};

// A read query's rows. The query is copied (its rows are shared, not duplicated), so the
// report keeps its rows even when the caller reruns the query afterwards.
class QueryRows : public ReportRows
{
public:
    explicit QueryRows(const Query &query) : query(query) {}
    QStringList columnNames() const override { return query.columns(); }
    int rowCount() const override { return query.rowCount(); }
    QVariant value(int row, const QString &column) const override
    {
        return query.valueAt(row, column);
    }

private:
    Query query;
};

// Rows held in memory: fixtures, and the designer's sample rows.
class TableRows : public ReportRows
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

// Plausible rows for every field a template reads (amounts, dates, counts, words), so that a
// template can be previewed with no data set bound.
TableRows SampleRows(const ReportTemplate &reportTemplate, int count);
