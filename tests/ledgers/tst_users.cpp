#include "UsersFixture.h"
#include "app/Session.h"
#include "ledgers/PowerForm.h"
#include "ledgers/PowerForm2.h"
#include "ledgers/Rights.h"
#include "ledgers/UserManagement.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

using namespace UsersTest;

namespace {
// The users as the list shows them: one "name|key|range" text per row.
QStringList gridRows(QDialog *list)
{
    QStringList rows;
    QTableWidget *grid = userGrid(list);
    for (int r = 0; r < grid->rowCount(); ++r)
        rows.append(grid->item(r, 0)->text() + QLatin1Char('|') + grid->item(r, 1)->text() + QLatin1Char('|')
            + grid->item(r, 2)->text());
    return rows;
}

int userCount()
{
    Query q;
    RunQuery(q, Sql("Select * From Power"), QStringLiteral("peek"));
    return q.rowCount();
}

void setStored(const QString &user, const QString &column, const QString &value)
{
    ExecSql(Sql(QStringLiteral("Update Power Set %1 = ").arg(column)) + Sql::value(value)
        + Sql(" Where PowerName = ") + Sql::value(user));
}

int boxMask(QDialog *d)
{
    int mask = 0;
    for (int i = 0; i < 6; ++i)
        if (rightBox(d, i)->isChecked())
            mask |= 1 << i;
    return mask;
}

} // namespace

class TestUsers : public TestSupport::FixtureTest
{
    Q_OBJECT

private:
    std::unique_ptr<TFormPower> list;
    std::unique_ptr<TFormPower2> dialog;

    // Shows the user list; script runs on it while it is open.
    void runList(Seams::DialogScript script)
    {
        seams->onDialog(QStringLiteral("TFormPower"), std::move(script));
        Platform::ShowModal(list.get());
    }
    // Opens the user dialog for name from the list, fills it with script.
    void editFromList(const QString &name, Seams::DialogScript script, int *result = nullptr)
    {
        seams->onDialog(QStringLiteral("TFormPower2"), [this, script, result](QDialog *d) {
            script(d);
            if (result)
                *result = d->isVisible() ? -1 : d->result();
        });
        runList([name](QDialog *l) {
            selectUser(l, name);
            trigger(l, "ActionEdit");
        });
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        QVERIFY(makeFixture());
        QVERIFY(data->openLedger(DefaultLedger));
        list = std::make_unique<TFormPower>();
        dialog = std::make_unique<TFormPower2>();
        list->setUserDialog(dialog.get());
    }
    void cleanup()
    {
        list.reset();
        dialog.reset();
        dropFixture();
    }

