#include "app/MainForm.h"

#include "accounts/AccountOverview.h"
#include "accounts/AccountPanels.h"
#include "accounts/AccountsPage.h"
#include "accounts/ChoseForm.h"
#include "app/Dialogs.h"
#include "app/MainLayout.h"
#include "app/MaintenancePage.h"
#include "app/OnlineServiceForm.h"
#include "app/SettingsPage.h"
#include "app/WindowSizer.h"
#include "app/WorkPanel.h"
#include "journal/JournalPage.h"
#include "journal/ParameterLists.h"
#include "ledgers/AutoBackup.h"
#include "ledgers/DBChoseForm.h"
#include "ledgers/LoginForm.h"
#include "platform/Seams.h"
#include "receivables/ReceivablesPage.h"
#include "reports/MonthSummary.h"
#include "reports/ReportsPage.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAccessible>
#include <QAction>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

namespace {
const QString MasterDatabaseFile = QStringLiteral("Quillbrook3.MDB");
const QString MissingMasterText = QStringLiteral("数据库文件丢失，请联系翎溪软件有限公司");
constexpr int SideBarWidth = 16;

QString programTitle()
{
    return QString::fromUtf8(Platform::ProgramTitle);
}
} // namespace

TFormMain::TFormMain(const QString &programDir, QWidget *parent) : QMainWindow(parent), programDir(programDir)
{
    setObjectName(QStringLiteral("TFormMain"));
    setWindowTitle(programTitle());
    setWindowIcon(QIcon(programDir + QStringLiteral("Res/Quillbrook.ico")));
    // A maximize button although the normal layouts have a size of their own.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    currentLayout = &MainLayout::DesignLayout();
    windowSizer = new WindowSizer(this);
    windowSizer->apply(*currentLayout);

    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    setCentralWidget(central);

    workPanel = new WorkPanel(this, programDir);
    connect(workPanel, &WorkPanel::dayChanged, this, &TFormMain::RefreshAll);
    connect(workPanel, &WorkPanel::bookPictureClicked, this, &TFormMain::Image1Click);
    connect(workPanel, &WorkPanel::reLoginRequested, this, [this] { LoginAndApplyRights(); });
    buildSideBar();

    auto *panel3 = new QFrame(central);
    panel3->setObjectName(QStringLiteral("Panel3"));
    auto *panel3Layout = new QVBoxLayout(panel3);
    panel3Layout->setContentsMargins(0, 0, 0, 0);
    pageControl = new QTabWidget(panel3);
    pageControl->setObjectName(QStringLiteral("PageControl1"));
    panel3Layout->addWidget(pageControl);

    row->addWidget(workPanel);
    row->addWidget(sideBar);
    row->addWidget(panel3, 1);
    showSideBarPicture();
}

TFormMain::~TFormMain() = default;

void TFormMain::setDialogs(ProgramDialogs *dialogs)
{
    programDialogs = dialogs;
    workPanel->setDialogs(dialogs);
    accountsPage = new AccountsPage(dialogs->account, dialogs->account2, dialogs->accountSearch);
    // 帐户月结 sits on the accounts tab; its work belongs to the reports.
    connect(accountsPage->findChild<QAction *>(QStringLiteral("ActionMoneyMonth")), &QAction::triggered, this,
        [this] { MonthSummary::Run(programDialogs->accountChose, programDialogs->progress, this); });
    journalPage = new JournalPage(dialogs->getPay);
    receivablesPage = new ReceivablesPage(dialogs->getPay2, dialogs->getPay3);
    reportsPage = new ReportsPage(dialogs->makeReport, dialogs->getPay, dialogs->cake);
    settingsPage = new SettingsPage(dialogs->power, dialogs->ask);
    maintenancePage = new MaintenancePage(action(QStringLiteral("ActionSave")));
    connect(journalPage, &JournalPage::accountSumChanged, accountsPage->panels(),
        &AccountPanels::setAccountSumText);
    connect(accountsPage, &AccountsPage::monthRecordsRequested, this, [this] {
        RefreshMoneyGrid(MoneyGridKind::Report);
        pageControl->setCurrentWidget(reportsPage);
    });
    // Every page lives for the whole run; a login shows the user's tabs by inserting them.
    for (MainPage *page : pageList())
        pageControl->addTab(page, page->caption());
    applyPageLayouts();
}

QList<MainPage *> TFormMain::pageList() const
{
    return {accountsPage, journalPage, receivablesPage, reportsPage, settingsPage, maintenancePage};
}

QAction *TFormMain::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TFormMain::buildSideBar()
{
    sideBar = new QFrame;
    sideBar->setObjectName(QStringLiteral("Panel2"));
    sideBar->setFixedWidth(SideBarWidth);
    auto *layout = new QVBoxLayout(sideBar);
    layout->setContentsMargins(0, 0, 0, 0);
    image7 = MakeLabel(sideBar, QString(), "Image7");
    image7->setScaledContents(true);
    // The picture fills the bar whatever its own height.
    image7->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    image7->setToolTip(QStringLiteral("点击打开隐藏功能"));
    image7->setAccessibleName(QStringLiteral("隐藏或显示左侧功能栏"));
    image7->setFocusPolicy(Qt::TabFocus);
    image7->installEventFilter(this);
    layout->addWidget(image7);
}

