#pragma once

// 财务日结: under the report's conditions, the balance brought forward, one row per day with the
// number and sum of income and of expense entries and the running balance, and a total row,
// written into the PrintDay pool and printed through Frf\MonthCount.frf.

#include "storage/Sql.h"

#include <QString>

class QWidget;
struct SessionValues;

namespace DailyStatistics {

inline const QString BroughtForwardName = QStringLiteral("前累计余额");
inline const QString TotalRowName = QStringLiteral("合计");
inline const QString TemplateFile = QStringLiteral("MonthCount.frf");

enum class Outcome { NoDays, Failed, Written };

// Rewrites the PrintDay pool under the session's view filters and report conditions, in one
// transaction: on a failure (shown to the user) the pool stays as it was. Rows are reused in
// key order and appended when the pool runs out; rows after the last written are switched off.
Outcome WritePool(const SessionValues &session);

// ActionResearchReport: the pool and its print; nothing at all when no entry matches.
void Run(QWidget *parent = nullptr);

} // namespace DailyStatistics
