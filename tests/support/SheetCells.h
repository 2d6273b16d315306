#pragma once

// The cells of a written .xlsx as the file stores them, read back with unzip.

#include <QHash>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

namespace TestSupport {

// Cells of the first sheet: reference -> type ("s" text, shared or inline; "n" number) and the
// text or number.
inline QHash<QString, QPair<QString, QString>> readSheet(const QString &file)
{
    auto entry = [&file](const char *name) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QString::fromLatin1(name)});
        unzip.waitForFinished();
        return unzip.readAllStandardOutput();
    };
    QStringList shared;
    QXmlStreamReader strings(entry("xl/sharedStrings.xml"));
    while (!strings.atEnd()) {
        strings.readNext();
        if (strings.isStartElement() && strings.name() == QLatin1String("si"))
            shared.append(QString());
        else if (strings.isStartElement() && strings.name() == QLatin1String("t"))
            shared.last() += strings.readElementText();
    }
    QHash<QString, QPair<QString, QString>> cells;
    QXmlStreamReader sheet(entry("xl/worksheets/sheet1.xml"));
    QString ref, type;
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (sheet.isStartElement() && sheet.name() == QLatin1String("c")) {
            ref = sheet.attributes().value(QLatin1String("r")).toString();
            type = sheet.attributes().value(QLatin1String("t")).toString();
            if (type.isEmpty())
                type = QStringLiteral("n");
        } else if (sheet.isStartElement() && sheet.name() == QLatin1String("v")) {
            const QString v = sheet.readElementText();
            cells.insert(ref, {type, type == QLatin1String("s") ? shared.value(v.toInt()) : v});
        } else if (sheet.isStartElement() && sheet.name() == QLatin1String("t")
            && type == QLatin1String("inlineStr")) {
            // Text written row by row is kept in the cell itself.
            const QString text = sheet.readElementText();
            cells[ref] = {QStringLiteral("s"), cells.value(ref).second + text};
        }
    }
    return cells;
}

// "A1", "AB12": the reference of a cell counted from 1.
inline QString cellName(int row, int column)
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(QLatin1Char('A').unicode() + (c - 1) % 26));
    return letters + QString::number(row);
}

} // namespace TestSupport
