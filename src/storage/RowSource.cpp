#include "storage/RowSource.h"

QVariant TableRows::value(int row, const QString &column) const
{
    if (row < 0 || row >= rows.size())
        return {};
    for (qsizetype c = 0; c < columns.size(); ++c)
        if (columns[c].compare(column, Qt::CaseInsensitive) == 0)
            return c < rows[row].size() ? rows[row][c] : QVariant();
    return {};
}
