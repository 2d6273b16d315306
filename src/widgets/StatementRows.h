#pragma once

// The rows of one statement as a report reads them: the statement's keys are read once, in its
// order, and rows come in blocks by key through the grid model's bounded statements, so a
// print of a million rows holds a few blocks and the keys, and no statement stays open while
// the preview waits for the user.

#include "storage/RowSource.h"
#include "widgets/DataGridModel.h"

#include <memory>

class StatementRows : public RowSource
{
public:
    // Runs the statement; null after showing failureMessage when it fails.
    static std::shared_ptr<const StatementRows> open(const Sql &statement, const QString &failureMessage);

    QStringList columnNames() const override { return model.fieldNames(); }
    int rowCount() const override { return model.totalRows(); }
    QVariant value(int row, const QString &column) const override { return model.value(row, column); }
    // Plain sums come from the key pass (or one aggregate), magnitudes from one aggregate.
    QList<double> fieldSums(const QStringList &fields, bool absolute) const override;

private:
    DataGridModel model;
};
