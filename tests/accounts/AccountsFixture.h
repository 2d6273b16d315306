#pragma once

// Helpers shared by the accounts tests: rows written straight into a ledger file, and a whole
// program run logged into the Default ledger with the seams scripted.

#include "app/MainForm.h"
#include "app/Program.h"
#include "app/SettingsPage.h"
#include "storage/PublicFunction.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace AccountsTest {

inline const QString Cashier = QStringLiteral("出纳");
inline const QString DefaultLedger = QStringLiteral("DataBase/Default.ddb");

// A private connection to a ledger file, apart from the program's shared one.
class LedgerFile
{
public:
    explicit LedgerFile(const QString &path) : name(QStringLiteral("fixture%1").arg(++counter))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qWarning("%s", qPrintable(db.lastError().text()));
    }
    ~LedgerFile()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    LedgerFile(const LedgerFile &) = delete;
    LedgerFile &operator=(const LedgerFile &) = delete;

    QVariant exec(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(QSqlDatabase::database(name));
        bool ok = q.prepare(sql);
        for (const QVariant &v : values)
            q.addBindValue(v);
        ok = ok && q.exec();
        if (!ok)
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return ok ? q.lastInsertId() : QVariant();
    }
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {})
    {
        QList<QVariantList> out;
        QSqlQuery q(QSqlDatabase::database(name));
        q.prepare(sql);
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (q.exec())
            while (q.next()) {
                QVariantList row;
                for (int i = 0; i < q.record().count(); ++i)
                    row.append(q.value(i));
                out.append(row);
            }
        else
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return out;
    }
    QVariant value(const QString &sql, const QVariantList &values = {})
    {
        const auto all = rows(sql, values);
        return all.isEmpty() ? QVariant() : all.constFirst().value(0);
    }

    qint64 addAccount(const QString &accountName, int type, double base,
                      const QString &owner = Cashier)
    {
        return exec(QStringLiteral("Insert Into Account (AccountName, AccountBase, AccountRemark, "
                                   "AccountType, AccountPower) Values (?, ?, '', ?, ?)"),
                    {accountName, base, type, owner})
            .toLongLong();
    }
    // An income (amount > 0) or expense entry on the day.
    qint64 addEntry(qint64 account, double amount, const QDate &day, const QString &owner = Cashier)
    {
        const bool income = amount >= 0;
        return exec(QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyUser, "
                                   "MoneyRecordTime, MoneyCreateTime, MoneyIn, MoneyOut, MoneySum, "
                                   "MoneyReason, MoneyPower) Values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {income ? QStringLiteral("财务收入") : QStringLiteral("财务支出"), account, owner,
                     IsoDate(day), IsoDate(day), income ? amount : 0.0, income ? 0.0 : -amount,
                     amount, QStringLiteral("测试"), owner})
            .toLongLong();
    }
    void addUser(const QString &user, const QString &range)
    {
        exec(QStringLiteral("Insert Into Power (PowerName, PowerKey, PowerRange) Values (?, '', ?)"),
             {user, range});
    }

private:
    QString name;
    static inline int counter = 0;
};

template <typename T> T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qWarning("no %s", qPrintable(name));
    return found;
}

inline TestSupport::Seams::DialogScript loginAs(const QString &user)
{
    return [user](QDialog *dialog) {
        auto *users = child<QComboBox>(dialog, QStringLiteral("ComboBox1"));
        QVERIFY(users);
        const int index = users->findText(user);
        QVERIFY2(index >= 0, qPrintable(user));
        users->setCurrentIndex(index);
        auto *login = child<QAction>(dialog, QStringLiteral("ActionLogin"));
        QVERIFY(login);
        login->trigger();
    };
}

inline const TestSupport::Seams::DialogScript CloseBox = [](QDialog *dialog) { dialog->close(); };

// One program run in its own program and lock folders, with the seams scripted.
struct Run {
    TestSupport::ProgramFolder folder;
    QTemporaryDir lockDir;
    TestSupport::Seams seams;
    std::unique_ptr<Program> program;

    QString settings() const { return folder.filePath(QStringLiteral("Quillbrook.ini")); }
    void writeSetting(const QString &key, const QString &value) const
    {
        WriteSetting(Texts::SettingsSection, key, value, settings());
    }
    QString readSetting(const QString &key) const
    {
        return ReadSetting(Texts::SettingsSection, key, QStringLiteral("<none>"), settings());
    }
    std::unique_ptr<LedgerFile> ledger() const
    {
        return std::make_unique<LedgerFile>(folder.filePath(DefaultLedger));
    }
    // Starts on the Default ledger and logs in as user; the book choice after login is closed
    // with its close box unless bookChoice scripts it.
    bool startAs(const QString &user, TestSupport::Seams::DialogScript bookChoice = CloseBox)
    {
        writeSetting(QStringLiteral("LoginMode"), SettingTexts::LoginModeAutomatic);
        writeSetting(QStringLiteral("LoginDatabase"), folder.filePath(DefaultLedger));
        seams.onDialog(QStringLiteral("TFormLogin"), loginAs(user));
        seams.onDialog(QStringLiteral("TFormChose"), std::move(bookChoice));
        program = std::make_unique<Program>(folder.path(), lockDir.path());
        return program->start();
    }
    TFormMain *window() const { return program->mainWindow(); }
};

} // namespace AccountsTest
