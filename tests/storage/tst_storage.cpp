#include "storage/PublicFunction.h"
#include "storage/Schema.h"
#include "storage/ShareDM.h"
#include "support/LedgerFile.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"
#include "widgets/FormParts.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

using namespace TestSupport;

class TestStorage : public TestSupport::FixtureTest
{
    Q_OBJECT

private:
    // Reads one column of a file's database through a private connection.
    static QVariantList column(const QString &path, const QString &sql, int index = 0)
    {
        return LedgerFile(path, LedgerFile::ReadOnly).column(sql, index);
    }
    static QStringList texts(const QVariantList &values)
    {
        QStringList out;
        for (const QVariant &v : values)
            out.append(v.toString());
        return out;
    }

private slots:
    void init() { QVERIFY(makeFixture()); }
    void cleanup() { dropFixture(); }

    void isNumericText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("12.50") << "12.50" << true;
        QTest::newRow("several points") << "1.2.3" << true;
        QTest::newRow("point alone") << "." << true;
        QTest::newRow("minus") << "-5" << false;
        QTest::newRow("plus") << "+5" << false;
        QTest::newRow("leading space") << " 5" << false;
        QTest::newRow("thousands separator") << "1,000" << false;
        QTest::newRow("full-width digits") << QStringLiteral("１２") << false;
        QTest::newRow("exponent") << "1e5" << false;
    }
    void isNumericText()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(IsNumericText(text), expected);
    }

    void isValidLedgerName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("expected");
        QTest::newRow("chinese") << QStringLiteral("日常帐套") << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("quote is allowed") << "O'Neil" << true;
        for (const QString c : {"/", "\\", ":", "*", "?", "\"", "<", ">", "|", "."})
            QTest::newRow(qPrintable("holds " + c))
                << QStringLiteral("帐") + c + QStringLiteral("套") << false;
        for (const QChar c :
            {QChar(0x01), QChar(u'\t'), QChar(u'\n'), QChar(u'\r'), QChar(0x7f), QChar(0x85)})
            QTest::newRow(qPrintable(QStringLiteral("holds control character %1").arg(c.unicode())))
                << QStringLiteral("帐") + c + QStringLiteral("套") << false;
        QTest::newRow("full-width space is allowed") << QStringLiteral("日常　帐套") << true;
    }
    void isValidLedgerName()
    {
        QFETCH(QString, name);
        QFETCH(bool, expected);
        QCOMPARE(IsValidLedgerName(name), expected);
    }

    void roundMoney_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << 10.0 << "10";
        QTest::newRow("pi") << 3.14159 << "3.14";
        QTest::newRow("half cent to even") << 0.125 << "0.12";
        QTest::newRow("negative") << -7.5 << "-7.5";
        QTest::newRow("trailing zero dropped") << 12.50 << "12.5";
        QTest::newRow("tiny negative is zero") << -0.001 << "0";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("millions") << 1234567.891 << "1234567.89";
        QTest::newRow("large") << 98765432.1 << "98765432.1";
        QTest::newRow("the largest amount") << MaxAmount << "9999999999.99";
        // A million of them: written out, never with an exponent.
        QTest::newRow("a sum beyond fifteen digits") << 1e16 << "10000000000000000";
        QTest::newRow("a negative sum beyond fifteen digits") << -12345678901234.5 << "-12345678901234.5";
    }
    void roundMoney()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(RoundMoney(value), expected);
    }

    void selectComboText()
    {
        QComboBox combo;
        combo.addItems({"a", "b", "a"});
        combo.setCurrentIndex(1);
        SelectComboText(&combo, "a");
        QCOMPARE(combo.currentIndex(), 2);
        combo.setCurrentIndex(1);
        SelectComboText(&combo, "c");
        QCOMPARE(combo.currentIndex(), 1);
    }

    void loadCombo()
    {
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        QComboBox combo;
        LoadCombo(&combo,
            Sql("Select * From Parameter Where ParameterType = 3 And ParameterValue = ") + Sql::value("none"),
            true, "ParameterValue");
        QCOMPARE(combo.count(), 1);
        QCOMPARE(combo.currentText(), QStringLiteral("所有"));

        LoadCombo(&combo, Sql("Select * From Power"), false, "PowerName");
        QCOMPARE(combo.count(), 2);
        QCOMPARE(combo.itemText(0), QStringLiteral("管理员"));
        QCOMPARE(combo.currentIndex(), 0);

        LoadCombo(&combo, Sql("Select * From NoSuchTable"), true, "PowerName");
        QCOMPARE(combo.count(), 1);
        QCOMPARE(seams->messageTexts(), QStringList {QStringLiteral("LoadCombo失败")});
    }

    void readSettingDefaults()
    {
        QVERIFY(!QFile::exists(Session().SettingsPath));
        QCOMPARE(ReadSetting(Settings::LoginMode, QStringLiteral("软件启动时首先弹出帐套选择框")),
            QStringLiteral("软件启动时首先弹出帐套选择框"));
        QVERIFY(WriteSetting(Settings::UserName, QStringLiteral("出纳")));
        QCOMPARE(ReadSetting(Settings::AccountBook, "1"), QStringLiteral("1"));
        QCOMPARE(ReadSetting("Quillbrook3", "username", "", Session().SettingsPath), QStringLiteral("出纳"));
    }

    void failuresShowTheirMessages()
    {
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        Query &query = data->module()->ADOQueryTemp;
        QVERIFY(RunQuery(query, Sql("Select * From Power"), Texts::DatabaseOpenFailed));
        QVERIFY(query.isOpen());
        QVERIFY(!RunQuery(query, Sql("Select * From Nowhere"), QStringLiteral("刷新帐户房子时出错")));
        QVERIFY(!query.isOpen());
        QCOMPARE(query.rowCount(), 0);
        bool ok = true;
        QCOMPARE(ExecSql(Sql("Update Nowhere Set X = 1"), &ok), 0);
        QVERIFY(!ok);
        QCOMPARE(seams->messageTexts(),
            (QStringList {QStringLiteral("刷新帐户房子时出错"), QStringLiteral("SQL命令执行出错")}));
        QCOMPARE(ExecSql(Sql("Update PrintTable Set PrintEnable = ") + Sql::value(true)
                     + Sql(" Where PrintIndex <= 3")),
            3);
    }

    void quotedTextRoundTrips()
    {
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        const QString name = QStringLiteral("O'Brien's 帐户'); Delete From Account; --");
        const qint64 id
            = InsertRow("Account", {{"AccountName", name}, {"AccountBase", 12.5}, {"AccountType", 1}});
        QVERIFY(id > 1);
        Query &query = data->module()->ADOQueryTemp;
        QVERIFY(RunQuery(query, Sql("Select * From Account Where AccountName = ") + Sql::value(name),
            Texts::DatabaseOpenFailed));
        QCOMPARE(query.rowCount(), 1);
        QCOMPARE(query.text("AccountName"), name);
        QCOMPARE(query.integer("AccountIndex"), id);
        const Sql filter = Sql(" And (AccountPower = ") + Sql::value(QStringLiteral("出'纳")) + Sql(")");
        QVERIFY(UpdateRow("Account", "AccountIndex", id, {{"AccountPower", QStringLiteral("出'纳")}}));
        QVERIFY(RunQuery(query, Sql("Select * From Account Where (AccountIndex > 1)") + filter,
            Texts::DatabaseOpenFailed));
        QCOMPARE(query.rowCount(), 1);
        QVERIFY(RunQuery(query,
            Sql("Select * From Account Where instr(AccountName, ") + Sql::value("n's") + Sql(") > 0"),
            Texts::DatabaseOpenFailed));
        QCOMPARE(query.rowCount(), 1);
    }

    void isoDatesCompareAndGroupAsDays()
    {
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        const QList<QDate> days
            = {QDate(2026, 10, 2), QDate(2026, 1, 9), QDate(2026, 1, 10), QDate(2026, 1, 10)};
        for (const QDate &day : days)
            QVERIFY(InsertRow("MoneyTable",
                        {{"MoneyKind", QStringLiteral("财务收入")}, {"MoneyAccount", 2},
                            {"MoneyCreateTime", day}, {"MoneySum", 1.0}})
                > 1);
        Query &query = data->module()->ADOQueryTemp;
        QVERIFY(RunQuery(query,
            Sql("Select MoneyCreateTime, Count(*) As N From MoneyTable Where (MoneyAccount = 2)"
                " And (MoneyCreateTime Between ")
                + Sql::value(QDate(2026, 1, 9)) + Sql(" And ") + Sql::value(QDate(2026, 9, 30))
                + Sql(") Group By MoneyCreateTime Order By MoneyCreateTime"),
            Texts::DatabaseOpenFailed));
        QCOMPARE(query.rowCount(), 2);
        QCOMPARE(query.date("MoneyCreateTime"), QDate(2026, 1, 9));
        query.next();
        QCOMPARE(query.date("MoneyCreateTime"), QDate(2026, 1, 10));
        QCOMPARE(query.integer("N"), 2);
        QVERIFY(RunQuery(query,
            Sql("Select * From MoneyTable Where MoneyCreateTime = ") + Sql::value(QDate(2026, 10, 2)),
            Texts::DatabaseOpenFailed));
        QCOMPARE(query.rowCount(), 1);
        QCOMPARE(query.text("MoneyCreateTime"), QStringLiteral("2026-10-02"));
    }

    void transactionUndoesWithoutCommit()
    {
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        {
            Transaction transaction;
            QVERIFY(transaction.isActive());
            InsertRow("Account", {{"AccountName", "A"}});
            Transaction inner;
            InsertRow("Account", {{"AccountName", "B"}});
            QVERIFY(inner.commit());
        }
        Query &query = data->module()->ADOQueryTemp;
        QVERIFY(
            RunQuery(query, Sql("Select * From Account Where AccountIndex > 1"), Texts::DatabaseOpenFailed));
        QCOMPARE(query.rowCount(), 0);
        {
            Transaction transaction;
            InsertRow("Account", {{"AccountName", "A"}});
            QVERIFY(transaction.commit());
        }
        QVERIFY(
            RunQuery(query, Sql("Select * From Account Where AccountIndex > 1"), Texts::DatabaseOpenFailed));
        QCOMPARE(query.rowCount(), 1);
    }

    void refusesWhatIsNotALedger_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("copyOf");
        QTest::newRow("text file") << QByteArray("这不是数据库 not a database\n") << "";
        QTest::newRow("truncated ledger") << QByteArray() << "truncate";
        QTest::newRow("master database") << QByteArray() << "Quillbrook3.MDB";
        QTest::newRow("missing file") << QByteArray() << "missing";
    }
    void refusesWhatIsNotALedger()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, copyOf);
        const QString path = folder->filePath("Other.ddb");
        if (copyOf == "truncate") {
            QFile ledger(folder->filePath("DataBase/Default.ddb"));
            QVERIFY(ledger.open(QIODevice::ReadOnly));
            content = ledger.read(5000);
        } else if (!copyOf.isEmpty() && copyOf != "missing") {
            QVERIFY(QFile::copy(folder->filePath(copyOf), path));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            content = f.readAll();
        }
        if (copyOf != "missing" && !QFile::exists(path)) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        QString error;
        QVERIFY(!OpenLedgerConnection(path, DatabaseKind::Ledger, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!data->module()->isConnected());
        if (copyOf == "missing") {
            QVERIFY(!QFile::exists(path));
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), content);
        }
    }

    // A ledger of a newer version of the program is refused with its own message and left
    // exactly as it was: its totals and guards are not ours to replace.
    void newerLedgerRefusedUntouched()
    {
        const QString path = folder->filePath(DefaultLedger);
        {
            LedgerFile ledger(path);
            QVERIFY(ledger.exec(QStringLiteral("PRAGMA user_version = %1").arg(LedgerSchemaVersion + 1)));
            QVERIFY(ledger.exec(QStringLiteral("Create Table LaterFeature (Id INTEGER)")));
            QVERIFY(ledger.exec(QStringLiteral("Drop Trigger MoneyTotalsDelete")));
            QVERIFY(ledger.exec(QStringLiteral(
                "Create Trigger MoneyTotalsDelete After Delete On MoneyTable Begin Select 2; End")));
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QString error;
        QVERIFY(!OpenLedgerConnection(path, DatabaseKind::Ledger, &error));
        QCOMPARE(error, QStringLiteral("该帐套由更新版本的软件创建，请升级本软件后再打开"));
        QVERIFY(!data->module()->isConnected());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    // A ledger of before the version mark and the amount guards gets both when it is opened.
    void olderLedgerBroughtUpToDate()
    {
        const QString path = folder->filePath(DefaultLedger);
        {
            LedgerFile ledger(path);
            QVERIFY(ledger.exec(QStringLiteral("PRAGMA user_version = 0")));
            QVERIFY(ledger.exec(QStringLiteral("Drop Trigger MoneyAmountInsert")));
            QVERIFY(ledger.exec(QStringLiteral("Drop Trigger MoneyAmountUpdate")));
        }
        QString error;
        QVERIFY2(OpenLedgerConnection(path, DatabaseKind::Ledger, &error), qPrintable(error));
        ShareDataModule->closeConnection();
        LedgerFile ledger(path);
        QCOMPARE(ledger.column(QStringLiteral("PRAGMA user_version")), QVariantList {LedgerSchemaVersion});
        QCOMPARE(ledger.column(QStringLiteral("Select name From sqlite_master Where name Like 'MoneyAmount%' "
                                              "Order By name")),
            (QVariantList {"MoneyAmountInsert", "MoneyAmountUpdate"}));
        QVERIFY(!ledger.exec(QStringLiteral("Insert Into MoneyTable (MoneySum) Values (1e11)")));
        QVERIFY(ledger.exec(QStringLiteral("Insert Into MoneyTable (MoneySum) Values (9999999999.99)")));
    }

    void resolvesRunPath()
    {
        const QString dir = Session().ProgramDir;
        QCOMPARE(ResolveRunPath(QStringLiteral("[RunPath]\\DataBase\\Demo.ddb")), dir + "DataBase/Demo.ddb");
        QCOMPARE(
            ResolveRunPath(QStringLiteral("[runpath]\\a\\[RUNPATH]\\b.ddb")), dir + "a/" + dir + "b.ddb");
        QCOMPARE(ResolveRunPath(QStringLiteral("/data/x.ddb")), QStringLiteral("/data/x.ddb"));
        QCOMPARE(ShortDateText(QDate(2006, 6, 15)), QStringLiteral("2006-6-15"));
        QCOMPARE(ShortDateText(QDate(2026, 12, 1)), QStringLiteral("2026-12-1"));
    }

    void templateHoldsEveryTableAndColumn()
    {
        const QHash<QString, QStringList> expected = {
            {"Account",
                {"AccountIndex", "AccountName", "AccountBase", "AccountRemark", "AccountType",
                    "AccountPower"}},
            {"MoneyTable",
                {"MoneyIndex", "MoneyKind", "MoneyGetPay", "MoneySerial", "MoneyAccount", "MoneyUser",
                    "MoneyRecordTime", "MoneyCreateTime", "MoneyIn", "MoneyOut", "MoneySum", "MoneyReason",
                    "MoneyMan", "MoneyType", "MoneyToken", "MoneyRemark", "MoneyPower"}},
            {"GetPay",
                {"GetPayIndex", "GetPayTime", "GetPayUser", "GetPayKind", "GetPaySum", "GetPaySum2",
                    "GetPaySum3", "GetPayReason", "GetPayRemark", "GetPayMan", "GetPayPower"}},
            {"Parameter", {"ParameterIndex", "ParameterType", "ParameterValue"}},
            {"Power", {"PowerIndex", "PowerName", "PowerKey", "PowerRange"}},
            {"PrintTable",
                {"PrintIndex", "PrintEnable", "PrintValue1", "PrintValue2", "PrintValue3", "PrintValue4",
                    "PrintValue5", "PrintValue6", "PrintValue7", "PrintValue8", "PrintValue9",
                    "PrintValue10"}},
            {"PrintDay",
                {"DayEnable", "DayName", "DayGetNum", "DayGetSum", "DayPayNum", "DayPaySum", "DayBalance"}},
        };
        for (const QString &file : {"QuillShare.dll", "DataBase/Default.ddb", "DataBase/Demo.ddb"}) {
            const QString path = folder->filePath(file);
            for (auto it = expected.begin(); it != expected.end(); ++it) {
                const QStringList columns = texts(
                    column(path, QStringLiteral("Select name From pragma_table_info('%1')").arg(it.key())));
                for (const QString &c : it.value())
                    QVERIFY2(columns.contains(c), qPrintable(file + ": " + it.key() + "." + c));
            }
        }
        const QStringList master = texts(
            column(folder->filePath("Quillbrook3.MDB"), "Select name From pragma_table_info('SoftData')"));
        QCOMPARE(master,
            (QStringList {"SoftDataIndex", "SoftDataName", "SoftDataPath", "SoftDataRemark", "SoftDataTips",
                "SoftDataTime", "SoftDataState"}));
    }

    void templateRowsUsersPoolAndLists()
    {
        const QString t = folder->filePath("QuillShare.dll");
        for (const QString table : {"Account", "MoneyTable", "GetPay"})
            QCOMPARE(column(t,
                         QStringLiteral("Select Count(*) From %1 Where %1Index = 1")
                             .arg(table)
                             .replace("MoneyTableIndex", "MoneyIndex")),
                QVariantList {1});
        QCOMPARE(column(t, "Select Count(*) From PrintTable Where PrintIndex = 1"), QVariantList {1});
        QCOMPARE(column(t, "Select Count(*) From Account Where AccountIndex > 1"), QVariantList {0});
        QCOMPARE(texts(column(t, "Select PowerName From Power Order By PowerIndex")),
            (QStringList {QStringLiteral("管理员"), QStringLiteral("出纳")}));
        QCOMPARE(texts(column(t, "Select PowerKey From Power")), (QStringList {"", ""}));
        const QString cashierRights
            = column(t, "Select PowerRange From Power Where PowerName = '出纳'").value(0).toString();
        for (const QString right : {"财务收入", "财务支出", "财务平调", "数据总览", "数据修改", "财务报表"})
            QVERIFY2(cashierRights.contains(right), qPrintable(right));
        QVERIFY(column(t, "Select Count(*) From PrintTable").value(0).toInt() >= 100);
        for (int type = 0; type <= 5; ++type)
            QVERIFY(
                column(t, QStringLiteral("Select Count(*) From Parameter Where ParameterType = %1").arg(type))
                    .value(0)
                    .toInt()
                > 0);
        QCOMPARE(
            texts(column(
                t, "Select name From sqlite_master Where type = 'index' And name Like 'Idx%' Order By name")),
            (QStringList {"IdxAccountName", "IdxGetPayKindTime", "IdxMoneyAccountDay", "IdxMoneyDay",
                "IdxMoneyGetPay", "IdxParameterTypeValue"}));
        // The balance sum of an account panel is answered from the index alone.
        const QStringList plan = texts(column(t,
            "Explain Query Plan Select Round(Sum(MoneySum),2) From MoneyTable "
            "Where (MoneyAccount = 2) And (MoneyCreateTime <= '2026-06-15') And (MoneyPower = '出纳')",
            3));
        QVERIFY2(plan.join(' ').contains("COVERING INDEX IdxMoneyAccountDay"), qPrintable(plan.join(' ')));
    }

    void masterRegistersDemoAndEverydayLedgers()
    {
        const QString m = folder->filePath("Quillbrook3.MDB");
        QCOMPARE(column(m, "Select Count(*) From SoftData Where SoftDataIndex = 1"), QVariantList {1});
        const QString tips
            = column(m, "Select SoftDataTips From SoftData Where SoftDataName = '软件演示帐套'")
                  .value(0)
                  .toString();
        QVERIFY(tips.contains("[XXXX]") && tips.contains("[YYYY]"));
        QCOMPARE(texts(column(
                     m, "Select SoftDataPath From SoftData Where SoftDataIndex > 1 Order By SoftDataIndex")),
            (QStringList {"[RunPath]\\DataBase\\Demo.ddb", "[RunPath]\\DataBase\\Default.ddb"}));
        QVERIFY(QFile::exists(folder->filePath("DataBase/Default.ddb")));
        for (const QString page : {"Notice.html", "Help.html"})
            QVERIFY2(QFile::exists(folder->filePath(page)), qPrintable(page));
    }

    void demoLedgerHoldsEveryKindOfRow()
    {
        const QString d = folder->filePath("DataBase/Demo.ddb");
        auto count = [&](const QString &where) {
            return column(d, "Select Count(*) From " + where).value(0).toInt();
        };
        QVERIFY(count("Account Where AccountIndex > 1 And AccountType = 1") >= 2);
        QVERIFY(count("Account Where AccountIndex > 1 And AccountType = 2") >= 1);
        QVERIFY(count("MoneyTable Where MoneyKind = '财务收入' And MoneyReason Not Like '%平调'") > 20);
        QVERIFY(count("MoneyTable Where MoneyKind = '财务支出' And MoneyReason Not Like '%平调'") > 20);
        QVERIFY(count("MoneyTable Where MoneyReason = '帐户平调'") >= 2);
        QVERIFY(count("MoneyTable Where MoneyReason = '帐簿平调'") >= 2);
        QCOMPARE(
            count("MoneyTable Where MoneyReason Like '%平调' And (MoneySerial Is Not Null Or MoneyIn <> 0)"),
            0);
        QVERIFY(count("GetPay Where GetPayKind = '应收' And GetPaySum2 > 0 And GetPaySum3 > 0") >= 1);
        QVERIFY(count("GetPay Where GetPayKind = '应付' And GetPaySum2 > 0 And GetPaySum3 > 0") >= 1);
        QVERIFY(count("GetPay Where GetPayIndex > 1 And GetPaySum3 = 0") >= 1);
        QCOMPARE(count("GetPay g Where GetPayIndex > 1 And GetPaySum2 <> (Select "
                       "abs(round(coalesce(sum(MoneySum),0),2)) "
                       "From MoneyTable Where MoneyGetPay = g.GetPayIndex)"),
            0);
        const QString reference
            = column(d, "Select MoneyRecordTime From MoneyTable Where MoneyIndex = 1").value(0).toString();
        const QString lastDay = column(d, "Select Max(MoneyCreateTime) From MoneyTable Where MoneyIndex > 1")
                                    .value(0)
                                    .toString();
        QCOMPARE(reference, lastDay);
        const QString firstDay = column(d, "Select Min(MoneyCreateTime) From MoneyTable Where MoneyIndex > 1")
                                     .value(0)
                                     .toString();
        QVERIFY(
            QDate::fromString(firstDay, Qt::ISODate).daysTo(QDate::fromString(lastDay, Qt::ISODate)) >= 80);
    }
};

QUILL_TEST_MAIN(TestStorage)
#include "tst_storage.moc"
