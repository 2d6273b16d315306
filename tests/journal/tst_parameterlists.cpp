#include "app/MainForm.h"
#include "app/Program.h"
#include "app/Session.h"
#include "app/SettingsPage.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/ProgramRun.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

const QString Title = QStringLiteral("翎溪记帐财务软件");

// The stored values of a list, in the order they were added.
QStringList storedValues(const ProgramFolder &folder, int type)
{
    QStringList values;
    LedgerFile ledger(folder.filePath(DefaultLedger));
    for (const QVariantList &row : ledger.rows(
             QStringLiteral(
                 "Select ParameterValue From Parameter Where ParameterType = ? Order By ParameterIndex"),
             {type}))
        values.append(row.value(0).toString());
    return values;
}

QList<QStringList> allStoredValues(const ProgramFolder &folder)
{
    QList<QStringList> lists;
    for (int type = 0; type < 6; ++type)
        lists.append(storedValues(folder, type));
    return lists;
}

// Answers the ask dialog: checks what it shows, types answer and presses 确定 (or 取消).
Seams::DialogScript ask(const QString &prompt, const QString &preset, const QString &answer, bool ok = true)
{
    return [=](QDialog *dialog) {
        auto *label = dialog->findChild<QLabel *>(QStringLiteral("Label1"));
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        QVERIFY(label && edit);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("参数设置"));
        QCOMPARE(label->text(), prompt);
        QCOMPARE(label->buddy(), edit);
        QCOMPARE(edit->text(), preset);
        QCOMPARE(edit->echoMode(), QLineEdit::Normal);
        edit->setText(answer);
        auto *button = dialog->findChild<QAbstractButton *>(
            ok ? QStringLiteral("BitBtn1") : QStringLiteral("BitBtn2"));
        QVERIFY(button);
        button->click();
    };
}

QStringList items(const QListWidget *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->item(i)->text());
    return texts;
}

QString selectedText(const QListWidget *box)
{
    const QList<QListWidgetItem *> selected = box->selectedItems();
    return selected.size() == 1 ? selected.first()->text() : QString();
}

// A program run with the settings page's lists at hand.
struct ListsRun : TestSupport::Run {
    QWidget *page() const { return window()->tabPage(MainTab::Settings); }
    QListWidget *box(int type) const
    {
        return page()->findChild<QListWidget *>(QStringLiteral("ListBox%1").arg(type));
    }
    void click(const QString &button) const
    {
        auto *b = page()->findChild<QAbstractButton *>(button);
        QVERIFY2(b, qPrintable(button));
        b->click();
    }
    void select(int type, const QString &text) const
    {
        const auto found = box(type)->findItems(text, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(text));
        box(type)->setCurrentItem(found.first());
    }
    QString ledger() const { return folder.filePath(DefaultLedger); }
};

