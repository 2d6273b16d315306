#include "storage/Capitals.h"

namespace {
const QChar WideSpace(0x3000);
} // namespace

QString DigitToCapital(const QString &digit)
{
    static const QString capitals = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    if (digit.size() == 1 && digit[0] >= QLatin1Char('0') && digit[0] <= QLatin1Char('9'))
        return QString(capitals[digit[0].unicode() - '0']);
    return QStringLiteral("拾");
}

QString CapitalUnit(int position)
{
    static const QString low = QStringLiteral("分角元");
    if (position < 3)
        return QString(low[position]) + WideSpace;
    // Powers of ten of the yuan: 拾 佰 仟 in every group of four, the groups marked 万 and 亿
    // in turn (万, 亿, 万亿, 亿亿, …).
    const int power = position - 2;
    static const QString inGroup = QStringLiteral("　拾佰仟");
    if (power % 4 != 0)
        return QString(inGroup[power % 4]) + WideSpace;
    return (power % 8 == 4 ? QStringLiteral("万") : QStringLiteral("亿")) + WideSpace;
}

QString AmountToCapitals(const QString &fenDigits)
{
    QString result;
    QString rest = fenDigits;
    for (int position = 0; !rest.isEmpty(); ++position) {
        const QString digit = rest.right(1);
        rest.chop(1);
        result.prepend(DigitToCapital(digit) + CapitalUnit(position));
    }
    return result;
}