QWidget *TFormMain::tabPage(MainTab tab) const
{
    return pageList().value(int(tab));
}

int TFormMain::accountPanelPage() const
{
    return accountsPage->panelPage();
}

QDate TFormMain::currentDay() const
{
    return workPanel->currentDay();
}

void TFormMain::setCurrentDay(const QDate &day)
{
    workPanel->setCurrentDay(day);
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == image7 && IsPictureClick(event)) {
        Image7Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::Image1Click()
{
    if (programDialogs && programDialogs->chose
        && Platform::ShowModal(programDialogs->chose) == QDialog::Accepted)
        RefreshAll();
}

void TFormMain::Image7Click()
{
    workPanel->setCollapsed(!workPanel->isCollapsed());
    showSideBarPicture();
}

// The picture of the layout in force for the work panel's state: "LeftBar" while it shows,
// "RightBar" while it is collapsed.
void TFormMain::showSideBarPicture()
{
    const QString file = workPanel->isCollapsed() ? currentLayout->rightBar : currentLayout->leftBar;
    if (file == sideBarPictureFile)
        return;
    sideBarPictureFile = file;
    image7->setPixmap(QPixmap(programDir + file));
}

void TFormMain::FormCreate()
{
    SessionValues &s = Session();
    s.ProgramDir = programDir;
    s.SettingsPath = programDir + QStringLiteral("Quillbrook.ini");
    s.MultiUserEdition = false;
    LayoutMaximized = false;
    connect(ShareDataModule, &TShareDataModule::refreshAllRequested, this, &TFormMain::RefreshAll,
        Qt::UniqueConnection);
}

bool TFormMain::FormShow()
{
    SessionValues &s = Session();
    const QString masterPath = s.ProgramDir + MasterDatabaseFile;
    if (!QFileInfo(masterPath).isFile()) {
        Platform::ShowError(MissingMasterText + SupportTelephone);
        return false;
    }
    QString error;
    if (!OpenLedgerConnection(masterPath, DatabaseKind::Master, &error)) {
        Platform::ShowError(
            Texts::DatabaseOpenFailed + QStringLiteral("：") + masterPath + QLatin1Char('\n') + error);
        return false;
    }
    s.DefaultLedgerFolder = Texts::RunPathPlaceholder + QStringLiteral("DataBase\\");
    if (!openStartLedger() || !Ledgers::CheckOpenedLedger())
        return false;

    setWindowTitle(s.LedgerCaption.isEmpty() ? programTitle()
                                             : programTitle() + QStringLiteral(" - ") + s.LedgerCaption);
    setCurrentDay(Platform::Today());
    CreateAccountPanels();
    SelectGetPayRecordMode();
    ApplyLayout(false);
    return LoginAndApplyRights();
}

// The chooser, or the ledger of the last run when the settings ask for it and it still exists.
bool TFormMain::openStartLedger()
{
    if (ReadSetting(Settings::LoginMode, SettingTexts::LoginModeChooser) != SettingTexts::LoginModeChooser) {
        const QString last = ReadSetting(Settings::LoginDatabase, QString());
        if (!last.isEmpty() && QFileInfo(last).isFile()) {
            ShareDataModule->closeConnection();
            QString error;
            if (!OpenLedgerConnection(last, DatabaseKind::Ledger, &error)) {
                Platform::ShowError(
                    Texts::DatabaseOpenFailed + QStringLiteral("：") + last + QLatin1Char('\n') + error);
                return false;
            }
            return true;
        }
    }
    return Platform::ShowModal(programDialogs->dbChose) == QDialog::Accepted;
}

void TFormMain::BuildViewFilters()
{
    SessionValues &s = Session();
    const ViewFilters f = MakeViewFilters(
        ReadSetting(Settings::AccountBook, QStringLiteral("1")), s.RightOverview, s.CurrentUser);
    s.AccountBookFilter = f.AccountBookFilter;
    s.MoneyOwnerFilter = f.MoneyOwnerFilter;
    s.GetPayOwnerFilter = f.GetPayOwnerFilter;
    if (!f.BookPicture.isEmpty()) {
        bookPictureFile = f.BookPicture;
        workPanel->showBookPicture(f.BookPicture);
    }
}

// The user's tabs only: a hidden tab is taken out of the tab bar rather than hidden in it, so
// that assistive technology, which reads the tab bar, offers exactly the tabs the user has.
void TFormMain::showUserTabs(const ShellVisibility &v)
{
    const QSignalBlocker quiet(pageControl);
    const QList<MainPage *> pages = pageList();
    for (int i = pageControl->count() - 1; i >= 0; --i)
        pageControl->removeTab(i);
    for (int i = 0; i < MainTabCount; ++i)
        if (v.tabVisible[i])
            pageControl->addTab(pages[i], pages[i]->caption());
    pageControl->setCurrentWidget(pages[int(v.activeTab)]);
    // The tab bar's accessible interface keeps the interfaces of its tabs by position and does not
    // drop them when tabs go, so a reader would still list the old user's extra tabs. Start it
    // afresh and tell the reader that the children changed.
    QTabBar *bar = pageControl->tabBar();
    if (QAccessibleInterface *stale = QAccessible::queryAccessibleInterface(bar))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(stale));
    QAccessibleEvent reordered(bar, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reordered);
}