// The six lists: everything the user sees of each, as the program must show it.
void listTable()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("buttons"); // add, edit, delete
    QTest::addColumn<QString>("addPrompt");
    QTest::addColumn<QString>("addEmpty");
    QTest::addColumn<QString>("addDuplicate");
    QTest::addColumn<QString>("editNoSelection");
    QTest::addColumn<QString>("editPrompt");
    QTest::addColumn<QString>("editEmpty");
    QTest::addColumn<QString>("editDuplicate");
    QTest::addColumn<QString>("deleteNoSelection");
    QTest::newRow("expense reasons") << 0 << "支出种类" << QStringList {"Button20", "Button27", "Button28"}
                                     << "请输入收支种类名称（支出）"
                                     << "支出种类名不能为空"
                                     << "存在同名的支出种类，请改名"
                                     << "请先选中要修改的支出种类"
                                     << "请输入支出种类的名称"
                                     << "支出种类名不能为空"
                                     << "存在同名的支出种类，请改名"
                                     << "请先选中要删除的支出种类";
    QTest::newRow("income reasons") << 1 << "收入种类" << QStringList {"Button1", "Button2", "Button3"}
                                    << "请输入收支种类名称（收入）"
                                    << "收入种类名不能为空"
                                    << "存在同名的收入种类，请改名"
                                    << "请先选中要修改的收入种类"
                                    << "请输入收入种类的名称"
                                    << "收入种类名不能为空"
                                    << "存在同名的收入种类，请改名"
                                    << "请先选中要删除的收入种类";
    QTest::newRow("categories") << 2 << "款项类别" << QStringList {"Button4", "Button5", "Button6"}
                                << "请输入新类别的名称"
                                << "类别名不能为空"
                                << "存在同名的类别，请改名"
                                << "请先选中要修改的类别"
                                << "请输入类别的名称"
                                << "类别名不能为空"
                                << "存在同名的类别，请改名"
                                << "请先选中要删除的类别";
    QTest::newRow("voucher kinds") << 3 << "款项凭证" << QStringList {"Button7", "Button8", "Button9"}
                                   << "请输入新凭证的名称"
                                   << "凭证名不能为空"
                                   << "存在同名的凭证，请改名"
                                   << "请先选中要修改的凭证"
                                   << "请输入凭证的名称"
                                   << "凭证名不能为空"
                                   << "存在同名的凭证，请改名"
                                   << "请先选中要删除的凭证";
    QTest::newRow("customers") << 4 << "客户名称列表" << QStringList {"Button13", "Button14", "Button15"}
                               << "请输入要新增的客户名称"
                               << "客户名称不能为空"
                               << "该客户名称已存在，请改名"
                               << "请先选中要修改的客户名称"
                               << "请输入客户名称"
                               << "客户名称不能为空"
                               << "该客户名称已经存在，请改名"
                               << "请先选中要删除的客户名称";
    QTest::newRow("salesmen") << 5 << "业务员列表" << QStringList {"Button16", "Button17", "Button18"}
                              << "请输入要新增的业务员名"
                              << "业务员名不能为空"
                              << "该业务员已存在，请改名"
                              << "请先选中要修改的业务员"
                              << "请输入业务员名称"
                              << "业务员名称不能为空"
                              << "该业务员名称已经存在，请改名"
                              << "请先选中要删除的业务员";
}

} // namespace

class TestParameterLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // Each list on the settings page: its caption above, its three buttons below, found by name
    // without a twin among the main window's own controls, loaded at login with the last item
    // selected, and clear of the settings groups.
    void listOnSettingsPage_data() { listTable(); }
    void listOnSettingsPage()
    {
        QFETCH(int, type);
        QFETCH(QString, caption);
        QFETCH(QStringList, buttons);
        ListsRun run;
        QVERIFY(run.startAs(Administrator));
        QWidget *page = run.page();
        QCOMPARE(run.window()->tabs()->currentWidget(), page);
        QVERIFY(run.seams.messages.isEmpty());

        QListWidget *box = run.box(type);
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QLabel *label = nullptr;
        for (QLabel *l : page->findChildren<QLabel *>())
            if (l->buddy() == box)
                label = l;
        QVERIFY(label);
        QCOMPARE(label->text(), caption);
        const QRect boxArea(box->mapTo(page, QPoint(0, 0)), box->size());
        QVERIFY(label->mapTo(page, QPoint(0, 0)).y() < boxArea.top());
        QVERIFY(page->rect().contains(boxArea));
        for (QGroupBox *group : page->findChildren<QGroupBox *>())
            QVERIFY2(!QRect(group->mapTo(page, QPoint(0, 0)), group->size()).intersects(boxArea),
                qPrintable(group->title()));

        const QStringList captions {"新增", "修改", "删除"};
        for (int i = 0; i < 3; ++i) {
            // Dialogs are children of the main window too; only the window's own controls count.
            QList<QAbstractButton *> named;
            for (QAbstractButton *b : run.window()->findChildren<QAbstractButton *>(buttons[i])) {
                bool inDialog = false;
                for (QWidget *w = b; w; w = w->parentWidget())
                    inDialog = inDialog || qobject_cast<QDialog *>(w);
                if (!inDialog)
                    named.append(b);
            }
            QCOMPARE(named.size(), 1);
            QCOMPARE(named.first()->text(), captions[i]);
            QVERIFY(page->isAncestorOf(named.first()));
            const QRect area(named.first()->mapTo(page, QPoint(0, 0)), named.first()->size());
            QVERIFY(area.top() >= boxArea.bottom());
            QVERIFY(page->rect().contains(area));
        }

        const QStringList stored = storedValues(run.folder, type);
        QVERIFY(!stored.isEmpty());
        QCOMPARE(items(box), stored);
        QCOMPARE(selectedText(box), stored.last());
        QCOMPARE(box->currentRow(), stored.size() - 1);
    }

    // The whole life of an item in each list, with names that carry a "'".
    void addRenameDelete_data() { listTable(); }
    void addRenameDelete()
    {
        QFETCH(int, type);
        QFETCH(QStringList, buttons);
        QFETCH(QString, addPrompt);
        QFETCH(QString, addEmpty);
        QFETCH(QString, addDuplicate);
        QFETCH(QString, editNoSelection);
        QFETCH(QString, editPrompt);
        QFETCH(QString, editEmpty);
        QFETCH(QString, editDuplicate);
        QFETCH(QString, deleteNoSelection);
        const QString &add = buttons[0], &edit = buttons[1], &remove = buttons[2];
        const QString first = QStringLiteral("O'Brien 甲"), second = QStringLiteral("乙'二"),
                      renamed = QStringLiteral("丙''三'");
        ListsRun run;
        QVERIFY(run.startAs(Administrator));
        const QList<QStringList> before = allStoredValues(run.folder);
        QListWidget *box = run.box(type);
        Seams &seams = run.seams;

        // Cancel and an empty name write nothing.
        seams.onDialog("TFormAsk", ask(addPrompt, QString(), first, false));
        run.click(add);
        seams.onDialog("TFormAsk", ask(addPrompt, QString(), QString()));
        run.click(add);
        QCOMPARE(seams.messageTexts(), QStringList {addEmpty});
        QCOMPARE(allStoredValues(run.folder), before);

        seams.clearMessages();
        seams.onDialog("TFormAsk", ask(addPrompt, QString(), first));
        run.click(add);
        seams.onDialog("TFormAsk", ask(addPrompt, QString(), second));
        run.click(add);
        QVERIFY(seams.messages.isEmpty());
        QStringList stored = storedValues(run.folder, type);
        QCOMPARE(stored.count(first), 1);
        QCOMPARE(stored.count(second), 1);
        QCOMPARE(stored.size(), before[type].size() + 2);
        QCOMPARE(items(box), stored);
        // A new item comes last, in the order of adding, and is the one selected.
        QCOMPARE(stored.last(), second);
        QCOMPARE(selectedText(box), second);

        seams.onDialog("TFormAsk", ask(addPrompt, QString(), first));
        run.click(add);
        QCOMPARE(seams.messageTexts(), QStringList {addDuplicate});
        QCOMPARE(storedValues(run.folder, type), stored);

        // Renaming: to itself (nothing at all), cancelled, empty, to a name the list has.
        seams.clearMessages();
        run.select(type, first);
        seams.onDialog("TFormAsk", ask(editPrompt, first, first));
        run.click(edit);
        QVERIFY(seams.messages.isEmpty());
        seams.onDialog("TFormAsk", ask(editPrompt, first, renamed, false));
        run.click(edit);
        seams.onDialog("TFormAsk", ask(editPrompt, first, QString()));
        run.click(edit);
        seams.onDialog("TFormAsk", ask(editPrompt, first, second));
        run.click(edit);
        QCOMPARE(seams.messageTexts(), (QStringList {editEmpty, editDuplicate}));
        QCOMPARE(storedValues(run.folder, type), stored);

        seams.clearMessages();
        seams.onDialog("TFormAsk", ask(editPrompt, first, renamed));
        run.click(edit);
        QVERIFY(seams.messages.isEmpty());
        stored = storedValues(run.folder, type);
        QVERIFY(!stored.contains(first));
        QCOMPARE(stored.count(renamed), 1);
        QCOMPARE(stored.size(), before[type].size() + 2);
        QCOMPARE(items(box), stored);
        QCOMPARE(selectedText(box), stored.last());

        // Deleting asks first; No keeps the item.
        run.select(type, renamed);
        seams.answerQuestions({false});
        run.click(remove);
        QCOMPARE(seams.messages.size(), 1);
        QCOMPARE(seams.messages[0].kind, Platform::MessageKind::Question);
        QCOMPARE(seams.messages[0].text, QStringLiteral("确实要删除该参数吗？"));
        QCOMPARE(seams.messages[0].caption, QStringLiteral("删除警告"));
        QCOMPARE(storedValues(run.folder, type), stored);
        QCOMPARE(selectedText(box), renamed);
        seams.answerQuestions({true});
        run.click(remove);
        stored.removeOne(renamed);
        QCOMPARE(storedValues(run.folder, type), stored);
        QCOMPARE(items(box), stored);
        QCOMPARE(selectedText(box), stored.last());

        // With nothing selected both commands say so and put the focus on the list.
        seams.clearMessages();
        box->clearSelection();
        box->setCurrentRow(-1);
        run.page()->findChild<QAbstractButton *>(add)->setFocus();
        run.click(edit);
        QCOMPARE(run.window()->focusWidget(), box);
        run.page()->findChild<QAbstractButton *>(add)->setFocus();
        run.click(remove);
        QCOMPARE(run.window()->focusWidget(), box);
        QCOMPARE(seams.messageTexts(), (QStringList {editNoSelection, deleteNoSelection}));
        for (const TestSupport::RecordedMessage &m : seams.messages) {
            QCOMPARE(m.kind, Platform::MessageKind::Information);
            QCOMPARE(m.caption, Title);
        }

        // What is left is the list as it was plus the second name; the other lists were left
        // alone, on screen and in the file.
        QStringList expected = before[type];
        expected.append(second);
        const QStringList final = storedValues(run.folder, type);
        QCOMPARE(QSet<QString>(final.begin(), final.end()), QSet<QString>(expected.begin(), expected.end()));
        QCOMPARE(final.size(), expected.size());
        for (int other = 0; other < 6; ++other) {
            if (other == type)
                continue;
            QCOMPARE(storedValues(run.folder, other), before[other]);
            QCOMPARE(items(run.box(other)), before[other]);
        }
    }

    // Names are unique within a list only.
    void sameNameInOtherLists()
    {
        ListsRun run;
        QVERIFY(run.startAs(Administrator));
        const QString voucher = QStringLiteral("现金");
        QVERIFY(storedValues(run.folder, 3).contains(voucher));
        run.seams.onDialog("TFormAsk", ask(QStringLiteral("请输入收支种类名称（支出）"), QString(), voucher));
        run.click(QStringLiteral("Button20"));
        run.seams.onDialog("TFormAsk", ask(QStringLiteral("请输入要新增的客户名称"), QString(), voucher));
        run.click(QStringLiteral("Button13"));
        QVERIFY(run.seams.messages.isEmpty());
        for (int type : {0, 3, 4}) {
            QCOMPARE(storedValues(run.folder, type).count(voucher), 1);
            QVERIFY(items(run.box(type)).contains(voucher));
        }
        // A rename is checked against its own list only, too.
        run.select(2, QStringLiteral("其他类别"));
        run.seams.onDialog(
            "TFormAsk", ask(QStringLiteral("请输入类别的名称"), QStringLiteral("其他类别"), voucher));
        run.click(QStringLiteral("Button5"));
        QVERIFY(run.seams.messages.isEmpty());
        QVERIFY(storedValues(run.folder, 2).contains(voucher));
        QVERIFY(!storedValues(run.folder, 2).contains(QStringLiteral("其他类别")));
    }

    // The item shown was removed behind the list's back (by another window of the program).
    void itemGoneMeanwhile_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::addColumn<QString>("message");
        QTest::newRow("rename") << true << "该参数已经被删除";
        QTest::newRow("delete") << false << "该记录已不存在";
    }
    void itemGoneMeanwhile()
    {
        QFETCH(bool, rename);
        QFETCH(QString, message);
        ListsRun run;
        QVERIFY(run.startAs(Administrator));
        const QString gone = QStringLiteral("经营收支");
        run.select(2, gone);
        execOn(run.ledger(),
            {QStringLiteral("Delete From Parameter Where ParameterType = 2 And ParameterValue = ?")}, {gone});
        const QStringList stored = storedValues(run.folder, 2);
        if (rename) {
            run.seams.onDialog(
                "TFormAsk", ask(QStringLiteral("请输入类别的名称"), gone, QStringLiteral("新类别")));
            run.click(QStringLiteral("Button5"));
        } else {
            run.click(QStringLiteral("Button6"));
        }
        QCOMPARE(run.seams.messageTexts(), QStringList {message});
        QCOMPARE(storedValues(run.folder, 2), stored);
    }

    // A list emptied has no selection; the first item added is selected.
    void emptyList()
    {
        ListsRun run;
        QVERIFY(run.startAs(Administrator));
        QListWidget *box = run.box(5);
        QCOMPARE(items(box), QStringList {QStringLiteral("本人")});
        run.seams.answerQuestions({true});
        run.click(QStringLiteral("Button18"));
        QCOMPARE(box->count(), 0);
        QVERIFY(box->selectedItems().isEmpty());
        QVERIFY(storedValues(run.folder, 5).isEmpty());
        run.seams.clearMessages();
        run.click(QStringLiteral("Button17"));
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("请先选中要修改的业务员")});

        run.seams.onDialog(
            "TFormAsk", ask(QStringLiteral("请输入要新增的业务员名"), QString(), QStringLiteral("张三")));
        run.click(QStringLiteral("Button16"));
        QCOMPARE(items(box), QStringList {QStringLiteral("张三")});
        QCOMPARE(selectedText(box), QStringLiteral("张三"));
    }

    // A double click edits the item under the pointer.
    void doubleClickEdits()
    {
        ListsRun run;
        QVERIFY(run.startAs(Administrator));
        QListWidget *box = run.box(1);
        QVERIFY(box->count() > 1);
        QListWidgetItem *item = box->item(0);
        const QString old = item->text();
        run.seams.onDialog(
            "TFormAsk", ask(QStringLiteral("请输入收入种类的名称"), old, QStringLiteral("劳务收入")));
        // As a window system delivers it: a click, then the double click.
        const QPoint at = box->visualItemRect(item).center();
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(run.seams.shownDialogs.count(QStringLiteral("TFormAsk")), 1);
        QVERIFY(run.seams.messages.isEmpty());
        const QStringList stored = storedValues(run.folder, 1);
        QVERIFY(stored.contains(QStringLiteral("劳务收入")));
        QVERIFY(!stored.contains(old));
        QCOMPARE(items(box), stored);
    }

    // Every login loads all six lists afresh, whoever logs in.
    void loadedAtEveryLogin()
    {
        ListsRun run;
        QVERIFY(run.startAs(Cashier));
        QVERIFY(run.window()->tabs()->indexOf(run.window()->tabPage(MainTab::Settings)) < 0);
        for (int type = 0; type < 6; ++type)
            QCOMPARE(items(run.box(type)), storedValues(run.folder, type));

        QStringList statements;
        QVariantList values;
        for (int type = 0; type < 6; ++type) {
            statements << QStringLiteral(
                "Insert Into Parameter (ParameterType, ParameterValue) Values (?, ?)");
            values << type << QStringLiteral("新项%1").arg(type);
        }
        execOn(run.ledger(), statements, values);
        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Administrator));
        run.window()->action(QStringLiteral("ActionReLogin"))->trigger();
        QVERIFY(run.seams.messages.isEmpty());
        for (int type = 0; type < 6; ++type) {
            const QStringList stored = storedValues(run.folder, type);
            QVERIFY(stored.contains(QStringLiteral("新项%1").arg(type)));
            QCOMPARE(items(run.box(type)), stored);
            QCOMPARE(selectedText(run.box(type)), stored.last());
        }
    }

    // The load routines and the look-up report a table they cannot read, each with its text.
    void unreadableTable()
    {
        ListsRun run;
        QVERIFY(run.startAs(Administrator));
        execOn(run.ledger(), {QStringLiteral("Alter Table Parameter Rename To ParameterGone")});
        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Administrator));
        run.window()->action(QStringLiteral("ActionReLogin"))->trigger();
        // One message for both reason lists.
        QCOMPARE(run.seams.messageTexts(),
            (QStringList {"读入帐款收支种类失败", "读入帐款类别失败", "读入帐款类别失败", "读入客户名称失败",
                "读入业务员失败"}));
        for (int type = 0; type < 6; ++type)
            QCOMPARE(run.box(type)->count(), 0);

        run.seams.clearMessages();
        run.seams.onDialog(
            "TFormAsk", ask(QStringLiteral("请输入新凭证的名称"), QString(), QStringLiteral("本票")));
        run.click(QStringLiteral("Button7"));
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("读入帐款参数失败")});
    }
};

QUILL_TEST_MAIN(TestParameterLists)
#include "tst_parameterlists.moc"
