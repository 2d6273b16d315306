#include "ledgers/FormParts.h"

#include "storage/Query.h"
#include "storage/ShareDM.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QTableWidget>

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
