#include "journal/ParameterLists.h"

#include "journal/AskForm.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace PickLists {

namespace {
const QString ReasonsLoadFailed = QStringLiteral("读入帐款收支种类失败");
const QString CategoriesLoadFailed = QStringLiteral("读入帐款类别失败");
const QString DeleteQuestion = QStringLiteral("确实要删除该参数吗？");
const QString DeleteCaption = QStringLiteral("删除警告");

bool validType(int type)
{
    return type >= 0 && type < ListCount;
}
} // namespace

const QList<ListTexts> &Lists()
{
    static const QList<ListTexts> lists = {
        {0, QStringLiteral("ListBox0"), QStringLiteral("支出种类"), QStringLiteral("Button20"),
            QStringLiteral("Button27"), QStringLiteral("Button28"), ReasonsLoadFailed,
            QStringLiteral("请输入收支种类名称（支出）"), QStringLiteral("支出种类名不能为空"),
            QStringLiteral("存在同名的支出种类，请改名"), QStringLiteral("请先选中要修改的支出种类"),
            QStringLiteral("请输入支出种类的名称"), QStringLiteral("支出种类名不能为空"),
            QStringLiteral("存在同名的支出种类，请改名"), QStringLiteral("请先选中要删除的支出种类")},
        {1, QStringLiteral("ListBox1"), QStringLiteral("收入种类"), QStringLiteral("Button1"),
            QStringLiteral("Button2"), QStringLiteral("Button3"), ReasonsLoadFailed,
            QStringLiteral("请输入收支种类名称（收入）"), QStringLiteral("收入种类名不能为空"),
            QStringLiteral("存在同名的收入种类，请改名"), QStringLiteral("请先选中要修改的收入种类"),
            QStringLiteral("请输入收入种类的名称"), QStringLiteral("收入种类名不能为空"),
            QStringLiteral("存在同名的收入种类，请改名"), QStringLiteral("请先选中要删除的收入种类")},
        {2, QStringLiteral("ListBox2"), QStringLiteral("款项类别"), QStringLiteral("Button4"),
            QStringLiteral("Button5"), QStringLiteral("Button6"), CategoriesLoadFailed,
            QStringLiteral("请输入新类别的名称"), QStringLiteral("类别名不能为空"),
            QStringLiteral("存在同名的类别，请改名"), QStringLiteral("请先选中要修改的类别"),
            QStringLiteral("请输入类别的名称"), QStringLiteral("类别名不能为空"),
            QStringLiteral("存在同名的类别，请改名"), QStringLiteral("请先选中要删除的类别")},
        // The voucher list reports its load failure with the categories' text.
        {3, QStringLiteral("ListBox3"), QStringLiteral("款项凭证"), QStringLiteral("Button7"),
            QStringLiteral("Button8"), QStringLiteral("Button9"), CategoriesLoadFailed,
            QStringLiteral("请输入新凭证的名称"), QStringLiteral("凭证名不能为空"),
            QStringLiteral("存在同名的凭证，请改名"), QStringLiteral("请先选中要修改的凭证"),
            QStringLiteral("请输入凭证的名称"), QStringLiteral("凭证名不能为空"),
            QStringLiteral("存在同名的凭证，请改名"), QStringLiteral("请先选中要删除的凭证")},
        {4, QStringLiteral("ListBox4"), QStringLiteral("客户名称列表"), QStringLiteral("Button13"),
            QStringLiteral("Button14"), QStringLiteral("Button15"), QStringLiteral("读入客户名称失败"),
            QStringLiteral("请输入要新增的客户名称"), QStringLiteral("客户名称不能为空"),
            QStringLiteral("该客户名称已存在，请改名"), QStringLiteral("请先选中要修改的客户名称"),
            QStringLiteral("请输入客户名称"), QStringLiteral("客户名称不能为空"),
            QStringLiteral("该客户名称已经存在，请改名"), QStringLiteral("请先选中要删除的客户名称")},
        {5, QStringLiteral("ListBox5"), QStringLiteral("业务员列表"), QStringLiteral("Button16"),
            QStringLiteral("Button17"), QStringLiteral("Button18"), QStringLiteral("读入业务员失败"),
            QStringLiteral("请输入要新增的业务员名"), QStringLiteral("业务员名不能为空"),
            QStringLiteral("该业务员已存在，请改名"), QStringLiteral("请先选中要修改的业务员"),
            QStringLiteral("请输入业务员名称"), QStringLiteral("业务员名称不能为空"),
            QStringLiteral("该业务员名称已经存在，请改名"), QStringLiteral("请先选中要删除的业务员")},
    };
    return lists;
}

