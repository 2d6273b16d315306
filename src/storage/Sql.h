#pragma once

// A piece of SQL text with the values bound to its "?" placeholders. Statements are built by
// adding fragments; the values travel with their text, so typed text never becomes SQL.
//
//   Sql("Select * From Account Where AccountName = ") + Sql::value(name)

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVariantList>

class Sql
{
public:
    Sql() = default;
    // Literal SQL text only; values go through value().
    Sql(const char *text) : m_text(QString::fromUtf8(text)) { }
    explicit Sql(const QString &text) : m_text(text) { }

    // A "?" placeholder bound to v. Dates are bound as ISO text, yes/no as 0/1.
    static Sql value(const QVariant &v);
    // "(?,?,…)" for an In list.
    static Sql list(const QVariantList &values);

    Sql &operator+=(const Sql &other);
    friend Sql operator+(Sql left, const Sql &right) { return left += right; }
    friend bool operator==(const Sql &a, const Sql &b)
    {
        return a.m_text == b.m_text && a.m_values == b.m_values;
    }

    const QString &text() const { return m_text; }
    const QVariantList &values() const { return m_values; }
    bool isEmpty() const { return m_text.isEmpty(); }
    // The text with every value written in, for messages and debugging only.
    QString toDisplayString() const;

private:
    QString m_text;
    QVariantList m_values;
};

// The form in which dates are stored and compared in the ledger.
QString IsoDate(const QDate &date);
