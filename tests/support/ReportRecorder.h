#pragma once

// Report fixtures: what the preview seam was handed, the texts a page draws, and pictures of
// the pages for looking at them.

#include "printing/ReportEngine.h"
#include "support/TestSupport.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace TestSupport {

// Keeps a copy of every prepared report handed to the preview while it lives.
class ReportRecorder
{
public:
    explicit ReportRecorder(Seams &seams);
    ~ReportRecorder();
    QList<PreparedReport> reports;
    // Previews of something that is not a prepared report (counted, not kept).
    int foreignPreviews = 0;

private:
    Seams &seams;
};

// The texts of the rows every page shows, page after page (a voucher's cells, for a bill): what
// the pages read from the report's rows, not a copy held by the report.
QList<QStringList> ShownRows(const PreparedReport &report);

// The texts drawn on one page, in drawing order.
QStringList DrawnTexts(const PreparedReport &report, int page);

// Writes every page as "<stem>-<n>.png" into folder; the files written.
QStringList SaveReportPictures(
    const PreparedReport &report, const QString &folder, const QString &stem, double dotsPerInch = 150);

} // namespace TestSupport