const ListTexts &ListFor(int type)
{
    return Lists().at(validType(type) ? type : 0);
}

Sql ListStatement(int type)
{
    return Sql("Select * From Parameter Where ParameterType = ") + Sql::value(type)
        + Sql(" Order By ParameterIndex");
}

bool ReadValues(int type, const QString &failMessage, QStringList *values)
{
    values->clear();
    Query &query = ShareDataModule->ADOQueryTemp;
    // A new item comes last and is selected.
    if (!RunQuery(query, ListStatement(type), failMessage))
        return false;
    for (query.first(); !query.eof(); query.next())
        values->append(query.text(QStringLiteral("ParameterValue")));
    query.close();
    return true;
}

bool FindValue(int type, const QString &text, qint64 *index)
{
    *index = 0;
    Query &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query,
            Sql("Select * From Parameter Where (ParameterType = ") + Sql::value(type)
                + Sql(") And (ParameterValue = ") + Sql::value(text) + Sql(")"),
            LookupFailed))
        return false;
    if (!query.isEmpty())
        *index = query.integer(QStringLiteral("ParameterIndex"));
    query.close();
    return true;
}

Outcome AddValue(int type, const QString &text)
{
    if (!validType(type))
        return Outcome::Unchanged;
    const ListTexts &list = ListFor(type);
    if (text.isEmpty()) {
        Platform::ShowMessage(list.addEmpty);
        return Outcome::Unchanged;
    }
    qint64 existing = 0;
    if (!FindValue(type, text, &existing))
        return Outcome::Unchanged;
    if (existing != 0) {
        Platform::ShowMessage(list.addDuplicate);
        return Outcome::Unchanged;
    }
    if (InsertRow(QStringLiteral("Parameter"),
            {{QStringLiteral("ParameterType"), type}, {QStringLiteral("ParameterValue"), text}})
        < 0)
        return Outcome::Unchanged;
    return Outcome::Changed;
}

Outcome RenameValue(int type, const QString &oldText, const QString &newText)
{
    if (!validType(type))
        return Outcome::Unchanged;
    const ListTexts &list = ListFor(type);
    if (newText.isEmpty()) {
        Platform::ShowMessage(list.editEmpty);
        return Outcome::Unchanged;
    }
    if (newText == oldText)
        return Outcome::Unchanged;
    qint64 found = 0;
    if (!FindValue(type, newText, &found))
        return Outcome::Unchanged;
    if (found != 0) {
        Platform::ShowMessage(list.editDuplicate);
        return Outcome::Unchanged;
    }
    if (!FindValue(type, oldText, &found))
        return Outcome::Unchanged;
    if (found == 0) {
        Platform::ShowMessage(QStringLiteral("该参数已经被删除"));
        return Outcome::Unchanged;
    }
    if (!UpdateRow(QStringLiteral("Parameter"), QStringLiteral("ParameterIndex"), found,
            {{QStringLiteral("ParameterValue"), newText}}))
        return Outcome::Unchanged;
    return Outcome::Changed;
}

Outcome DeleteValue(int type, const QString &text)
{
    if (!validType(type))
        return Outcome::Unchanged;
    qint64 found = 0;
    if (!FindValue(type, text, &found))
        return Outcome::Unchanged;
    if (found == 0) {
        Platform::ShowMessage(QStringLiteral("该记录已不存在"));
        return Outcome::Unchanged;
    }
    if (!Platform::AskYesNo(DeleteQuestion, DeleteCaption))
        return Outcome::Unchanged;
    bool ok = false;
    ExecSql(Sql("Delete From Parameter Where ParameterIndex = ") + Sql::value(found), &ok);
    return ok ? Outcome::Changed : Outcome::Unchanged;
}

} // namespace PickLists

using namespace PickLists;

