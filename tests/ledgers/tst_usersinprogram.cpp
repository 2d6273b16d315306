#include "UsersFixture.h"
#include "app/MainForm.h"
#include "app/Session.h"
#include "app/SettingsPage.h"
#include "support/ProgramRun.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTabWidget>
#include <QTest>

using namespace UsersTest;

// The administrator's command in the running program, and its effect at the next login.
class TestUsersInProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void cashierWithoutRightsAtNextLogin()
    {
        Run run;
        QVERIFY(run.startAs(Administrator));
        TFormMain *w = run.window();
        Seams &seams = run.seams;

        auto *button = child<QAbstractButton>(w->tabPage(MainTab::Settings), "PowerButton");
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("权限设置"));
        seams.onDialog(QStringLiteral("TFormPower"), [](QDialog *l) {
            selectUser(l, Cashier);
            trigger(l, "ActionEdit");
        });
        seams.onDialog(QStringLiteral("TFormPower2"), [](QDialog *d) {
            setBoxes(d, 0);
            trigger(d, "ActionYes");
        });
        button->click();
        QCOMPARE(seams.messageTexts(), QStringList {"用户权限修改成功"});
        QCOMPARE(storedUser(Cashier), QStringLiteral("|"));

        // The cashier now has only the tabs every user has and none of the gated buttons.
        seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Cashier));
        seams.onDialog(QStringLiteral("TFormChose"), [](QDialog *) {});
        w->action(QStringLiteral("ActionReLogin"))->trigger();
        QCOMPARE(visibleTabs(w), (QStringList {"帐户状况", "日记帐簿", "应收应付"}));
        for (const RightButton &rb : RightButtons()) {
            auto *gated = w->findChild<QAbstractButton *>(QString::fromLatin1(rb.button));
            QVERIFY2(!gated || gated->isHidden(), rb.button);
        }
    }
};

QUILL_TEST_MAIN(TestUsersInProgram)
#include "tst_usersinprogram.moc"
