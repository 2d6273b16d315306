#pragma once

// The six pick lists of table Parameter (expense reasons, income reasons, categories, voucher
// kinds, customers, salesmen), one list per ParameterType 0 to 5, and their maintenance on the
// settings page: a list box per type with 新增, 修改 and 删除 below it (a double click edits).
//
// The steps that need no widget are plain functions in namespace PickLists; the class
// ParameterLists is the page's glue and the main window only creates it and forwards its
// load steps.

#include "storage/Sql.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QListWidget;
class QPushButton;
class TFormAsk;

namespace PickLists {

inline constexpr int ListCount = 6;

inline const QString AskTitle = QStringLiteral("参数设置");
inline const QString LookupFailed = QStringLiteral("读入帐款参数失败");

// Everything that differs between the six lists.
struct ListTexts {
    int type;
    QString listBox; // object name of the list box
    QString caption; // the label above it
    QString addButton; // object names of its three buttons
    QString editButton;
    QString deleteButton;
    QString loadFailed; // failure message of its load routine
    QString addPrompt;
    QString addEmpty;
    QString addDuplicate;
    QString editNoSelection;
    QString editPrompt;
    QString editEmpty;
    QString editDuplicate;
    QString deleteNoSelection;
};

// In the order of ParameterType.
const QList<ListTexts> &Lists();
// The items of a list in the order they were added, as the settings page shows them (the index
// on the item texts would otherwise hand them back sorted by character code).
Sql ListStatement(int type);
// The texts of a type (0 to 5).
const ListTexts &ListFor(int type);

// The values of a list in the order the database returns them. False after failMessage.
bool ReadValues(int type, const QString &failMessage, QStringList *values);
// Looks an item up by its exact text. False after "读入帐款参数失败"; otherwise *index is the
// ParameterIndex of the first matching row, or 0 when there is none.
bool FindValue(int type, const QString &text, qint64 *index);

enum class Outcome {
    Changed, // the table changed; the list is to be reloaded
    Unchanged, // refused with a message, asked and declined, or nothing to do
};

// The add, rename and delete of one item, with their messages (and the delete's question).
Outcome AddValue(int type, const QString &text);
Outcome RenameValue(int type, const QString &oldText, const QString &newText);
Outcome DeleteValue(int type, const QString &text);

} // namespace PickLists

class ParameterLists : public QWidget
{
    Q_OBJECT
public:
    // Lays the six lists out over area of page, three a row. ask hands over the ask dialog
    // when it is needed (the dialogs are created after the main window).
    ParameterLists(QWidget *page, const QRect &area, std::function<TFormAsk *()> ask);

    // The instance on a page, or null.
    static ParameterLists *on(QWidget *page);

    QListWidget *listBox(int type) const { return boxes[type]; }

    // Empties the list box of the type and fills it afresh; the last item ends up selected.
    // False after the load routine's failure message.
    bool LoadList(int type);
    // The load routines of the main window's login steps.
    void LoadReasonLists(); // 0, then 1
    void LoadCategoryList();
    void LoadVoucherList();
    void LoadCustomerList();
    void LoadSalesmanList();

    void AddParameter(int type);
    void EditParameter(int type);
    void DeleteParameter(int type);

private:
    // The text of the selected item; false when there is none (after its message and with the
    // focus on the list box).
    bool selectedText(int type, const QString &noSelection, QString *text);
    void reload(int type);

    std::function<TFormAsk *()> askDialog;
    QListWidget *boxes[PickLists::ListCount] = {};
};