ParameterLists::ParameterLists(QWidget *page, const QRect &area, std::function<TFormAsk *()> ask)
    : QWidget(page), askDialog(std::move(ask))
{
    setObjectName(QStringLiteral("ParameterLists"));
    setGeometry(area);

    constexpr int columns = 3;
    constexpr int gap = 8;
    constexpr int captionHeight = 18;
    constexpr int buttonHeight = 24;
    const int cellWidth = (area.width() - gap * (columns - 1)) / columns;
    const int cellHeight = (area.height() - gap) / 2;
    const int buttonWidth = (cellWidth - 2 * 4) / 3;

    for (const ListTexts &list : Lists()) {
        const int type = list.type;
        const int x = (type % columns) * (cellWidth + gap);
        const int y = (type / columns) * (cellHeight + gap);

        auto *caption = new QLabel(list.caption, this);
        caption->setGeometry(x, y, cellWidth, captionHeight);
        auto *box = new QListWidget(this);
        box->setObjectName(list.listBox);
        box->setSelectionMode(QAbstractItemView::SingleSelection);
        box->setGeometry(x, y + captionHeight + 2, cellWidth, cellHeight - captionHeight - buttonHeight - 6);
        caption->setBuddy(box);
        box->setAccessibleName(list.caption);
        boxes[type] = box;

        const QString names[3] = {list.addButton, list.editButton, list.deleteButton};
        const QString captions[3] = {QStringLiteral("新增"), QStringLiteral("修改"), QStringLiteral("删除")};
        QPushButton *buttons[3] = {};
        for (int i = 0; i < 3; ++i) {
            buttons[i] = new QPushButton(captions[i], this);
            buttons[i]->setObjectName(names[i]);
            buttons[i]->setGeometry(
                x + i * (buttonWidth + 4), y + cellHeight - buttonHeight, buttonWidth, buttonHeight);
            // The three buttons of every list read alike; say which list each one acts on.
            buttons[i]->setAccessibleName(captions[i] + list.caption);
        }
        connect(buttons[0], &QPushButton::clicked, this, [this, type] { AddParameter(type); });
        connect(buttons[1], &QPushButton::clicked, this, [this, type] { EditParameter(type); });
        connect(buttons[2], &QPushButton::clicked, this, [this, type] { DeleteParameter(type); });
        connect(box, &QListWidget::itemDoubleClicked, this, [this, type] { EditParameter(type); });
    }
}

ParameterLists *ParameterLists::on(QWidget *page)
{
    return page ? page->findChild<ParameterLists *>(QStringLiteral("ParameterLists")) : nullptr;
}

bool ParameterLists::LoadList(int type)
{
    QListWidget *box = boxes[type];
    box->clear();
    QStringList values;
    if (!ReadValues(type, ListFor(type).loadFailed, &values))
        return false;
    box->addItems(values);
    if (box->count() > 0)
        box->setCurrentRow(box->count() - 1);
    return true;
}

void ParameterLists::LoadReasonLists()
{
    // One failure message for both; the income reasons are not left showing stale rows.
    if (LoadList(0))
        LoadList(1);
    else
        boxes[1]->clear();
}

void ParameterLists::LoadCategoryList()
{
    LoadList(2);
}
void ParameterLists::LoadVoucherList()
{
    LoadList(3);
}
void ParameterLists::LoadCustomerList()
{
    LoadList(4);
}
void ParameterLists::LoadSalesmanList()
{
    LoadList(5);
}

void ParameterLists::reload(int type)
{
    switch (type) {
    case 0:
    case 1:
        LoadReasonLists();
        break;
    default:
        LoadList(type);
        break;
    }
}

bool ParameterLists::selectedText(int type, const QString &noSelection, QString *text)
{
    QListWidget *box = boxes[type];
    const QListWidgetItem *item = box->currentItem();
    if (!item || !item->isSelected()) {
        Platform::ShowMessage(noSelection);
        box->setFocus();
        return false;
    }
    *text = item->text();
    return true;
}

void ParameterLists::AddParameter(int type)
{
    TFormAsk *ask = askDialog ? askDialog() : nullptr;
    if (!ask || type < 0 || type >= ListCount)
        return;
    QString text;
    if (!ask->Ask(AskTitle, ListFor(type).addPrompt, text))
        return;
    if (AddValue(type, text) == Outcome::Changed)
        reload(type);
}

void ParameterLists::EditParameter(int type)
{
    TFormAsk *ask = askDialog ? askDialog() : nullptr;
    if (!ask || type < 0 || type >= ListCount)
        return;
    const ListTexts &list = ListFor(type);
    QString oldText;
    if (!selectedText(type, list.editNoSelection, &oldText))
        return;
    QString text = oldText;
    if (!ask->Ask(AskTitle, list.editPrompt, text))
        return;
    if (RenameValue(type, oldText, text) == Outcome::Changed)
        reload(type);
}

void ParameterLists::DeleteParameter(int type)
{
    if (type < 0 || type >= ListCount)
        return;
    QString text;
    if (!selectedText(type, ListFor(type).deleteNoSelection, &text))
        return;
    if (DeleteValue(type, text) == Outcome::Changed)
        reload(type);
}
