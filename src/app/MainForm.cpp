#include "app/MainForm.h"

#include "accounts/AccountForm.h"
#include "accounts/AccountPanels.h"
#include "accounts/ChoseForm.h"
#include "app/Dialogs.h"
#include "app/OnlineServiceForm.h"
#include "journal/EntryRules.h"
#include "journal/GetPayForm.h"
#include "journal/ParameterLists.h"
#include "ledgers/DBChoseForm.h"
#include "ledgers/LedgerBackup.h"
#include "ledgers/LoginForm.h"
#include "ledgers/PowerForm.h"
#include "platform/Seams.h"
#include "printing/DesignerForm.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
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

QLabel *makeLabel(QWidget *parent, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
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

    const QString captions[MainTabCount]
        = {QStringLiteral("帐户状况"), QStringLiteral("日记帐簿"), QStringLiteral("应收应付"),
            QStringLiteral("报表中心"), QStringLiteral("软件设置"), QStringLiteral("数据维护")};
    for (int i = 0; i < MainTabCount; ++i) {
        pages[i] = new QWidget;
        pages[i]->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        pageControl->addTab(pages[i], captions[i]);
    }
    buildAccountsPage(pages[int(MainTab::Accounts)]);
    buildJournalPage(pages[int(MainTab::Journal)]);
    buildGetPayPage(pages[int(MainTab::GetPay)]);
    buildReportsPage(pages[int(MainTab::Reports)]);
    buildSettingsPage(pages[int(MainTab::Settings)]);
    buildMaintenancePage(pages[int(MainTab::Maintenance)]);

    row->addWidget(workPanel);
    row->addWidget(sideBar);
    row->addWidget(panel3, 1);
}

TFormMain::~TFormMain() = default;

void TFormMain::setDialogs(ProgramDialogs *dialogs)
{
    programDialogs = dialogs;
}

QAction *TFormMain::makeAction(const char *name, const QString &caption)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    addAction(a);
    actions.insert(a->objectName(), a);
    return a;
}

QToolButton *TFormMain::makeButton(QWidget *parent, const char *name, QAction *action, const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    if (action)
        button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setGeometry(geometry);
    return button;
}

QAction *TFormMain::action(const QString &objectName) const
{
    return actions.value(objectName);
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

    auto *bookCaption = makeLabel(p, QStringLiteral("帐簿范围"), QRect(8, 6, 81, 18));
    image1 = new QLabel(p);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setGeometry(8, 26, 81, 64);
    image1->setScaledContents(true);
    image1->setAccessibleName(QStringLiteral("帐簿范围"));
    image1->setFocusPolicy(Qt::TabFocus);
    image1->installEventFilter(this);
    bookCaption->setBuddy(image1);

    auto *dayCaption = makeLabel(p, QStringLiteral("当前日期"), QRect(8, 96, 81, 18));
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
    auto *dayBack = makeButton(p, "BitBtn1", nullptr, QRect(4, 144, 44, 24));
    dayBack->setText(QStringLiteral("前一天"));
    dayBack->setToolTip(QStringLiteral("前一天"));
    connect(dayBack, &QToolButton::clicked, this, [this] { moveDay(-1); });
    auto *dayForward = makeButton(p, "BitBtn2", nullptr, QRect(49, 144, 44, 24));
    dayForward->setText(QStringLiteral("后一天"));
    dayForward->setToolTip(QStringLiteral("后一天"));
    connect(dayForward, &QToolButton::clicked, this, [this] { moveDay(1); });

    makeLabel(p, QStringLiteral("录入操作"), QRect(8, 176, 81, 18));
    // 收入 and 支出 open the entry form for a new entry of their kind.
    auto newEntry = [this](const QString &kind) {
        return [this, kind] {
            TFormGetPay *form = programDialogs ? programDialogs->getPay : nullptr;
            if (!form)
                return;
            form->EntryMode = EntryTexts::ModeNew;
            form->EntryKind = kind;
            form->PresetUser.clear();
            form->PresetAmount.clear();
            form->PresetRemark.clear();
            Platform::ShowModal(form);
        };
    };
    QAction *actionGet = makeAction("ActionGet", QStringLiteral("收入"));
    connect(actionGet, &QAction::triggered, this, newEntry(EntryTexts::KindIncome));
    makeButton(p, "SpeedButtonGet", actionGet, QRect(8, 196, 81, 28));
    QAction *actionPay = makeAction("ActionPay", QStringLiteral("支出"));
    connect(actionPay, &QAction::triggered, this, newEntry(EntryTexts::KindExpense));
    makeButton(p, "SpeedButtonPay", actionPay, QRect(8, 228, 81, 28));
    makeButton(p, "SpeedButtonDraw", makeAction("ActionDraw", QStringLiteral("平调")), QRect(8, 260, 81, 28));

    makeLabel(p, QStringLiteral("当前用户"), QRect(8, 298, 81, 18));
    label18 = makeLabel(p, NotLoggedIn, QRect(8, 318, 81, 20));
    label18->setObjectName(QStringLiteral("Label18"));
    label18->setAlignment(Qt::AlignCenter);
    label18->setAccessibleDescription(QStringLiteral("当前用户"));

    auto *online = makeButton(p, "SpeedButtonOnline", nullptr, QRect(8, 350, 81, 28));
    online->setText(QStringLiteral("在线服务"));
    connect(online, &QToolButton::clicked, this, [this] {
        if (programDialogs && programDialogs->online)
            Platform::ShowModal(programDialogs->online);
    });
    QAction *reLogin = makeAction("ActionReLogin", QStringLiteral("重新登录"));
    connect(reLogin, &QAction::triggered, this, [this] { LoginAndApplyRights(); });
    makeButton(p, "SpeedButtonReLogin", reLogin, QRect(8, 382, 81, 28));

    // Below the normal layout's bottom on purpose: it shows in the taller layouts.
    QAction *actionSave = makeAction("ActionSave", QStringLiteral("备份数据"));
    connect(actionSave, &QAction::triggered, this, [this] { Ledgers::BackupLedger(this); });
    makeButton(p, "SpeedButtonSave", actionSave, QRect(8, 544, 81, 28));
}

