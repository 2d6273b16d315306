#include "LedgerFiles.h"

#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

bool CreateDatabase(const QString &path, const QStringList &statements, QString *error)
{
    QFile::remove(path);
    const QString name = QStringLiteral("create-") + QUuid::createUuid().toString(QUuid::Id128);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        if (!ok && error)
            *error = db.lastError().text();
        QSqlQuery q(db);
        for (const QString &statement : statements) {
            if (!ok)
                break;
            ok = q.exec(statement);
            if (!ok && error)
                *error = q.lastError().text() + QStringLiteral(": ") + statement;
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

namespace {
const QString AllRights = QStringLiteral("财务收入，财务支出，财务平调，数据总览，数据修改，财务报表");

struct PresetList {
    int type;
    QStringList items;
};

const QList<PresetList> &presetLists()
{
    static const QList<PresetList> lists = {
        {0,
            {QStringLiteral("办公费用"), QStringLiteral("差旅费用"), QStringLiteral("工资薪金"),
                QStringLiteral("采购货款"), QStringLiteral("房租物业"), QStringLiteral("水电燃气"),
                QStringLiteral("交通通讯"), QStringLiteral("业务招待"), QStringLiteral("税费缴纳"),
                QStringLiteral("其他支出")}},
        {1,
            {QStringLiteral("销售收入"), QStringLiteral("服务收入"), QStringLiteral("利息收入"),
                QStringLiteral("投资收益"), QStringLiteral("其他收入")}},
        {2,
            {QStringLiteral("日常收支"), QStringLiteral("经营收支"), QStringLiteral("往来款项"),
                QStringLiteral("其他类别")}},
        {3,
            {QStringLiteral("现金"), QStringLiteral("支票"), QStringLiteral("转帐"), QStringLiteral("汇款"),
                QStringLiteral("发票"), QStringLiteral("收据")}},
        {4, {QStringLiteral("零散客户")}},
        {5, {QStringLiteral("本人")}},
    };
    return lists;
}
} // namespace

bool FillTemplateRows(QString *error)
{
    Transaction transaction;
    const bool ok =
        // Reserved first rows: never listed, never counted.
        InsertRow(QStringLiteral("Account"),
            {{"AccountIndex", 1}, {"AccountName", QString()}, {"AccountBase", 0.0}, {"AccountType", 0},
                {"AccountRemark", QString()}, {"AccountPower", QString()}})
            == 1
        && InsertRow(QStringLiteral("MoneyTable"),
               {{"MoneyIndex", 1}, {"MoneyKind", QString()}, {"MoneyGetPay", 0}, {"MoneyAccount", 0},
                   {"MoneyRecordTime", QStringLiteral("2000-01-01")},
                   {"MoneyCreateTime", QStringLiteral("2000-01-01")}, {"MoneyIn", 0.0}, {"MoneyOut", 0.0},
                   {"MoneySum", 0.0}})
            == 1
        && InsertRow(QStringLiteral("GetPay"),
               {{"GetPayIndex", 1}, {"GetPayTime", QStringLiteral("2000-01-01")}, {"GetPayUser", QString()},
                   {"GetPayKind", QString()}, {"GetPaySum", 0.0}, {"GetPaySum2", 0.0}, {"GetPaySum3", 0.0}})
            == 1
        && InsertRow(QStringLiteral("Power"),
               {{"PowerName", QStringLiteral("管理员")}, {"PowerKey", QString()}, {"PowerRange", QString()}})
            > 0
        && InsertRow(QStringLiteral("Power"),
               {{"PowerName", QStringLiteral("出纳")}, {"PowerKey", QString()}, {"PowerRange", AllRights}})
            > 0;
    if (!ok) {
        *error = QStringLiteral("reserved rows");
        return false;
    }
    for (int i = 1; i <= PrintTablePoolSize; ++i)
        if (InsertRow(QStringLiteral("PrintTable"), {{"PrintIndex", i}, {"PrintEnable", false}}) < 0) {
            *error = QStringLiteral("PrintTable");
            return false;
        }
    for (const PresetList &list : presetLists())
        for (const QString &item : list.items)
            if (InsertRow(
                    QStringLiteral("Parameter"), {{"ParameterType", list.type}, {"ParameterValue", item}})
                < 0) {
                *error = QStringLiteral("Parameter");
                return false;
            }
    if (!transaction.commit()) {
        *error = QStringLiteral("commit");
        return false;
    }
    return true;
}

bool FillMasterRows(QString *error)
{
    Transaction transaction;
    const bool ok = InsertRow(QStringLiteral("SoftData"),
                        {{"SoftDataIndex", 1}, {"SoftDataName", QString()}, {"SoftDataPath", QString()},
                            {"SoftDataRemark", QString()}, {"SoftDataTips", QString()},
                            {"SoftDataTime", QStringLiteral("2000-01-01")}, {"SoftDataState", QString()}})
            == 1
        && InsertRow(QStringLiteral("SoftData"),
               {{"SoftDataName", QStringLiteral("软件演示帐套")},
                   {"SoftDataPath", QStringLiteral("[RunPath]\\DataBase\\Demo.ddb")},
                   {"SoftDataRemark", QStringLiteral("软件自带的演示数据，可随意练习各项功能")},
                   {"SoftDataTips", QStringLiteral("演示帐套（演示数据 [XXXX] 至 [YYYY]）")},
                   {"SoftDataTime", QStringLiteral("2026-07-01")}, {"SoftDataState", QStringLiteral("正常")}})
            > 0
        && InsertRow(QStringLiteral("SoftData"),
               {{"SoftDataName", QStringLiteral("日常帐套")},
                   {"SoftDataPath", QStringLiteral("[RunPath]\\DataBase\\Default.ddb")},
                   {"SoftDataRemark", QStringLiteral("日常记帐使用的帐套")},
                   {"SoftDataTips", QStringLiteral("日常帐套")},
                   {"SoftDataTime", QStringLiteral("2026-07-01")}, {"SoftDataState", QStringLiteral("正常")}})
            > 0;
    if (!ok || !transaction.commit()) {
        *error = QStringLiteral("SoftData");
        return false;
    }
    return true;
}
