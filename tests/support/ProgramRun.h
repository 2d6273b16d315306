#pragma once

// A whole program run for tests: the program started in its own program and lock folders with
// the seams scripted, logged into the Default ledger; and rows written straight into a ledger
// file through a private connection.

#include "app/MainForm.h"
#include "app/Program.h"
#include "app/SettingsPage.h"
#include "storage/PublicFunction.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace TestSupport {

inline const QString Cashier = QStringLiteral("出纳");
inline const QString Administrator = QStringLiteral("管理员");
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

    qint64 addAccount(const QString &accountName, int type, double base, const QString &owner = Cashier)
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
            {income ? QStringLiteral("财务收入") : QStringLiteral("财务支出"), account, owner, IsoDate(day),
                IsoDate(day), income ? amount : 0.0, income ? 0.0 : -amount, amount, QStringLiteral("测试"),
                owner})
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

template<typename T> T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qWarning("no %s", qPrintable(name));
    return found;
}

// Triggers the action of that object name in a dialog or window.
inline void trigger(const QObject *parent, const QString &actionName)
{
    auto *action = child<QAction>(parent, actionName);
    QVERIFY2(action, qPrintable(actionName));
    action->trigger();
}

// Logs in at the login dialog: picks the user, types the password, presses 软件登录.
inline Seams::DialogScript loginAs(const QString &user, const QString &password = QString())
{
    return [user, password](QDialog *dialog) {
        auto *users = child<QComboBox>(dialog, QStringLiteral("ComboBox1"));
        auto *key = child<QLineEdit>(dialog, QStringLiteral("Edit1"));
        QVERIFY(users && key);
        const int index = users->findText(user);
        QVERIFY2(index >= 0, qPrintable(user));
        users->setCurrentIndex(index);
        key->setText(password);
        trigger(dialog, QStringLiteral("ActionLogin"));
    };
}

inline const Seams::DialogScript CloseBox = [](QDialog *dialog) { dialog->close(); };

// One program run in its own program and lock folders, with the seams scripted.
struct Run {
    ProgramFolder folder;
    QTemporaryDir lockDir;
    Seams seams;
    std::unique_ptr<Program> program;

    QString settings() const { return folder.filePath(QStringLiteral("Quillbrook.ini")); }
    void writeSetting(const QString &key, const QString &value) const
    {
        WriteSetting(SettingSections::Main, key, value, settings());
    }
    QString readSetting(const QString &key) const
    {
        return ReadSetting(SettingSections::Main, key, QStringLiteral("<none>"), settings());
    }
    std::unique_ptr<LedgerFile> ledger() const
    {
        return std::make_unique<LedgerFile>(folder.filePath(DefaultLedger));
    }
    Program &make()
    {
        program = std::make_unique<Program>(folder.path(), lockDir.path());
        return *program;
    }
    bool start() { return make().start(); }
    // Starts on the Default ledger and logs in as user; for every user but the administrator
    // the book choice after login is closed with its close box unless bookChoice scripts it.
    bool startAs(const QString &user, Seams::DialogScript bookChoice = CloseBox)
    {
        writeSetting(QStringLiteral("LoginMode"), SettingTexts::LoginModeAutomatic);
        writeSetting(QStringLiteral("LoginDatabase"), folder.filePath(DefaultLedger));
        seams.onDialog(QStringLiteral("TFormLogin"), loginAs(user));
        if (user != Administrator)
            seams.onDialog(QStringLiteral("TFormChose"), std::move(bookChoice));
        return start();
    }
    TFormMain *window() const { return program->mainWindow(); }
};

} // namespace TestSupport
