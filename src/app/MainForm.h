#pragma once

// The main window: the left work panel with the current day, the entry buttons and the user,
// the side bar that collapses the work panel, and six tabs that the user's rights show or hide.
//
// Later subsystems fill it at three kinds of places, each a member function below:
//  - a tab page: tabPage(MainTab) is the page widget; controls sit on it at fixed positions
//    (the layout moves them by name). Each page is built in its own build…Page() function.
//  - a start-up or login step: CreateAccountPanels, SelectGetPayRecordMode, ApplyLayout,
//    ShowBookChoice, LoadAccountSortChoice and the Load…List functions are the steps, empty
//    until their subsystem fills them.
//  - a RefreshAll step: RefreshAccountPanels, RefreshDailyJournal, reportGridOpen /
//    RefreshReportGrid and RefreshGetPayGrids, called by RefreshAll in its order.

#include "app/Session.h"
#include "app/SettingsPage.h"

#include <QDate>
#include <QHash>
#include <QMainWindow>
#include <QString>

class QAction;
class QComboBox;
class QDateEdit;
class QFrame;
class QRect;
class QLabel;
class QTabWidget;
class QToolButton;
class QWidget;
struct ProgramDialogs;

inline const QString SupportTelephone = QStringLiteral("400-820-6315");

class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormMain(const QString &programDir, QWidget *parent = nullptr);
    ~TFormMain() override;

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
    void LoadSettingsCombos();

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
    int accountPanelPage() const { return AccountPanelPage; }

    // Steps of the start-up and the login that later subsystems fill.
    void CreateAccountPanels();
    void SelectGetPayRecordMode();
    void ApplyLayout(bool maximized);
    void ShowBookChoice();
    void LoadAccountSortChoice();
    void LoadReasonLists();
    void LoadCategoryList();
    void LoadVoucherList();
    void LoadCustomerList();
    void LoadSalesmanList();

    // Steps of RefreshAll that later subsystems fill.
    void RefreshAccountPanels();
    void RefreshDailyJournal();
    bool reportGridOpen() const;
    void RefreshReportGrid();
    void RefreshGetPayGrids();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWorkPanel();
    void buildSideBar();
    void buildAccountsPage(QWidget *page);
    void buildJournalPage(QWidget *page);
    void buildGetPayPage(QWidget *page);
    void buildReportsPage(QWidget *page);
    void buildSettingsPage(QWidget *page);
    void buildMaintenancePage(QWidget *page);
    QWidget *buildSettingGroup(QWidget *page, const SettingChoice &choice, const QRect &area);

    QAction *makeAction(const char *name, const QString &caption);
    QToolButton *makeButton(QWidget *parent, const char *name, QAction *action, const QRect &geometry);
    void applyVisibility(const ShellVisibility &visibility);
    void storeSetting(const SettingChoice &choice);
    bool openStartLedger();
    void moveDay(int days);
    void Image1Click();
    void Image7Click();
    void showPicture(QLabel *label, const QString &relativePath);

    QString programDir;
    ProgramDialogs *programDialogs = nullptr;
    bool LayoutMaximized = false;
    int AccountPanelPage = 0;
    QString bookPictureFile;

    QFrame *workPanel = nullptr;
    QFrame *sideBar = nullptr;
    QLabel *image1 = nullptr;
    QLabel *image7 = nullptr;
    QDateEdit *dateTimePicker1 = nullptr;
    QLabel *label18 = nullptr;
    QTabWidget *pageControl = nullptr;
    QWidget *pages[MainTabCount] = {};
    QHash<QString, QAction *> actions;
    QHash<QString, QComboBox *> settingCombos;
};
