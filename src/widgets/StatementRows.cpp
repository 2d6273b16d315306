#include "widgets/StatementRows.h"

#include "platform/Seams.h"
#include "storage/Query.h"
#include "storage/ShareDM.h"

#include <QSqlDatabase>

std::shared_ptr<const StatementRows> StatementRows::open(const Sql &statement, const QString &failureMessage)
{
    auto rows = std::make_shared<StatementRows>();
    QString error;
    if (!rows->model.open(statement, &error)) {
        Platform::ShowMessage(failureMessage);
        return nullptr;
    }
    return rows;
}

QList<double> StatementRows::fieldSums(const QStringList &fields, bool absolute) const
{
    QList<double> sums;
    if (!absolute) {
        for (const QString &f : fields)
            sums.append(model.fieldSum(f).toDouble());
        return sums;
    }
    if (fields.isEmpty() || rowCount() == 0)
        return QList<double>(fields.size(), 0.0);
    Sql sql("Select 0");
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString name = QString(fields[i]).replace(QLatin1Char('"'), QLatin1String("\"\""));
        sql += Sql(QStringLiteral(", Total(Abs(\"%1\")) As S%2").arg(name).arg(i));
    }
    sql += Sql(" From (") + WithoutTrailingOrderBy(model.statement()) + Sql(")");
    Query q;
    QString error;
    // A statement SQL cannot sum this way is summed by walking its rows.
    if (!ShareDataModule || !q.open(sql, ShareDataModule->connection(), &error))
        return RowSource::fieldSums(fields, absolute);
    for (qsizetype i = 0; i < fields.size(); ++i)
        sums.append(q.valueAt(0, QStringLiteral("S%1").arg(i)).toDouble());
    return sums;
}
