#include "accounts/AccountPanels.h"

#include "accounts/AccountOverview.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/FormParts.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QSignalBlocker>
#include <QToolButton>

using namespace Accounts;

namespace {
const char *const SlotProperty = "accountSlot";
const QColor HoverColour(166, 202, 240);
const QColor PositiveColour(Qt::blue);
const QColor NegativeColour(Qt::red);
const QString AccountQueryFailed = QStringLiteral("刷新帐户房子时出错");
const QString SumQueryFailed = QStringLiteral("统计帐户金额时出错");

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

void setBackground(QWidget *widget, const QColor &colour)
{
    if (widget->palette().color(QPalette::Window) == colour)
        return;
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
}

void setTextColour(QLabel *label, const QColor &colour)
{
    if (label->palette().color(QPalette::WindowText) == colour)
        return;
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

int storedChoice(const SettingKey &key, int itemCount)
{
    bool ok = false;
    const int index = ReadSetting(key, QStringLiteral("0")).trimmed().toInt(&ok);
    return ok && index >= 0 && index < itemCount ? index : 0;
}
} // namespace

AccountPanels::AccountPanels(QWidget *tabPage, int &page) : QWidget(tabPage), page(tabPage), panelPage(page)
{
    setObjectName(QStringLiteral("PanelAccounts"));
    setGeometry(tabPage->rect());
    // Under the other controls of the page, so the buttons placed there stay clickable.
    lower();
    setMouseTracking(true);
    tabPage->installEventFilter(this);

    // Places of the 1024 normal layout; the layout moves them by name.
    accountSum = MakeLabel(this, QStringLiteral("总金额：0 元"), "AccountSum");
    accountSum->setGeometry(24, 448, 150, 22);
    imageAccount = MakeLabel(this, QString(), "ImageAccount");
    imageAccount->setGeometry(152, 296, 160, 120);
    imageAccount->setScaledContents(true);
    imageAccount->setAccessibleName(QStringLiteral("没有帐户"));
    imageAccount->hide();
    priorAccount = MakeToolButton(this, "PriorAccount", QStringLiteral("上一页"), QRect(184, 448, 75, 25));
    priorAccount->setEnabled(false);
    newAccount = MakeToolButton(this, "NewAccount", QStringLiteral("新增帐户"), QRect(344, 448, 75, 25));
    nextAccount = MakeToolButton(this, "NextAccount", QStringLiteral("下一页"), QRect(504, 448, 75, 25));
    nextAccount->setEnabled(false);

    sortLabel = MakeLabel(this, QStringLiteral("帐户排序"), "Label19");
    sortLabel->setGeometry(672, 76, 75, 18);
    sortBy = new QComboBox(this);
    sortBy->setObjectName(QStringLiteral("ComboBox2"));
    sortBy->addItems({QStringLiteral("按编号"), QStringLiteral("按类型"), QStringLiteral("按名称")});
    sortBy->setGeometry(672, 96, 75, 24);
    sortLabel->setBuddy(sortBy);
    sortDirection = new QComboBox(this);
    sortDirection->setObjectName(QStringLiteral("ComboBox6"));
    sortDirection->addItems({QStringLiteral("按升序"), QStringLiteral("按降序")});
    sortDirection->setGeometry(672, 124, 75, 24);
    sortDirection->setAccessibleName(QStringLiteral("帐户排序方向"));

    connect(priorAccount, &QToolButton::clicked, this, [this] {
        if (panelPage > 0)
            --panelPage;
        emit refreshRequested();
    });
    connect(nextAccount, &QToolButton::clicked, this, [this] {
        ++panelPage;
        emit refreshRequested();
    });
    connect(newAccount, &QToolButton::clicked, this, &AccountPanels::newAccountRequested);
    connect(sortBy, &QComboBox::currentIndexChanged, this,
        [this](int index) { sortChanged(Settings::AccountSortBy, index); });
    connect(sortDirection, &QComboBox::currentIndexChanged, this,
        [this](int index) { sortChanged(Settings::AccountSortDirection, index); });
}

void AccountPanels::setAccountSumText(const QString &text)
{
    accountSum->setText(text);
}

AccountPanels *AccountPanels::of(const QWidget *tabPage)
{
    return tabPage ? tabPage->findChild<AccountPanels *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void AccountPanels::CreatePanels()
{
    if (!slotList.isEmpty())
        return;
    slotList.resize(PanelCount);
    for (int n = 0; n < PanelCount; ++n)
        createSlot(n);
    // Above the panels' area, but the empty-state picture shows where the panels would be.
    imageAccount->raise();
    PlaceSlots(grid);
}

void AccountPanels::createSlot(int n)
{
    Slot &slot = slotList[n];
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("AccountPanel%1").arg(n));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    panel->setFocusPolicy(Qt::TabFocus);
    setBackground(panel, buttonFace());
    panel->hide();
    slot.panel = panel;

    slot.icon = MakeLabel(panel, QString(), "AccountIcon");
    slot.icon->setFixedSize(32, 32);
    slot.icon->setScaledContents(true);
    slot.icon->setAccessibleName(QStringLiteral("帐户图标"));
    slot.type = MakeLabel(panel, QStringLiteral("现金帐"), "AccountKind");
    slot.name = MakeLabel(panel, QString(), "AccountName");
    slot.balance = MakeLabel(panel, QString(), "AccountMoney");
    slot.month = MakeLabel(panel, QString(), "AccountMonth");
    // The value labels say what they hold; the panel itself sums them up (updateAccessibleText).
    slot.name->setAccessibleDescription(QStringLiteral("名称"));
    slot.balance->setAccessibleDescription(QStringLiteral("金额"));
    slot.month->setAccessibleDescription(QStringLiteral("当月"));
    slot.type->setAccessibleDescription(QStringLiteral("帐户类型"));
    QLabel *captions[] = {
        MakeLabel(panel, QStringLiteral("名称：")),
        MakeLabel(panel, QStringLiteral("金额：")),
        MakeLabel(panel, QStringLiteral("当月：")),
    };
    QLabel *values[] = {slot.name, slot.balance, slot.month};

    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->addWidget(slot.icon, 0, 0, 2, 1, Qt::AlignCenter);
    grid->addWidget(slot.type, 2, 0, Qt::AlignCenter);
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(captions[row], row, 1);
        grid->addWidget(values[row], row, 2);
        values[row]->setMinimumWidth(1);
        wire(captions[row], n);
        wire(values[row], n);
    }
    grid->setColumnStretch(2, 1);
    wire(panel, n);
    wire(slot.icon, n);
    wire(slot.type, n);
    showIcon(slot, QStringLiteral("Res/Money0.ico"));
    updateAccessibleText(slot);
}

