#include "app/MainForm.h"

#include "accounts/AccountOverview.h"
#include "accounts/AccountsPage.h"
#include "accounts/ChoseForm.h"
#include "app/Dialogs.h"
#include "app/MaintenancePage.h"
#include "app/OnlineServiceForm.h"
#include "app/SettingsPage.h"
#include "journal/EntryRules.h"
#include "journal/GetPayForm.h"
#include "journal/JournalPage.h"
#include "journal/ParameterLists.h"
#include "ledgers/DBChoseForm.h"
#include "ledgers/LedgerBackup.h"
#include "ledgers/LoginForm.h"
#include "platform/Seams.h"
#include "receivables/ReceivablesPage.h"
#include "reports/ReportsPage.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QAccessible>
#include <QAction>
#include <QDateEdit>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString MasterDatabaseFile = QStringLiteral("Quillbrook3.MDB");
const QString MissingMasterText = QStringLiteral("数据库文件丢失，请联系翎溪软件有限公司");
const QString NotLoggedIn = QStringLiteral("未登录");
constexpr int WorkPanelWidth = 97;
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
    // The normal layout of the "1024 * 768" display mode.
    setFixedSize(792, 571);

    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    setCentralWidget(central);

    buildWorkPanel();
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
}

TFormMain::~TFormMain() = default;

void TFormMain::setDialogs(ProgramDialogs *dialogs)
{
    programDialogs = dialogs;
    accountsPage = new AccountsPage(dialogs->account);
    journalPage = new JournalPage(dialogs->getPay);
    receivablesPage = new ReceivablesPage(dialogs->getPay2, dialogs->getPay3);
    reportsPage = new ReportsPage;
    settingsPage = new SettingsPage(dialogs->power, dialogs->ask);
    maintenancePage = new MaintenancePage(action(QStringLiteral("ActionSave")));
    // Every page lives for the whole run; a login shows the user's tabs by inserting them.
    for (MainPage *page : pageList())
        pageControl->addTab(page, page->caption());
}

QList<MainPage *> TFormMain::pageList() const
{
    return {accountsPage, journalPage, receivablesPage, reportsPage, settingsPage, maintenancePage};
}

QAction *TFormMain::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

// The left work panel. The layout calls the same region "Panel1" when it collapses it; it is one
// panel here, named "PanelWork" because the rights show and hide it under that name.
void TFormMain::buildWorkPanel()
{
    workPanel = new QFrame;
    workPanel->setObjectName(QStringLiteral("PanelWork"));
    workPanel->setFrameShape(QFrame::StyledPanel);
    workPanel->setFixedWidth(WorkPanelWidth);
    QWidget *p = workPanel;

    auto *bookCaption = MakeLabel(p, QStringLiteral("帐簿范围"), QRect(8, 6, 81, 18));
    image1 = MakeLabel(p, QString(), QRect(8, 26, 81, 64), "Image1");
    image1->setScaledContents(true);
    image1->setAccessibleName(QStringLiteral("帐簿范围"));
    image1->setFocusPolicy(Qt::TabFocus);
    image1->installEventFilter(this);
    bookCaption->setBuddy(image1);

    auto *dayCaption = MakeLabel(p, QStringLiteral("当前日期"), QRect(8, 96, 81, 18));
    dateTimePicker1 = new QDateEdit(p);
    dateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    dateTimePicker1->setGeometry(4, 116, 89, 24);
    dateTimePicker1->setCalendarPopup(true);
    dateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    dayCaption->setBuddy(dateTimePicker1);
    connect(dateTimePicker1, &QDateEdit::dateChanged, this, [this](const QDate &day) {
        Session().CurrentDay = day;
        RefreshAll();
    });
    auto *dayBack = MakeToolButton(p, "BitBtn1", QStringLiteral("前一天"), QRect(4, 144, 44, 24));
    dayBack->setToolTip(QStringLiteral("前一天"));
    connect(dayBack, &QToolButton::clicked, this, [this] { moveDay(-1); });
    auto *dayForward = MakeToolButton(p, "BitBtn2", QStringLiteral("后一天"), QRect(49, 144, 44, 24));
    dayForward->setToolTip(QStringLiteral("后一天"));
    connect(dayForward, &QToolButton::clicked, this, [this] { moveDay(1); });

    MakeLabel(p, QStringLiteral("录入操作"), QRect(8, 176, 81, 18));
    // 收入 and 支出 open the entry form for a new entry of their kind.
    auto newEntry = [this](const QString &kind) {
        return [this, kind] {
            if (TFormGetPay *form = programDialogs ? programDialogs->getPay : nullptr) {
                form->Request = EntryRequest {.EntryMode = EntryTexts::ModeNew, .EntryKind = kind};
                Platform::ShowModal(form);
            }
        };
    };
    QAction *actionGet = NewAction(this, "ActionGet", QStringLiteral("收入"));
    connect(actionGet, &QAction::triggered, this, newEntry(EntryTexts::KindIncome));
    MakeToolButton(p, "SpeedButtonGet", actionGet, QRect(8, 196, 81, 28));
    QAction *actionPay = NewAction(this, "ActionPay", QStringLiteral("支出"));
    connect(actionPay, &QAction::triggered, this, newEntry(EntryTexts::KindExpense));
    MakeToolButton(p, "SpeedButtonPay", actionPay, QRect(8, 228, 81, 28));
    MakeToolButton(
        p, "SpeedButtonDraw", NewAction(this, "ActionDraw", QStringLiteral("平调")), QRect(8, 260, 81, 28));

    MakeLabel(p, QStringLiteral("当前用户"), QRect(8, 298, 81, 18));
    label18 = MakeLabel(p, NotLoggedIn, QRect(8, 318, 81, 20), "Label18");
    label18->setAlignment(Qt::AlignCenter);
    label18->setAccessibleDescription(QStringLiteral("当前用户"));

    auto *online = MakeToolButton(p, "SpeedButtonOnline", QStringLiteral("在线服务"), QRect(8, 350, 81, 28));
    connect(online, &QToolButton::clicked, this, [this] {
        if (programDialogs && programDialogs->online)
            Platform::ShowModal(programDialogs->online);
    });
    QAction *reLogin = NewAction(this, "ActionReLogin", QStringLiteral("重新登录"));
    connect(reLogin, &QAction::triggered, this, [this] { LoginAndApplyRights(); });
    MakeToolButton(p, "SpeedButtonReLogin", reLogin, QRect(8, 382, 81, 28));

    // Below the normal layout's bottom on purpose: it shows in the taller layouts.
    QAction *actionSave = NewAction(this, "ActionSave", QStringLiteral("备份数据"));
    connect(actionSave, &QAction::triggered, this, [this] { Ledgers::BackupLedger(this); });
    MakeToolButton(p, "SpeedButtonSave", actionSave, QRect(8, 544, 81, 28));
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
    image7->setToolTip(QStringLiteral("点击打开隐藏功能"));
    image7->setAccessibleName(QStringLiteral("隐藏或显示左侧功能栏"));
    image7->setFocusPolicy(Qt::TabFocus);
    image7->installEventFilter(this);
    layout->addWidget(image7);
    showPicture(image7, QStringLiteral("Res/LeftBar.bmp"));
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
    return dateTimePicker1->date();
}

