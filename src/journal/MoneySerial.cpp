#include "journal/MoneySerial.h"

#include "journal/EntryRules.h"
#include "storage/PublicFunction.h"

QString MoneySerialPrefix(const QString &kind)
{
    if (kind == EntryTexts::KindIncome)
        return QStringLiteral("SR");
    if (kind == EntryTexts::KindExpense)
        return QStringLiteral("ZC");
    return {};
}

QString MakeMoneySerial(const QString &kind, const QDate &day, const QString &scheme)
{
    const QString prefix = MoneySerialPrefix(kind);
    Query query;
    if (scheme == SerialTexts::ByDate) {
        const QString base = prefix + day.toString(QStringLiteral("yyMMdd"));
        // A number typed over with a note after it still counts: the text is searched anywhere.
        if (!RunQuery(query,
                Sql("Select Count(*) As SerialCount From MoneyTable Where instr(MoneySerial, ")
                    + Sql::value(base) + Sql(") > 0"),
                QStringLiteral("打开数据库出错")))
            return {};
        return base
            + QString::number(query.integer(QStringLiteral("SerialCount")) + 1)
                  .rightJustified(2, QLatin1Char('0'));
    }
    if (!RunQuery(query,
            Sql("Select Count(*) As SerialCount From MoneyTable Where MoneyKind = ") + Sql::value(kind),
            Texts::DatabaseOpenFailed))
        return {};
    return prefix
        + QString::number(query.integer(QStringLiteral("SerialCount")) + 1)
              .rightJustified(6, QLatin1Char('0'));
}
