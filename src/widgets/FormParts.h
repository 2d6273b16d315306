#pragma once

// Small widget factories and list helpers that every form and page shares.

#include <QLineEdit>

#include <functional>
#include <span>

class Query;
class QVariant;

class QAction;
class QComboBox;
class QDateEdit;
class QDialog;
class QHBoxLayout;
class QRect;
class QTableWidget;
class QLabel;
class QPushButton;
class QToolButton;
class QWidget;
class Sql;

// A command of the window: added to it (so its shortcut works) and given its object name.
QAction *NewAction(QWidget *window, const char *objectName, const QString &text);
// A push button that runs the action and follows its text and enabled state.
QPushButton *ActionButton(QAction *action, QWidget *parent);
// A label for a control, set as its buddy so the control is named by it.
QLabel *BuddyLabel(const QString &text, QWidget *control, QWidget *parent);
// A plain label, given an object name when one is passed.
QLabel *MakeLabel(QWidget *parent, const QString &text, const char *objectName = nullptr);
// The same at a fixed place.
QLabel *MakeLabel(
    QWidget *parent, const QString &text, const QRect &geometry, const char *objectName = nullptr);
// A push button that never takes the dialog's default role by itself.
QPushButton *MakeButton(QWidget *parent, const char *objectName, const QString &text);
// A tool button at a fixed place, with its text.
QToolButton *MakeToolButton(
    QWidget *parent, const char *objectName, const QString &text, const QRect &geometry);
// A tool button at a fixed place that runs the action and shows its text beside its icon.
QToolButton *MakeToolButton(QWidget *parent, const char *objectName, QAction *action, const QRect &geometry);
// Lets the text box hold any length of text: a box never cuts what is typed, pasted or loaded
// into it (Qt's own limit is 32767 characters).
void KeepWholeText(QLineEdit *box);
// A plain text box that keeps its whole text.
QLineEdit *MakeLineEdit(QWidget *parent, const char *objectName);
// A drop-down list; an editable one takes typed text without adding it to its items, and keeps
// its whole text.
QComboBox *MakeComboBox(QWidget *parent, const char *objectName, bool editable = false);
// A day box with a calendar, showing days in the short form ("2006-6-15").
QDateEdit *MakeDateBox(QWidget *parent, const char *objectName);

// Fills combo with the column of every row of sql (after "所有" when withAll) and selects item 0.
void LoadCombo(QComboBox *combo, const Sql &sql, bool withAll, const QString &column);
// Selects the last item whose text equals text exactly; with none the selection stays.
void SelectComboText(QComboBox *combo, const QString &text);
// Shows a stored value: selects its item, adding it first when the list no longer offers it, so
// that a save the user did not use to change it stores it unchanged.
void KeepComboText(QComboBox *combo, const QString &text);
// A column of a list grid: the field it shows, its caption and width.
struct ListColumn {
    const char *field;
    const char *caption;
    int width;
};
// A read-only list of whole rows with these columns, wide enough to show them all.
QTableWidget *NewListGrid(QWidget *parent, const char *objectName, const QString &accessibleName,
    std::span<const ListColumn> columns);
// Fills a list grid with the query's rows, a cell per column (format, when given, turns a
// column's value into its text), and makes current the row whose keyField equals key, or the
// first row: like a freshly opened list, some row is current whenever there is one.
void FillListGrid(QTableWidget *grid, const Query &rows, std::span<const ListColumn> columns,
    const QString &keyField, const QVariant &key,
    const std::function<QString(int column, const QVariant &value)> &format = {});
// The selected row of a list grid filled from rows, or -1 when none is selected or its key is
// empty.
int SelectedListRow(const QTableWidget *grid, const Query &rows, const QString &keyField);
// The 确定 and 取消 buttons at the right of a dialog, bound to its ActionYes and ActionCancel.
QHBoxLayout *YesCancelButtons(QWidget *dialog, QAction **actionYes, QAction **actionCancel);
// Closes a dialog with Cancel once the show under way is over: a dialog cannot end its modal run
// from inside its own show. Nothing happens if the dialog was closed or shown again meanwhile
// (showCount counts its shows).
void RejectAfterShow(QDialog *dialog, const int *showCount);
// Loads a banner picture from the program folder into the label (once it is found).
void LoadBanner(QLabel *banner, const QString &relativePath);

// A password field that shows every typed character as "#".
class HashPasswordEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit HashPasswordEdit(QWidget *parent = nullptr);
};
