#pragma once

#include <QDate>
#include <QString>

// Sample data of the demonstration ledger: three months of a small trading business. The
// last day of the sample is stored as the recording day of MoneyTable row 1, from which the
// first login moves every date up to the present.
inline const QDate DemoFirstDay(2026, 7, 1);
inline const QDate DemoLastDay(2026, 9, 30);

bool FillDemoRows(QString *error);
