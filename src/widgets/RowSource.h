#pragma once

// Rows that a report or an export reads without knowing where they come from: a data grid's
// statement, or a fully read Query.

#include "storage/Query.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class RowSource
{
public:
    virtual ~RowSource() = default;
    // Every column of the rows, in statement order (not only the ones a grid shows).
    virtual QStringList columnNames() const = 0;
    virtual int rowCount() const = 0;
    // Column names ignore letter case; an unknown column or row gives a null value.
    virtual QVariant value(int row, const QString &column) const = 0;
};

// The rows of a Query that the caller keeps alive.
class QueryRows : public RowSource
{
public:
    explicit QueryRows(const Query &query) : query(query) {}
    QStringList columnNames() const override { return query.columns(); }
    int rowCount() const override { return query.rowCount(); }
    QVariant value(int row, const QString &column) const override { return query.valueAt(row, column); }

private:
    const Query &query;
};