void TFormMain::buildSideBar()
{
    sideBar = new QFrame;
    sideBar->setObjectName(QStringLiteral("Panel2"));
    sideBar->setFixedWidth(SideBarWidth);
    auto *layout = new QVBoxLayout(sideBar);
    layout->setContentsMargins(0, 0, 0, 0);
    image7 = new QLabel(sideBar);
    image7->setObjectName(QStringLiteral("Image7"));
    image7->setScaledContents(true);
    image7->setToolTip(QStringLiteral("点击打开隐藏功能"));
    image7->setAccessibleName(QStringLiteral("隐藏或显示左侧功能栏"));
    image7->setFocusPolicy(Qt::TabFocus);
    image7->installEventFilter(this);
    layout->addWidget(image7);
    showPicture(image7, QStringLiteral("Res/LeftBar.bmp"));
}

void TFormMain::buildAccountsPage(QWidget *page)
{
    // The panels' container with the page buttons, 新增帐户, the total, the empty-state
    // picture and the sort lists; the panels themselves come with CreateAccountPanels.
    auto *panels = new AccountPanels(page, AccountPanelPage);
    connect(panels, &AccountPanels::refreshRequested, this, &TFormMain::RefreshAccountPanels);
    connect(panels, &AccountPanels::newAccountRequested, this, [this] {
        if (programDialogs && programDialogs->account)
            programDialogs->account->NewAccount();
    });
    makeButton(page, "SpeedButton3", makeAction("ActionMoneyMonth", QStringLiteral("帐户月结")),
        QRect(672, 40, 75, 25));
}

void TFormMain::buildJournalPage(QWidget *)
{
    // The daily journal grid and its day totals come with the journal.
}

