#pragma once

// The main window is the shell: the left work panel with the current day, the entry buttons and
// the user; the side bar that collapses it; the tab widget with one page per tab; the start-up
// and login steps and the refresh of every view. Each tab's work lives in its page class.

#include "app/Session.h"

#include <QDate>
#include <QMainWindow>
#include <QMargins>
#include <QString>

class AccountsPage;
class JournalPage;
class MainPage;
class MaintenancePage;
class QAction;
class QFrame;
class QLabel;
class QTabWidget;
class ReceivablesPage;
class ReportsPage;
class SettingsPage;
class WindowSizer;
class WorkPanel;
struct ProgramDialogs;

namespace MainLayout {
struct LayoutColumn;
}

// The two grids that RefreshMoneyGrid fills.
enum class MoneyGridKind { Journal, Report };

inline const QString SupportTelephone = QStringLiteral("400-820-6315");

class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormMain(const QString &programDir, QWidget *parent = nullptr);
    ~TFormMain() override;

    // Hands over the dialogs, created after the window, and builds the tab pages that use them.
    void setDialogs(ProgramDialogs *dialogs);
    ProgramDialogs *dialogs() const { return programDialogs; }

    // The create step: the session values fixed for the run. Needs the shared data module.
    void FormCreate();
    // The show step: master database, ledger, login. False when the run is to end.
    bool FormShow();

    void BuildViewFilters();
    // True when a user logged in; false when the login was cancelled (nothing changed then).
    bool LoginAndApplyRights();
    void RefreshAll();

    // The page of a tab, whether or not the user's tabs include it.
    QWidget *tabPage(MainTab tab) const;
    QTabWidget *tabs() const { return pageControl; }
    QAction *action(const QString &objectName) const;

    // The main window's current day (the date picker); every change reaches Session().CurrentDay.
    QDate currentDay() const;
    // Sets the day without running RefreshAll.
    void setCurrentDay(const QDate &day);
    // The account-book picture shown, relative to ProgramDir (empty before the first refresh).
    QString bookPicture() const { return bookPictureFile; }
    bool layoutMaximized() const { return LayoutMaximized; }
    // The layout the window and its pages stand in: the design layout until one is applied.
    const MainLayout::LayoutColumn &layoutInForce() const { return *currentLayout; }
    // The side-bar picture shown, relative to ProgramDir.
    QString sideBarPicture() const { return sideBarPictureFile; }
    int accountPanelPage() const;

    // Start-up and login steps.
    void CreateAccountPanels();
    void SelectGetPayRecordMode();
    // Lays out the window for the stored display mode, normal or maximized: the window's size,
    // every page's controls and the side-bar picture; then refreshes the account panels. A mode
    // that is neither known text moves nothing.
    void ApplyLayout(bool maximized);
    void ShowBookChoice();
    void LoadAccountSortChoice();
    void LoadReasonLists();
    void LoadCategoryList();
    void LoadVoucherList();
    void LoadCustomerList();
    void LoadSalesmanList();
    void LoadSettingsCombos();

    // Steps of RefreshAll, in its order.
    void RefreshAccountPanels();
    void RefreshMoneyGrid(MoneyGridKind grid);
    bool reportGridOpen() const;
    // 0 the receivables, 1 the payables, 2 both.
    void RefreshGetPayGrids(int which);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Maximize and restore, however the user gives them, arrive as window-state changes.
    void changeEvent(QEvent *event) override;

private:
    void buildSideBar();
    void showUserTabs(const ShellVisibility &visibility);
    void applyVisibility(const ShellVisibility &visibility);
    bool openStartLedger();
    void Image1Click();
    void Image7Click();
    void showSideBarPicture();
    void applyPageLayouts();
    QList<MainPage *> pageList() const;

    QString programDir;
    ProgramDialogs *programDialogs = nullptr;
    bool LayoutMaximized = false;
    const MainLayout::LayoutColumn *currentLayout = nullptr;
    QString bookPictureFile;
    QString sideBarPictureFile;
    WindowSizer *windowSizer = nullptr;

    WorkPanel *workPanel = nullptr;
    QFrame *sideBar = nullptr;
    QLabel *image7 = nullptr;
    QTabWidget *pageControl = nullptr;
    AccountsPage *accountsPage = nullptr;
    JournalPage *journalPage = nullptr;
    ReceivablesPage *receivablesPage = nullptr;
    ReportsPage *reportsPage = nullptr;
    SettingsPage *settingsPage = nullptr;
    MaintenancePage *maintenancePage = nullptr;
};
