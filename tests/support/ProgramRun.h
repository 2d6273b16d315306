#pragma once

// A whole program run for tests: the program started in its own program and lock folders with
// the seams scripted, logged into the Default ledger.

#include "app/MainForm.h"
#include "app/Program.h"
#include "app/SettingsPage.h"
#include "storage/PublicFunction.h"
#include "support/LedgerFile.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace TestSupport {

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
    // Reopen this ledger at start instead of asking.
    void rememberLedger(const QString &path) const
    {
        writeSetting(QStringLiteral("LoginMode"), SettingTexts::LoginModeAutomatic);
        writeSetting(QStringLiteral("LoginDatabase"), path);
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
        rememberLedger(folder.filePath(DefaultLedger));
        seams.onDialog(QStringLiteral("TFormLogin"), loginAs(user));
        if (user != Administrator)
            seams.onDialog(QStringLiteral("TFormChose"), std::move(bookChoice));
        return start();
    }
    TFormMain *window() const { return program->mainWindow(); }
};

// The captions of the main window's tabs that the user's rights show.
inline QStringList visibleTabs(TFormMain *window)
{
    QStringList tabs;
    for (int i = 0; i < window->tabs()->count(); ++i)
        if (window->tabs()->isTabVisible(i))
            tabs.append(window->tabs()->tabText(i));
    return tabs;
}

} // namespace TestSupport