    void rightsRange_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("range");
        QTest::newRow("none") << 0 << QString();
        QTest::newRow("all") << 0x3f << AllRights;
        QTest::newRow("one") << 0x10 << QStringLiteral("数据修改");
        QTest::newRow("first and last") << 0x21 << QStringLiteral("财务收入，财务报表");
        QTest::newRow("middle") << 0x0e << QStringLiteral("财务支出，财务平调，数据总览");
    }
    void rightsRange()
    {
        QFETCH(int, mask);
        QFETCH(QString, range);
        const UserRights rights {
            bool(mask & 1), bool(mask & 2), bool(mask & 4), bool(mask & 8), bool(mask & 16), bool(mask & 32)};
        QCOMPARE(Users::RightsRange(rights), range);
        // What is written reads back as the same rights at login.
        QCOMPARE(ParseRights(range), rights);
    }

    void listShowsTheUsers()
    {
        setStored(Cashier, QStringLiteral("PowerKey"), QStringLiteral("abc"));
        runList([](QDialog *l) {
            QCOMPARE(l->windowTitle(), QStringLiteral("用户权限管理"));
            QTableWidget *grid = userGrid(l);
            QVERIFY(grid);
            QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
            QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
            const QStringList captions {"用户名称", "用户密码", "用户权限"};
            const int widths[] = {80, 80, 360};
            QCOMPARE(grid->columnCount(), 3);
            for (int c = 0; c < 3; ++c) {
                QCOMPARE(grid->horizontalHeaderItem(c)->text(), captions[c]);
                QCOMPARE(grid->columnWidth(c), widths[c]);
            }
            // Passwords are shown as stored.
            QCOMPARE(gridRows(l), (QStringList {Administrator + "||", Cashier + "|abc|" + AllRights}));
            QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);

            auto *newButton = child<QAbstractButton>(l, "ButtonActionNew");
            QVERIFY(newButton);
            QCOMPARE(newButton->text(), QStringLiteral("新增用户"));
            QVERIFY(newButton->isHidden());
            for (const char *name : {"ButtonActionEdit", "ButtonActionDelete", "ButtonActionCancel"})
                QVERIFY2(child<QAbstractButton>(l, name)->isVisible(), name);
            trigger(l, "ActionCancel");
            QVERIFY(!l->isVisible());
        });
        // The button belongs to the multi-user edition.
        Session().MultiUserEdition = true;
        runList([](QDialog *l) { QVERIFY(!child<QAbstractButton>(l, "ButtonActionNew")->isHidden()); });
        Session().MultiUserEdition = false;
        QVERIFY(seams->messages.isEmpty());
    }

    void nothingSelected_data()
    {
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("edit") << QByteArray("ActionEdit") << QStringLiteral("请先选中要修改的用户");
        QTest::newRow("delete") << QByteArray("ActionDelete") << QStringLiteral("请先选中要删除的用户");
    }
    void nothingSelected()
    {
        QFETCH(QByteArray, action);
        QFETCH(QString, message);
        runList([action](QDialog *l) {
            userGrid(l)->clearSelection();
            trigger(l, action.constData());
        });
        QCOMPARE(seams->messageTexts(), QStringList {message});
        QCOMPARE(seams->shownDialogs, QStringList {"TFormPower"});
        QCOMPARE(userCount(), 2);
    }

    void protectedUsersAreNotDeleted_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::newRow("administrator") << Administrator << QStringLiteral("管理员帐号不能删除");
        QTest::newRow("cashier") << Cashier << QStringLiteral("单机用户版，出纳帐号不能删除");
    }
    void protectedUsersAreNotDeleted()
    {
        QFETCH(QString, user);
        QFETCH(QString, message);
        // No question is asked: an unexpected one fails the test.
        runList([user](QDialog *l) {
            selectUser(l, user);
            trigger(l, "ActionDelete");
        });
        QCOMPARE(seams->messageTexts(), QStringList {message});
        QCOMPARE(userCount(), 2);
    }

    void deleteAsksFirst()
    {
        InsertRow(QStringLiteral("Power"),
            {{"PowerName", QStringLiteral("会计")}, {"PowerKey", QStringLiteral("k")},
                {"PowerRange", QStringLiteral("财务报表")}});
        seams->answerQuestions({false, true});
        runList([](QDialog *l) {
            selectUser(l, QStringLiteral("会计"));
            trigger(l, "ActionDelete");
            QCOMPARE(gridRows(l).size(), 3);
            trigger(l, "ActionDelete");
            // The list follows the deletion.
            QCOMPARE(gridRows(l), (QStringList {Administrator + "||", Cashier + "||" + AllRights}));
        });
        QCOMPARE(seams->messages.size(), 2);
        for (const RecordedMessage &m : seams->messages) {
            QCOMPARE(m.kind, Platform::MessageKind::Question);
            QCOMPARE(m.text, QStringLiteral("确实要删除该用户吗？"));
            QCOMPARE(m.caption, QStringLiteral("删除警告"));
        }
        QVERIFY(storedUser(QStringLiteral("会计")).isEmpty());
        QCOMPARE(userCount(), 2);
    }

    void dialogShowsTheUser_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("mask");
        QTest::newRow("all") << AllRights << 0x3f;
        QTest::newRow("none") << QString() << 0;
        // Found anywhere in the text, as at login.
        QTest::newRow("loose text") << QStringLiteral("数据总览财务收入") << 0x09;
    }
    void dialogShowsTheUser()
    {
        QFETCH(QString, range);
        QFETCH(int, mask);
        setStored(Cashier, QStringLiteral("PowerKey"), QStringLiteral("Secret1"));
        setStored(Cashier, QStringLiteral("PowerRange"), range);
        editFromList(Cashier, [mask](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("用户权限设置"));
            auto *name = child<QLineEdit>(d, "Edit1");
            auto *key = child<QLineEdit>(d, "Edit2");
            QCOMPARE(name->text(), Cashier);
            QCOMPARE(key->text(), QStringLiteral("Secret1"));
            QCOMPARE(key->echoMode(), QLineEdit::Normal);
            QCOMPARE(boxMask(d), mask);
        });
        QCOMPARE(dialog->Request.Mode, QStringLiteral("修改"));
        QVERIFY(seams->messages.isEmpty());
        QCOMPARE(storedUser(Cashier), QStringLiteral("Secret1|") + range);
    }

    void dialogTexts()
    {
        const QStringList captions {"【财务收入】：", "【财务支出】：", "【财务平调】：", "【数据总览】：",
            "【数据修改】：", "【财务报表】："};
        const QStringList explanations {"能够新增与管理财务收入单据，能够新增与管理帐务应收单据",
            "能够新增与管理财务支出单据，能够新增与管理帐务应付单据", "能够新增与管理财务平调单据",
            "能够看见软件中所有的财务数据，包括其他用户所录入的数据",
            "能够对软件中的财务收支单据，应收应付单据进行修改和保存",
            "能够使用软件的财务报表模块，通过报表生成器查询财务单据"};
        QStringList labels;
        for (QLabel *label : dialog->findChildren<QLabel *>())
            labels.append(label->text());
        for (const char *text : {"用户名称：", "用户密码：", "权限设置："})
            QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(rightBox(dialog.get(), i)->text(), captions[i]);
            QVERIFY2(labels.contains(explanations[i]), qPrintable(explanations[i]));
        }
        // The fields are named by their labels.
        for (QLabel *label : dialog->findChildren<QLabel *>())
            if (label->text() == QStringLiteral("用户名称："))
                QCOMPARE(label->buddy(), child<QWidget>(dialog.get(), "Edit1"));
        QCOMPARE(child<QAction>(dialog.get(), "ActionYes")->text(), QStringLiteral("确定"));
        QCOMPARE(child<QAction>(dialog.get(), "ActionCancel")->text(), QStringLiteral("取消"));
    }

    void storeUser_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("adminRange"); // the administrator's stored list beforehand
        QTest::addColumn<QString>("name"); // typed name
        QTest::addColumn<QString>("key"); // typed password
        QTest::addColumn<int>("boxes"); // checked rights
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("nameFocused");
        QTest::addColumn<QStringList>("stored"); // "name|key|range" of every user afterwards

        const QString a = Administrator + "||";
        const QString c = Cashier + "||" + AllRights;
        const QString ok = QStringLiteral("用户权限修改成功");
        QTest::newRow("cashier renamed")
            << Cashier << QString() << "收银员"
            << "" << 0x3f << ok << true << false << QStringList {a, "收银员||" + AllRights};
        QTest::newRow("cashier without rights") << Cashier << QString() << Cashier << "" << 0 << ok << true
                                                << false << QStringList {a, Cashier + "||"};
        QTest::newRow("cashier some rights and a password")
            << Cashier << QString() << Cashier << "p w'1" << 0x0a << ok << true << false
            << QStringList {a, Cashier + "|p w'1|财务支出，数据总览"};
        QTest::newRow("admin password, rights kept")
            << Administrator << QStringLiteral("数据总览") << Administrator << "neu" << 0x37 << ok << true
            << false << QStringList {Administrator + "|neu|数据总览", c};
        QTest::newRow("admin all boxes, empty list kept")
            << Administrator << QString() << Administrator << "x" << 0x3f << ok << true << false
            << QStringList {Administrator + "|x|", c};
        QTest::newRow("empty name") << Cashier << QString() << ""
                                    << "k" << 0 << "用户名称不能为空" << false << true << QStringList {a, c};
        QTest::newRow("admin renamed")
            << Administrator << QString() << "老板"
            << "k" << 0 << "管理员帐号不能修改" << false << false << QStringList {a, c};
        QTest::newRow("name taken") << Cashier << QString() << Administrator << "k" << 0
                                    << "该用户名称已经存在，请重新操作" << false << true
                                    << QStringList {a, c};
    }
    void storeUser()
    {
        QFETCH(QString, user);
        QFETCH(QString, adminRange);
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(int, boxes);
        QFETCH(QString, message);
        QFETCH(bool, accepted);
        QFETCH(bool, nameFocused);
        QFETCH(QStringList, stored);
        setStored(Administrator, QStringLiteral("PowerRange"), adminRange);

        int result = 0;
        bool focused = false;
        QStringList listed;
        seams->onDialog(QStringLiteral("TFormPower2"), [&](QDialog *d) {
            auto *nameEdit = child<QLineEdit>(d, "Edit1");
            nameEdit->setText(name);
            child<QLineEdit>(d, "Edit2")->setText(key);
            setBoxes(d, boxes);
            child<QWidget>(d, "Edit2")->setFocus();
            trigger(d, "ActionYes");
            focused = d->focusWidget() == nameEdit;
            result = d->isVisible() ? -1 : d->result();
        });
        runList([&](QDialog *l) {
            selectUser(l, user);
            trigger(l, "ActionEdit");
            listed = gridRows(l);
        });
        QCOMPARE(seams->messageTexts(), QStringList {message});
        QCOMPARE(result, accepted ? int(QDialog::Accepted) : -1);
        QCOMPARE(focused, nameFocused);
        // The list shows what was stored.
        QCOMPARE(listed, stored);
        runList([&](QDialog *l) { listed = gridRows(l); });
        QCOMPARE(listed, stored);
    }

    void userGoneBeforeStoring()
    {
        int result = 0;
        seams->onDialog(QStringLiteral("TFormPower2"), [&](QDialog *d) {
            ExecSql(Sql("Delete From Power Where PowerName = ") + Sql::value(Cashier));
            child<QLineEdit>(d, "Edit1")->setText(QStringLiteral("新出纳"));
            trigger(d, "ActionYes");
            // Nothing said and nothing stored; the dialog stays open.
            result = d->isVisible() ? -1 : d->result();
        });
        runList([](QDialog *l) {
            selectUser(l, Cashier);
            trigger(l, "ActionEdit");
        });
        QCOMPARE(result, -1);
        QVERIFY(seams->messages.isEmpty());
        QCOMPARE(userCount(), 1);
        QVERIFY(storedUser(QStringLiteral("新出纳")).isEmpty());
    }

    void cancelStoresNothing_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("取消") << false;
        QTest::newRow("close box") << true;
    }
    void cancelStoresNothing()
    {
        QFETCH(bool, closeBox);
        int result = 0;
        seams->onDialog(QStringLiteral("TFormPower2"), [&](QDialog *d) {
            child<QLineEdit>(d, "Edit1")->setText(QStringLiteral("别名"));
            child<QLineEdit>(d, "Edit2")->setText(QStringLiteral("pw"));
            setBoxes(d, 0);
            if (closeBox)
                d->close();
            else
                trigger(d, "ActionCancel");
            result = d->isVisible() ? -1 : d->result();
        });
        runList([](QDialog *l) {
            // A double click on the row opens the dialog as 修改用户 does.
            QTableWidget *grid = userGrid(l);
            const auto found = grid->findItems(Cashier, Qt::MatchExactly);
            QVERIFY(!found.isEmpty());
            grid->selectRow(found.first()->row());
            emit grid->cellDoubleClicked(found.first()->row(), 0);
        });
        QCOMPARE(seams->shownDialogs, (QStringList {"TFormPower", "TFormPower2"}));
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(seams->messages.isEmpty());
        QCOMPARE(storedUser(Cashier), QStringLiteral("|") + AllRights);
    }
};

QUILL_TEST_MAIN(TestUsers)
#include "tst_users.moc"
