#pragma once

// The account panels of the "帐户状况" tab: 40 tiles created once, of which a page shows 15, 28
// or 40 (as the layout in force arranges them), each with an account's name, its balance on the current day,
// its movement in that day's month, its type and an icon chosen by the balance. Beside them: the page buttons
// (PriorAccount, NextAccount), NewAccount, the total label AccountSum, the empty-state picture
// ImageAccount and the sort lists ComboBox2/ComboBox6 under Label19.
//
// The container fills the tab page, under every other control on it. The main window owns the
// panel page number; the container keeps a reference to it. Paging and sorting ask the main
// window to refresh the panels (refreshRequested), so its day is used.

#include "storage/SettingKeys.h"
#include "storage/Sql.h"
#include "widgets/PageLayout.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

class Query;
class QComboBox;
class QFrame;
class QLabel;
class QToolButton;

class AccountPanels : public QWidget
{
    Q_OBJECT
public:
    // Builds the controls beside the panels on page; the panels themselves come with
    // CreatePanels. Needs no database or session yet.
    AccountPanels(QWidget *page, int &panelPage);
    // The container on a tab page, or null.
    static AccountPanels *of(const QWidget *page);

    // Creates the 40 panels, hidden, and places them in the grid in force. Runs once.
    void CreatePanels();
    // Places the 40 slots in the grid of a layout and hides those it leaves out (the layout
    // calls it before refreshing). The grid stays in force until the next layout.
    void PlaceSlots(const PanelGrid &grid);
    // Fills the panels of the current page for the day (RefreshAccountPanels). A page holds as
    // many panels as the grid in force shows; with no user logged in it shows none.
    void Refresh(const QDate &currentDay);
    // Selects the stored sort choices in the two lists without refreshing.
    void LoadSortChoice();

    // The account search's condition (" And …"), empty until a search is made.
    Sql AccountSearchFragment;

    int pageSize() const { return grid.visibleSlots; }
    // The total under the panels: the day's closing balance, written by the daily journal.
    void setAccountSumText(const QString &text);
    QFrame *panel(int slot) const;
    // The icon file shown by a slot, relative to ProgramDir.
    QString iconFile(int slot) const;

signals:
    // 上一页, 下一页 or a sort change: the main window refreshes the panels.
    void refreshRequested();
    // 新增帐户 pressed.
    void newAccountRequested();
    // A panel clicked: its account name and balance text (with " 元"), for the account
    // action dialog.
    void accountClicked(const QString &accountName, const QString &balanceText);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    struct Slot {
        QFrame *panel = nullptr;
        QLabel *name = nullptr;
        QLabel *balance = nullptr;
        QLabel *month = nullptr;
        QLabel *type = nullptr;
        QLabel *icon = nullptr;
        QString iconFile;
    };

    void createSlot(int n);
    void wire(QWidget *part, int n);
    bool fillSlot(Slot &slot, const Query &account, const QDate &day);
    void showIcon(Slot &slot, const QString &file);
    void hover(int n);
    void clickSlot(int n);
    void sortChanged(const SettingKey &key, int index);
    void updateAccessibleText(Slot &slot);

    QWidget *page = nullptr;
    int &panelPage;
    // The grid in force: the design layout's until a layout is applied.
    PanelGrid grid;
    QList<Slot> slotList;
    QHash<QString, QPixmap> iconCache;
    QLabel *accountSum = nullptr; // AccountSum
    QLabel *imageAccount = nullptr; // ImageAccount
    QToolButton *priorAccount = nullptr; // PriorAccount
    QToolButton *newAccount = nullptr; // NewAccount
    QToolButton *nextAccount = nullptr; // NextAccount
    QLabel *sortLabel = nullptr; // Label19
    QComboBox *sortBy = nullptr; // ComboBox2
    QComboBox *sortDirection = nullptr; // ComboBox6
};