void TFormMain::setCurrentDay(const QDate &day)
{
    {
        const QSignalBlocker quiet(dateTimePicker1);
        dateTimePicker1->setDate(day);
    }
    Session().CurrentDay = dateTimePicker1->date();
}

void TFormMain::moveDay(int days)
{
    setCurrentDay(currentDay().addDays(days));
    RefreshAll();
}

void TFormMain::showPicture(QLabel *label, const QString &relativePath)
{
    label->setPixmap(QPixmap(programDir + relativePath));
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == image1 || watched == image7) {
        bool clicked = event->type() == QEvent::MouseButtonRelease;
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            clicked = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
        }
        if (clicked) {
            if (watched == image1)
                Image1Click();
            else
                Image7Click();
            return true;
        }
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
    // Collapse or expand the work panel; the layout picks the pictures of the other modes.
    if (workPanel->width() <= 0) {
        workPanel->setFixedWidth(WorkPanelWidth);
        showPicture(image7, QStringLiteral("Res/LeftBar.bmp"));
    } else {
        workPanel->setFixedWidth(0);
        showPicture(image7, QStringLiteral("Res/RightBar.bmp"));
    }
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
    if (!openStartLedger())
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
        showPicture(image1, f.BookPicture);
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
    label18->setText(s.CurrentUser);
    const ShellVisibility v = VisibilityFor(s);
    applyVisibility(v);
    if (!v.administrator) {
        ShowBookChoice();
        accountsPage->LoadAccountSortChoice();
        RefreshAll();
    }
    ParameterLists *lists = settingsPage->pickLists();
    lists->LoadReasonLists();
    lists->LoadCategoryList();
    lists->LoadVoucherList();
    lists->LoadCustomerList();
    lists->LoadSalesmanList();
    settingsPage->LoadSettingsCombos();
    maintenancePage->LoadSettingsCombos();
    return true;
}

void TFormMain::RefreshAll()
{
    accountsPage->ResetToFirstPage();
    BuildViewFilters();
    RefreshAccountPanels();
    RefreshMoneyGrid(MoneyGrid::Journal);
    if (reportGridOpen())
        RefreshMoneyGrid(MoneyGrid::Report);
    RefreshGetPayGrids(GetPayGridBoth);
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
    const QString screenPixel = ReadSetting(Settings::ScreenPixel, Accounts::Mode1024);
    for (MainPage *page : pageList())
        page->ApplyLayout(screenPixel, maximized);
}

void TFormMain::ShowBookChoice()
{
    // Its result is not used: the refresh after login reads whatever book is stored.
    if (programDialogs && programDialogs->chose)
        Platform::ShowModal(programDialogs->chose);
}

void TFormMain::RefreshAccountPanels()
{
    accountsPage->Refresh();
}

void TFormMain::RefreshMoneyGrid(MoneyGrid grid)
{
    if (grid == MoneyGrid::Journal)
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