void TFormMain::buildGetPayPage(QWidget *page)
{
    // The grids, display choices and export buttons come with the receivables; the command
    // buttons stand beside where the receivables grid and the payables panel go.
    makeButton(
        page, "SpeedButton5", makeAction("ActionNewGet", QStringLiteral("新增记录")), QRect(436, 8, 90, 26));
    makeButton(page, "SpeedButton6", makeAction("ActionEditGet", QStringLiteral("修改记录")),
        QRect(436, 40, 90, 26));
    makeButton(page, "SpeedButton7", makeAction("ActionDeleteGet", QStringLiteral("删除记录")),
        QRect(436, 72, 90, 26));

    auto *panelPay = new QFrame(page);
    panelPay->setObjectName(QStringLiteral("PanelPay"));
    panelPay->setGeometry(0, 240, 663, 280);
    makeButton(panelPay, "SpeedButton8", makeAction("ActionNewPay", QStringLiteral("新增记录")),
        QRect(436, 8, 90, 26));
    makeButton(panelPay, "SpeedButton9", makeAction("ActionEditPay", QStringLiteral("修改记录")),
        QRect(436, 40, 90, 26));
    makeButton(panelPay, "SpeedButton10", makeAction("ActionDeletePay", QStringLiteral("删除记录")),
        QRect(436, 72, 90, 26));
}

void TFormMain::buildReportsPage(QWidget *)
{
    // The report grid and its commands come with the reports.
}

QWidget *TFormMain::buildSettingGroup(QWidget *page, const SettingChoice &choice, const QRect &area)
{
    auto *group = new QGroupBox(choice.group, page);
    group->setGeometry(area);
    auto *combo = new QComboBox(group);
    combo->setObjectName(choice.combo);
    combo->setEditable(false);
    combo->addItems({choice.item0, choice.item1});
    combo->setAccessibleName(choice.group);
    auto *ok = new QPushButton(QStringLiteral("确定"), group);
    ok->setObjectName(choice.button);
    ok->setAccessibleDescription(choice.group);
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(combo, 1);
    layout->addWidget(ok);
    settingCombos.insert(choice.key, combo);
    connect(ok, &QPushButton::clicked, this, [this, choice] { storeSetting(choice); });
    return group;
}

void TFormMain::buildSettingsPage(QWidget *page)
{
    // Left part: user management (top) and the six pick lists (below) come with their
    // subsystems; the right column holds the five setting groups.
    auto *users = new QGroupBox(QStringLiteral("用户管理权限设置"), page);
    users->setGeometry(8, 8, 424, 60);
    QAction *actionPower = makeAction("ActionPower", QStringLiteral("权限设置"));
    connect(actionPower, &QAction::triggered, this, [this] { Platform::ShowModal(programDialogs->power); });
    makeButton(users, "PowerButton", actionPower, QRect(12, 22, 120, 26));
    const QList<SettingChoice> &choices = SettingChoices();
    int top = 8;
    for (const SettingChoice &choice : choices) {
        if (choice.key == QLatin1String("LoginMode"))
            continue;
        buildSettingGroup(page, choice, QRect(440, top, 224, 60));
        top += 66;
    }
    new ParameterLists(
        page, QRect(8, 80, 424, 436), [this] { return programDialogs ? programDialogs->ask : nullptr; });
}

void TFormMain::buildMaintenancePage(QWidget *page)
{
    auto *ledgerData = new QGroupBox(QStringLiteral("帐套数据操作"), page);
    ledgerData->setGeometry(8, 80, 400, 60);
    QAction *actionLoad = makeAction("ActionLoad", QStringLiteral("恢复数据"));
    // A restored ledger is read afresh at the next start.
    connect(actionLoad, &QAction::triggered, this, [this] {
        if (Ledgers::RestoreLedger(this))
            close();
    });
    makeButton(ledgerData, "SaveButton", action("ActionSave"), QRect(12, 22, 120, 26));
    makeButton(ledgerData, "LoadButton", actionLoad, QRect(140, 22, 120, 26));
    for (const SettingChoice &choice : SettingChoices())
        if (choice.key == QLatin1String("LoginMode"))
            buildSettingGroup(page, choice, QRect(8, 150, 400, 60));

    auto *design = new QGroupBox(QStringLiteral("单据设计"), page);
    design->setGeometry(8, 220, 400, 60);
    QAction *actionDesign = makeAction("ActionDesign", QStringLiteral("单据设计"));
    connect(actionDesign, &QAction::triggered, this, [this] { OpenTemplateDesigner(this); });
    makeButton(design, "DesignButton", actionDesign, QRect(12, 22, 120, 26));
}