void TFormMain::applyVisibility(const ShellVisibility &v)
{
    showUserTabs(v);
    workPanel->setVisible(v.workPanelVisible);
    const SessionValues &s = Session();
    for (const RightButton &rb : RightButtons()) {
        const bool allowed = s.*(rb.right);
        if (auto *button = findChild<QToolButton *>(QString::fromLatin1(rb.button)))
            button->setVisible(allowed);
        if (QAction *a = action(QString::fromLatin1(rb.action))) {
            a->setVisible(allowed);
            a->setEnabled(allowed);
        }
    }
}

bool TFormMain::LoginAndApplyRights()
{
    if (!programDialogs || Platform::ShowModal(programDialogs->login) != QDialog::Accepted)
        return false;
    const SessionValues &s = Session();
    workPanel->setUserName(s.CurrentUser);
    const ShellVisibility v = VisibilityFor(s);
    applyVisibility(v);
    if (!v.administrator) {
        ShowBookChoice();
        LoadAccountSortChoice();
        RefreshAll();
    }
    LoadReasonLists();
    LoadCategoryList();
    LoadVoucherList();
    LoadCustomerList();
    LoadSalesmanList();
    LoadSettingsCombos();
    return true;
}

// The steps of RefreshAccountPanels, RefreshMoneyGrid and RefreshGetPayGrids in their order, each
// page refreshing at once if it is on screen and otherwise when it is shown: a day step or a save
// then costs what the user is looking at.
void TFormMain::RefreshAll()
{
    accountsPage->ResetToFirstPage();
    BuildViewFilters();
    accountsPage->RefreshWhenShown();
    journalPage->RefreshWhenShown();
    if (reportGridOpen())
        reportsPage->RefreshWhenShown();
    receivablesPage->RefreshWhenShown();
}

void TFormMain::CreateAccountPanels()
{
    accountsPage->CreateAccountPanels();
}

void TFormMain::SelectGetPayRecordMode()
{
    receivablesPage->SelectGetPayRecordMode();
}

void TFormMain::ApplyLayout(bool maximized)
{
    LayoutMaximized = maximized;
    if (const MainLayout::LayoutColumn *layout
        = MainLayout::LayoutFor(ReadSetting(Settings::ScreenPixel, Accounts::Mode1024), maximized)) {
        currentLayout = layout;
        windowSizer->apply(*layout);
        applyPageLayouts();
    }
    showSideBarPicture();
    RefreshAccountPanels();
}

void TFormMain::applyPageLayouts()
{
    for (MainPage *page : pageList())
        if (page)
            page->ApplyLayout(currentLayout->page(page->objectName()));
}

void TFormMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const Qt::WindowStates now = windowState();
    if (now & Qt::WindowMinimized)
        return;
    const bool wasMaximized = static_cast<QWindowStateChangeEvent *>(event)->oldState() & Qt::WindowMaximized;
    const bool maximized = now & Qt::WindowMaximized;
    if (maximized != wasMaximized)
        ApplyLayout(maximized);
}

void TFormMain::ShowBookChoice()
{
    // Its result is not used: the refresh after login reads whatever book is stored.
    if (programDialogs && programDialogs->chose)
        Platform::ShowModal(programDialogs->chose);
}

void TFormMain::LoadAccountSortChoice()
{
    accountsPage->LoadAccountSortChoice();
}

void TFormMain::LoadReasonLists()
{
    settingsPage->pickLists()->LoadReasonLists();
}

void TFormMain::LoadCategoryList()
{
    settingsPage->pickLists()->LoadCategoryList();
}

void TFormMain::LoadVoucherList()
{
    settingsPage->pickLists()->LoadVoucherList();
}

void TFormMain::LoadCustomerList()
{
    settingsPage->pickLists()->LoadCustomerList();
}

void TFormMain::LoadSalesmanList()
{
    settingsPage->pickLists()->LoadSalesmanList();
}

void TFormMain::LoadSettingsCombos()
{
    settingsPage->LoadSettingsCombos();
    maintenancePage->LoadSettingsCombos();
}

void TFormMain::RefreshAccountPanels()
{
    accountsPage->Refresh();
}

void TFormMain::RefreshMoneyGrid(MoneyGridKind grid)
{
    if (grid == MoneyGridKind::Journal)
        journalPage->Refresh();
    else
        reportsPage->Refresh();
}

bool TFormMain::reportGridOpen() const
{
    return reportsPage->reportOpen();
}

void TFormMain::RefreshGetPayGrids(int which)
{
    receivablesPage->RefreshGetPayGrids(which);
}