// Every part of a panel answers a click and a mouse move as the panel does.
void AccountPanels::wire(QWidget *part, int n)
{
    part->setProperty(SlotProperty, n);
    part->setMouseTracking(true);
    part->installEventFilter(this);
}

void AccountPanels::PlaceSlots(const PanelGrid &layoutGrid)
{
    grid = layoutGrid;
    grid.visibleSlots = qBound(0, grid.visibleSlots, PanelCount);
    for (int n = 0; n < slotList.size(); ++n) {
        slotList[n].panel->setGeometry(AccountSlotRect(grid, n));
        if (n >= grid.visibleSlots)
            slotList[n].panel->hide();
    }
}

void AccountPanels::Refresh(const QDate &currentDay)
{
    if (slotList.isEmpty() || !ShareDataModule)
        return;
    // The page follows the layout in force, not the stored mode: a mode chosen since then would
    // fill slots that this layout has no room for.
    const int size = grid.visibleSlots;
    priorAccount->setEnabled(false);
    nextAccount->setEnabled(false);

    const SessionValues &s = Session();
    // Before the first login nobody may see the accounts; the filters are not built yet either.
    if (s.CurrentUser.isEmpty()) {
        for (int i = 0; i < size; ++i)
            slotList[i].panel->hide();
        return;
    }
    Query &accounts = ShareDataModule->ADOQueryTemp;
    const Sql sql = Sql("Select * From Account Where (AccountIndex > 1)") + AccountSearchFragment
        + s.AccountBookFilter + AccountOrderText(sortBy->currentIndex(), sortDirection->currentIndex());
    if (!RunQuery(accounts, sql, AccountQueryFailed))
        return;

    const int rows = accounts.rowCount();
    if (rows == 0) {
        for (int i = 0; i < size; ++i)
            slotList[i].panel->hide();
        imageAccount->setPixmap(QPixmap(s.ProgramDir + QStringLiteral("Res/NoAccount.bmp")));
        imageAccount->show();
        return;
    }
    imageAccount->hide();
    panelPage = AccountPageShown(rows, size, panelPage);
    nextAccount->setEnabled(AccountPageHasNext(rows, size, panelPage));
    priorAccount->setEnabled(panelPage > 0);

    // Earlier pages are stepped over, not summed.
    accounts.seek(panelPage * size);
    for (int i = 0; i < size; ++i) {
        Slot &slot = slotList[i];
        if (accounts.eof()) {
            slot.panel->hide();
            continue;
        }
        if (!fillSlot(slot, accounts, currentDay))
            return;
        slot.panel->show();
        accounts.next();
    }
}

