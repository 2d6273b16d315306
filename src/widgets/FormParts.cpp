#include "widgets/FormParts.h"

#include "storage/PublicFunction.h"
#include "storage/Query.h"
#include "storage/ShareDM.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include <limits>

namespace {
// The echo character comes from the style; this one asks for "#" and shows no typed
// character even for a moment.
class HashEchoStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
        QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '#';
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QStyle *hashEchoStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new HashEchoStyle;
        style->setParent(qApp);
    }
    return style;
}
} // namespace

QAction *NewAction(QWidget *window, const char *objectName, const QString &text)
{
    auto *action = new QAction(text, window);
    action->setObjectName(QString::fromLatin1(objectName));
    window->addAction(action);
    return action;
}

QPushButton *ActionButton(QAction *action, QWidget *parent)
{
    auto *button = new QPushButton(action->text(), parent);
    button->setObjectName(QStringLiteral("Button") + action->objectName());
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        button->setVisible(action->isVisible());
    });
    return button;
}

QLabel *BuddyLabel(const QString &text, QWidget *control, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(control);
    return label;
}

QLabel *MakeLabel(QWidget *parent, const QString &text, const char *objectName)
{
    auto *label = new QLabel(text, parent);
    if (objectName)
        label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

QLabel *MakeLabel(QWidget *parent, const QString &text, const QRect &geometry, const char *objectName)
{
    QLabel *label = MakeLabel(parent, text, objectName);
    label->setGeometry(geometry);
    return label;
}

QPushButton *MakeButton(QWidget *parent, const char *objectName, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

QToolButton *MakeToolButton(
    QWidget *parent, const char *objectName, const QString &text, const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setText(text);
    button->setGeometry(geometry);
    return button;
}

QToolButton *MakeToolButton(QWidget *parent, const char *objectName, QAction *action, const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    if (action)
        button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setGeometry(geometry);
    return button;
}

void KeepWholeText(QLineEdit *box)
{
    box->setMaxLength(std::numeric_limits<int>::max());
}

QLineEdit *MakeLineEdit(QWidget *parent, const char *objectName)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    KeepWholeText(edit);
    return edit;
}

QComboBox *MakeComboBox(QWidget *parent, const char *objectName, bool editable)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(objectName));
    combo->setEditable(editable);
    if (editable) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        KeepWholeText(combo->lineEdit());
    }
    return combo;
}

QDateEdit *MakeDateBox(QWidget *parent, const char *objectName)
{
    auto *box = new QDateEdit(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setCalendarPopup(true);
    box->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    return box;
}

void LoadCombo(QComboBox *combo, const Sql &sql, bool withAll, const QString &column)
{
    combo->clear();
    if (withAll)
        combo->addItem(Texts::AllItems);
    Query query;
    if (RunQuery(query, sql, Texts::LoadComboFailed)) {
        QStringList items;
        for (query.first(); !query.eof(); query.next())
            items.append(query.text(column));
        combo->addItems(items);
    }
    if (combo->count() > 0)
        combo->setCurrentIndex(0);
}

void SelectComboText(QComboBox *combo, const QString &text)
{
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i) == text)
            combo->setCurrentIndex(i);
}

void KeepComboText(QComboBox *combo, const QString &text)
{
    if (combo->isEditable() && text.isEmpty()) {
        combo->setEditText(text);
        return;
    }
    if (combo->findText(text) < 0)
        combo->addItem(text);
    SelectComboText(combo, text);
}

void RejectAfterShow(QDialog *dialog, const int *showCount)
{
    const int thisShow = *showCount;
    QMetaObject::invokeMethod(
        dialog,
        [dialog, showCount, thisShow] {
            if (thisShow == *showCount && dialog->isVisible())
                dialog->reject();
        },
        Qt::QueuedConnection);
}

void LoadBanner(QLabel *banner, const QString &relativePath)
{
    if (!banner->pixmap().isNull() || !ShareDataModule)
        return;
    QPixmap picture(Session().ProgramDir + relativePath);
    if (!picture.isNull())
        banner->setPixmap(picture);
}

HashPasswordEdit::HashPasswordEdit(QWidget *parent) : QLineEdit(parent)
{
    setStyle(hashEchoStyle());
    setEchoMode(QLineEdit::Password);
}

QTableWidget *NewListGrid(QWidget *parent, const char *objectName, const QString &accessibleName,
    std::span<const ListColumn> columns)
{
    auto *grid = new QTableWidget(0, int(columns.size()), parent);
    grid->setObjectName(QString::fromLatin1(objectName));
    grid->setAccessibleName(accessibleName);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->hide();
    int totalWidth = 0;
    for (int c = 0; c < int(columns.size()); ++c) {
        grid->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(columns[c].caption)));
        grid->setColumnWidth(c, columns[c].width);
        totalWidth += columns[c].width;
    }
    grid->setMinimumWidth(totalWidth + 24);
    return grid;
}

QHBoxLayout *YesCancelButtons(QWidget *dialog, QAction **actionYes, QAction **actionCancel)
{
    *actionYes = NewAction(dialog, "ActionYes", QStringLiteral("确定"));
    *actionCancel = NewAction(dialog, "ActionCancel", QStringLiteral("取消"));
    QPushButton *yesButton = ActionButton(*actionYes, dialog);
    QPushButton *cancelButton = ActionButton(*actionCancel, dialog);
    yesButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yesButton);
    buttons->addWidget(cancelButton);
    return buttons;
}

void FillListGrid(QTableWidget *grid, const Query &rows, std::span<const ListColumn> columns,
    const QString &keyField, const QVariant &key,
    const std::function<QString(int column, const QVariant &value)> &format)
{
    grid->setRowCount(rows.rowCount());
    int current = rows.rowCount() > 0 ? 0 : -1;
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < int(columns.size()); ++c) {
            const QVariant value = rows.valueAt(r, QString::fromLatin1(columns[c].field));
            grid->setItem(r, c, new QTableWidgetItem(format ? format(c, value) : value.toString()));
        }
        if (key.isValid() && rows.valueAt(r, keyField) == key)
            current = r;
    }
    if (current >= 0)
        grid->selectRow(current);
}

int SelectedListRow(const QTableWidget *grid, const Query &rows, const QString &keyField)
{
    if (!rows.isOpen())
        return -1;
    const QModelIndexList selected = grid->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return -1;
    const int row = selected.constFirst().row();
    if (row >= rows.rowCount() || rows.valueAt(row, keyField).isNull())
        return -1;
    return row;
}
