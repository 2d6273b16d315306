#pragma once

// The rows a report prints: one query's result, seen through a small interface so that any
// row holder (a read query, a grid's model, sample rows) can feed the engine.

#include "storage/RowSource.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

struct ReportTemplate;

// The engine reads its rows through the shared row interface.
using ReportRows = RowSource;

// Plausible rows for every field a template reads (amounts, dates, counts, words), so that a
// template can be previewed with no data set bound.
TableRows SampleRows(const ReportTemplate &reportTemplate, int count);
