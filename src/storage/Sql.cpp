#include "storage/Sql.h"

#include <QDateTime>

QString IsoDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

namespace {
QVariant storable(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QDate:
        return IsoDate(v.toDate());
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    default:
        return v;
    }
}
} // namespace

Sql Sql::value(const QVariant &v)
{
    Sql s("?");
    s.m_values.append(storable(v));
    return s;
}

Sql Sql::list(const QVariantList &values)
{
    Sql s("(");
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            s += Sql(",");
        s += value(values[i]);
    }
    return s += Sql(")");
}

Sql &Sql::operator+=(const Sql &other)
{
    m_text += other.m_text;
    m_values += other.m_values;
    return *this;
}

QString Sql::toDisplayString() const
{
    QString out;
    qsizetype next = 0;
    for (QChar c : m_text) {
        if (c == QLatin1Char('?') && next < m_values.size()) {
            const QVariant &v = m_values[next++];
            if (v.isNull())
                out += QLatin1String("Null");
            else if (v.typeId() == QMetaType::QString)
                out += QLatin1Char('\'') + v.toString().replace(QLatin1String("'"), QLatin1String("''"))
                    + QLatin1Char('\'');
            else
                out += v.toString();
        } else {
            out += c;
        }
    }
    return out;
}
