#include "storage/RowSource.h"

#include <cmath>

QList<double> RowSource::fieldSums(const QStringList &fields, bool absolute) const
{
    QList<double> sums(fields.size(), 0.0);
    const int count = rowCount();
    for (int row = 0; row < count; ++row)
        for (qsizetype f = 0; f < fields.size(); ++f) {
            const double v = value(row, fields[f]).toDouble();
            sums[f] += absolute ? std::fabs(v) : v;
        }
    return sums;
}

QVariant TableRows::value(int row, const QString &column) const
{
    if (row < 0 || row >= rows.size())
        return {};
    for (qsizetype c = 0; c < columns.size(); ++c)
        if (columns[c].compare(column, Qt::CaseInsensitive) == 0)
            return c < rows[row].size() ? rows[row][c] : QVariant();
    return {};
}
