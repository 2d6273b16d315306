#include "printing/ReportRows.h"

#include "printing/ReportTemplate.h"

#include <QDate>

TableRows SampleRows(const ReportTemplate &t, int count)
{
    // The format a field is printed with decides what kind of sample it gets.
    const QStringList fields = t.rowFields();
    QList<ReportFormat> formats;
    QStringList captions;
    for (const QString &field : fields) {
        ReportFormat format = ReportFormat::Text;
        QString caption = field;
        for (const ReportColumn &c : t.columns)
            if (c.field.compare(field, Qt::CaseInsensitive) == 0) {
                format = c.format;
                if (!c.caption.isEmpty())
                    caption = c.caption;
            }
        for (const TextSource *s : t.sources())
            if (s->kind == TextSource::Kind::Field && s->name.compare(field, Qt::CaseInsensitive) == 0
                && s->format != ReportFormat::Text)
                format = s->format;
        formats.append(format);
        captions.append(caption);
    }
    TableRows rows(fields, {});
    const QDate start(2026, 7, 1);
    for (int r = 0; r < count; ++r) {
        QVariantList row;
        for (qsizetype f = 0; f < fields.size(); ++f) {
            switch (formats[f]) {
            case ReportFormat::Money:
            case ReportFormat::Percent:
                row.append(((r * 7919) % 5000) / 4.0 + 100 * (f + 1));
                break;
            case ReportFormat::Date:
                row.append(start.addDays(r / 3).toString(Qt::ISODate));
                break;
            case ReportFormat::Integer:
                row.append(r + 1);
                break;
            case ReportFormat::Text:
                row.append(captions[f] + QString::number(r + 1));
                break;
            }
        }
        rows.append(row);
    }
    return rows;
}