QWidget *TFormMain::tabPage(MainTab tab) const
{
    return pages[int(tab)];
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
    if (ReadSetting(QStringLiteral("LoginMode"), SettingTexts::LoginModeChooser)
        != SettingTexts::LoginModeChooser) {
        const QString last = ReadSetting(QStringLiteral("LoginDatabase"), QString());
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
        ReadSetting(QStringLiteral("AccountType"), QStringLiteral("1")), s.RightOverview, s.CurrentUser);
    s.AccountBookFilter = f.AccountBookFilter;
    s.MoneyOwnerFilter = f.MoneyOwnerFilter;
    s.GetPayOwnerFilter = f.GetPayOwnerFilter;
    if (!f.BookPicture.isEmpty()) {
        bookPictureFile = f.BookPicture;
        showPicture(image1, f.BookPicture);
    }
}

void TFormMain::applyVisibility(const ShellVisibility &v)
{
    for (int i = 0; i < MainTabCount; ++i)
        pageControl->setTabVisible(i, v.tabVisible[i]);
    pageControl->setCurrentIndex(int(v.activeTab));
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

void TFormMain::RefreshAll()
{
    AccountPanelPage = 0;
    BuildViewFilters();
    RefreshAccountPanels();
    RefreshDailyJournal();
    if (reportGridOpen())
        RefreshReportGrid();
    RefreshGetPayGrids();
}

void TFormMain::LoadSettingsCombos()
{
    for (const SettingChoice &choice : SettingChoices())
        if (QComboBox *combo = settingCombos.value(choice.key))
            combo->setCurrentIndex(SettingComboIndex(choice, ReadSetting(choice.key, choice.item0)));
}

void TFormMain::storeSetting(const SettingChoice &choice)
{
    const QString text = settingCombos.value(choice.key)->currentText();
    // A failed write is not reported; the setting is simply read with its default later.
    WriteSetting(choice.key, text);
    Platform::ShowMessage(choice.messagePrefix + text);
}

// ---- Steps that later subsystems fill -------------------------------------------------------

void TFormMain::CreateAccountPanels()
{
    AccountPanels::of(tabPage(MainTab::Accounts))->CreatePanels(LayoutMaximized);
}

void TFormMain::SelectGetPayRecordMode()
{
    // Select 按记录显示 in both display groups of the receivables tab; that fills both grids.
}

void TFormMain::ApplyLayout(bool maximized)
{
    // Placing the panels and grids by display mode comes with the layout.
    LayoutMaximized = maximized;
}

void TFormMain::ShowBookChoice()
{
    // Its result is not used: the refresh after login reads whatever book is stored.
    if (programDialogs && programDialogs->chose)
        Platform::ShowModal(programDialogs->chose);
}

void TFormMain::LoadAccountSortChoice()
{
    AccountPanels::of(tabPage(MainTab::Accounts))->LoadSortChoice();
}

void TFormMain::LoadReasonLists()
{
    if (auto *lists = ParameterLists::on(tabPage(MainTab::Settings)))
        lists->LoadReasonLists();
}

void TFormMain::LoadCategoryList()
{
    if (auto *lists = ParameterLists::on(tabPage(MainTab::Settings)))
        lists->LoadCategoryList();
}

void TFormMain::LoadVoucherList()
{
    if (auto *lists = ParameterLists::on(tabPage(MainTab::Settings)))
        lists->LoadVoucherList();
}

void TFormMain::LoadCustomerList()
{
    if (auto *lists = ParameterLists::on(tabPage(MainTab::Settings)))
        lists->LoadCustomerList();
}

void TFormMain::LoadSalesmanList()
{
    if (auto *lists = ParameterLists::on(tabPage(MainTab::Settings)))
        lists->LoadSalesmanList();
}

void TFormMain::RefreshAccountPanels()
{
    AccountPanels::of(tabPage(MainTab::Accounts))->Refresh(LayoutMaximized, currentDay());
}

void TFormMain::RefreshDailyJournal()
{
    // RefreshMoneyGrid with ADOQueryDailyGrid and DBGridEh1.
}

bool TFormMain::reportGridOpen() const
{
    // True once a report was made (ADOQueryReportGrid open).
    return false;
}

void TFormMain::RefreshReportGrid()
{
    // RefreshMoneyGrid with ADOQueryReportGrid and DBGridEh2.
}

void TFormMain::RefreshGetPayGrids()
{
    // Refills the receivables and the payables view.
}