bool AccountPanels::fillSlot(Slot &slot, const Query &account, const QDate &day)
{
    const SessionValues &s = Session();
    const qint64 index = account.integer(QStringLiteral("AccountIndex"));
    const int type = int(account.integer(QStringLiteral("AccountType")));
    slot.name->setText(account.text(QStringLiteral("AccountName")));
    slot.type->setText(AccountTypeText(type));

    Query &sums = ShareDataModule->ADOQueryTemp2;
    if (!RunQuery(sums, AccountBalanceSql(index, day, s.MoneyOwnerFilter), SumQueryFailed))
        return false;
    const double entries = sums.number(QStringLiteral("TotalMoney"));
    const double balance = account.number(QStringLiteral("AccountBase")) + entries;
    const QColor colour = SignOfBalance(balance) == BalanceSign::Negative ? NegativeColour : PositiveColour;
    for (QLabel *label : {slot.name, slot.balance, slot.type, slot.month})
        setTextColour(label, colour);

    if (!RunQuery(sums, AccountMonthSql(index, day, s.MoneyOwnerFilter), SumQueryFailed))
        return false;
    slot.month->setText(MoneyLabelText(sums.number(QStringLiteral("TotalMoney"))));
    showIcon(slot, AccountIconFile(type, balance, entries));
    slot.balance->setText(MoneyLabelText(balance));
    updateAccessibleText(slot);
    return true;
}

void AccountPanels::showIcon(Slot &slot, const QString &file)
{
    if (slot.iconFile == file && !slot.icon->pixmap().isNull())
        return;
    slot.iconFile = file;
    // Eight icon files serve 40 panels: read each once.
    auto cached = iconCache.constFind(file);
    if (cached == iconCache.constEnd())
        cached = iconCache.insert(file, QPixmap(Session().ProgramDir + file));
    slot.icon->setPixmap(*cached);
}

void AccountPanels::updateAccessibleText(Slot &slot)
{
    slot.panel->setAccessibleName(QStringLiteral("帐户：") + slot.name->text());
    slot.panel->setAccessibleDescription(QStringLiteral("金额：") + slot.balance->text()
        + QStringLiteral("，当月：") + slot.month->text() + QStringLiteral("，") + slot.type->text());
}

void AccountPanels::LoadSortChoice()
{
    const QSignalBlocker quietSort(sortBy);
    const QSignalBlocker quietDirection(sortDirection);
    sortBy->setCurrentIndex(storedChoice(Settings::AccountSortBy, sortBy->count()));
    sortDirection->setCurrentIndex(storedChoice(Settings::AccountSortDirection, sortDirection->count()));
}

void AccountPanels::sortChanged(const SettingKey &key, int index)
{
    if (index < 0)
        return;
    WriteSetting(key, QString::number(index));
    emit refreshRequested();
}

QFrame *AccountPanels::panel(int slot) const
{
    return slot >= 0 && slot < slotList.size() ? slotList[slot].panel : nullptr;
}

QString AccountPanels::iconFile(int slot) const
{
    return slot >= 0 && slot < slotList.size() ? slotList[slot].iconFile : QString();
}

// Sky blue under the mouse, button face everywhere else; a colour is set only when it changes.
void AccountPanels::hover(int n)
{
    for (int i = 0; i < slotList.size(); ++i)
        setBackground(slotList[i].panel, i == n ? HoverColour : buttonFace());
}

void AccountPanels::clickSlot(int n)
{
    const Slot &slot = slotList[n];
    emit accountClicked(slot.name->text(), slot.balance->text());
}

// A move over the bare tab, outside every panel.
void AccountPanels::mouseMoveEvent(QMouseEvent *event)
{
    hover(-1);
    QWidget::mouseMoveEvent(event);
}

bool AccountPanels::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == page) {
        if (event->type() == QEvent::Resize)
            setGeometry(page->rect());
        return false;
    }
    const QVariant slot = watched->property(SlotProperty);
    if (!slot.isValid())
        return QWidget::eventFilter(watched, event);
    const int n = slot.toInt();
    switch (event->type()) {
    case QEvent::MouseMove:
        hover(n);
        return true;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            clickSlot(n);
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            clickSlot(n);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
